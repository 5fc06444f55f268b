// Raising a user event through a copy of its handler. Internal.
#pragma once

#include <functional>
#include <utility>

namespace kurvo {

// A handler may replace or clear its own event while it runs (a one-shot
// handler sets it to nullptr). Called through the member, that would destroy
// the running handler and its captures under it; the copy keeps it alive to
// the end of the call.
template <class F, class... A>
void RaiseEvent(const std::function<F>& event, A&&... args)
{
    if (!event) return;
    const std::function<F> handler = event;
    handler(std::forward<A>(args)...);
}

}  // namespace kurvo
