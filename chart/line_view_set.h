// The line views of one chart's data: added, removed and cleared with it,
// copied by Assign, shown by the charts that share the data. Internal: not
// installed.
//
// A view over the program's memory belongs to one set; a copy of the set
// copies its structures (a few per cent of the data) and reads the same
// memory. A view over a sample file is held by every set it was copied
// into: one mapping and one worker, whose reports reach each holder. The
// file is closed when the last holder lets it go.
#pragma once

#include "chart/line_view.h"

#include <memory>
#include <vector>

namespace kurvo {

class TCustomKurvo;

/// Raises EQornKurvoError for a view that cannot be read (no data, a channel
/// outside the stride, too few X values, non-finite scale or spacing).
void ValidateSampleView(const TKurvoSampleView& view);
/// `view` (a view of memory) now reads `samples`, whose points before
/// `from` kept their values: the structures are built again from there.
/// Raises EQornKurvoError for samples that cannot be read.
void ReadLineViewAgain(TLineView& view, const TKurvoSampleView& samples, std::int64_t from);
/// A view over the same memory as `view` (not a file view) with copies of
/// its structures.
std::unique_ptr<TLineView> CopyLineView(const TLineView& view);

class TLineViewSet {
public:
    explicit TLineViewSet(TCustomKurvo& holder) : FHolder(holder) {}
    ~TLineViewSet() { Clear(); }
    TLineViewSet(const TLineViewSet&) = delete;
    TLineViewSet& operator=(const TLineViewSet&) = delete;

    /// The views in drawing order.
    const std::vector<std::shared_ptr<TLineView>>& List() const { return FList; }
    /// View `id`, or null.
    TLineView* Find(int id) const;
    /// Whether `view` (numbered `id`) is one of the set's.
    bool Holds(const TLineView* view, int id) const;
    /// Appends `view` under a new number; returns the number.
    int Add(std::unique_ptr<TLineView> view);
    /// Takes view `id` out; the caller lets it go (a file view's worker is
    /// stopped when the last holder does). Null for an unknown number.
    std::shared_ptr<TLineView> Take(int id);
    /// Lets every view go.
    void Clear();
    /// The views of `other` instead of these: copies of its memory views,
    /// its file views themselves; the numbers stay.
    void CopyFrom(const TLineViewSet& other);

private:
    void Hold(TLineView& view);
    void Release(TLineView& view);

    TCustomKurvo& FHolder;
    std::vector<std::shared_ptr<TLineView>> FList;
    int FNextId = 1;
};

}  // namespace kurvo
