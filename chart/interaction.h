// The chart's opt-in interactions beyond the mouse actions: wheel zoom about
// the pointer, keyboard pans and gesture cancelling, and walking the zoom
// history back and forth.
//
// How the walk reads the history. The history is a ring of the 16 views most
// recently recorded (pan releases, zoom windows, the state at construction,
// PushZoomHistory). It starts with the first view the chart shows (its first
// paint event): views recorded before, such as the ranges of construction,
// are views the user never saw, and the walk passes them by, while the first
// view shown is the oldest view it goes back to, recorded or not. On a
// chart that has not been shown every recorded view counts; ClearZoomHistory
// starts the history again with the view it records. UndoZoom steps from the view shown to the recorded view
// before it, RedoZoom forward again; views equal to the one shown are
// skipped. When the view shown is not recorded yet (it came from an axis drag,
// wheel zoom, arrow pan or code), UndoZoom records it first, so RedoZoom can
// come back to it. Views recorded after an undo follow the view the walk
// stood on and drop the views undone before (as a browser's history does):
// undo after a new zoom returns to the view the zoom started from. The walk
// itself records nothing else, so the mouse actions keep writing the ring
// exactly as before.
//
// A run of wheel and arrow steps is one view in the history: the view before
// the run is recorded when the history does not hold it yet, and the view the
// run ends on is recorded by the next mouse press or UndoZoom.
#pragma once

#include "canvas/custom_control.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kurvo {

class TCustomKurvo;

class TKurvoInteraction {
public:
    explicit TKurvoInteraction(TCustomKurvo& chart) : FChart(chart) {}
    TKurvoInteraction(const TKurvoInteraction&) = delete;
    TKurvoInteraction& operator=(const TKurvoInteraction&) = delete;

    bool WheelZoom() const { return FWheelZoom; }
    void SetWheelZoom(bool value) { FWheelZoom = value; }
    bool KeyboardActions() const { return FKeyboardActions; }
    void SetKeyboardActions(bool value) { FKeyboardActions = value; }
    // Copies the two switches (the walk belongs to the chart it ran on).
    void AssignSettings(const TKurvoInteraction& source);

    // True when the wheel was used for zooming (also when a limit kept the
    // view as it was).
    bool Wheel(int wheelDelta, TPoint mousePos);
    // True when the key was used.
    bool Key(int key, TShiftState shift);
    // Arrow pan of every layer the mouse actions move; dx, dy in tenths of
    // the range (+1 right / up).
    void Pan(int dx, int dy);

    bool Undo();
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // A mouse press starts a gesture: the view a run of wheel and arrow
    // steps ended on is recorded before the gesture changes it.
    void GestureStarts();

    // Where the history starts: the chart's paint event (the first one
    // counts), ClearZoomHistory (before it records) and Assign (the copied
    // records all count).
    void ViewShown();
    void HistoryCleared();
    void HistoryCopied();

    // The 16 layers' ranges in the history's order (XLow, YHigh, XHigh, YLow).
    struct TView {
        std::array<double, 64> Values{};
        friend bool operator==(const TView&, const TView&) = default;
    };

private:
    TView Current() const;
    // Slot 1 ... 16 of the ring, or 0: the first view shown.
    TView Slot(int slot) const;
    int Newest() const;
    // The view recorded last: the newest slot, or the first view shown when
    // nothing was recorded since.
    TView Latest() const;
    // Whether ring slot 1 ... 16 holds a view of this history.
    bool Counts(int slot) const;
    std::int64_t Pushes() const;
    // The walk's order of recorded views (slots, oldest first) and its
    // position, brought up to date with what was recorded since the last step.
    struct TWalk {
        std::vector<int> Order;
        int Pos = -1;  // -1: no walk
        int Next = 0;  // the ring's next slot after the last step
        std::int64_t Pushes = 0;  // records made until the last step
        TView SlotView;  // the view in Order[Pos] then
    };
    TWalk Synced() const;
    // The index in w.Order of the nearest older (step -1) or newer (+1)
    // view that differs from the one shown; -1 when there is none.
    int FindStep(const TWalk& w, int step) const;
    void Remember(TWalk w);
    void Show(const TView& view);
    void StepBegins();
    void StepEnds();
    template <class F>
    void StepLayerRanges(F&& change);
    bool RunActive() const;
    bool Busy() const;

    TCustomKurvo& FChart;
    bool FWheelZoom = false;
    bool FKeyboardActions = false;

    TWalk FWalk;

    // The history's start: records after FStart count (-1: all), and the
    // first view shown is its oldest view while FHasStartView.
    bool FShown = false;
    std::int64_t FStart = -1;
    bool FHasStartView = false;
    TView FStartView;

    // A run of wheel and arrow steps, as it was after its last step.
    bool FRun = false;
    int FRunNext = 0;
    TView FRunView;
};

}  // namespace kurvo
