// How the chart raises its events. Every event goes out twice, through the
// std::function member (OnZoomPan, ...) and through the Qt signal beside it
// (viewChanged, ...), always by RaiseEvent and always in that order: the
// handler runs first, synchronously, and may still change arguments it
// takes by reference; the signal follows with the values as they are then.
// A new event gets its signal in Qorn_kurvo.h and one RaiseEvent call where
// it happens.
#pragma once

#include "chart/Qorn_kurvo.h"

#include <tuple>
#include <utility>

namespace kurvo {

/// Calls `event` with the tuple `eventArgs` when a handler is assigned, then
/// emits `signal` of `chart` with `signalArgs`.
template <class Event, class EventArgs, class Chart, class Signal, class... SignalArgs>
void RaiseEvent(const Event& event, EventArgs&& eventArgs, Chart& chart, Signal signal, SignalArgs&&... signalArgs)
{
    if (event) std::apply(event, std::forward<EventArgs>(eventArgs));
    Q_EMIT(chart.*signal)(std::forward<SignalArgs>(signalArgs)...);
}

}  // namespace kurvo
