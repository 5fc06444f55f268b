// The rule of threads for a chart, checked in debug builds. Internal.
//
// A chart is a widget: Qt creates, shows, paints and destroys widgets on the
// GUI thread only. A chart that is on the screen is therefore used there
// only; a call from another thread would race with its paint events and
// corrupt its lists. A chart that is not shown may be filled and exported in
// one worker thread at a time (exports keep no state shared between charts).
#pragma once

#include <cstdint>

class QWidget;

namespace kurvo {

/// In debug builds: stops the program with an assertion naming `call` when
/// `chart` is shown and `call` runs on a thread other than the GUI thread.
/// Nothing in release builds, where it sits on every drawing command.
#ifdef NDEBUG
inline void CheckChartThread(const QWidget&, const char*) {}
#else
void CheckChartThread(const QWidget& chart, const char* call);
#endif

/// The drawing command that makes items of `kind` ("DrawTo", "MarkAt", ...).
const char* CommandName(std::uint8_t kind);

}  // namespace kurvo
