// Sharing one chart's data list with up to four other charts.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <new>

namespace kurvo {

TCustomKurvo* TCustomKurvo::Sharer(int index) const
{
    return index >= 0 && index < d->FSharerCount ? d->FSharers[index] : nullptr;
}

void TCustomKurvo::RemoveSharer(TCustomKurvo* sharer)
{
    for (int i = 0; i < d->FSharerCount; ++i) {
        if (d->FSharers[i] != sharer) continue;
        for (int k = i; k < MaxSharers - 1; ++k) d->FSharers[k] = d->FSharers[k + 1];
        d->FSharers[MaxSharers - 1] = nullptr;
        --d->FSharerCount;
        return;
    }
}

void TCustomKurvo::TakeSharedData(const TCustomKurvo& from)
{
    d->FData.Items = from.d->FData.Items;
    d->FData.Count = from.d->FData.Count;
    d->FItemCounters = from.d->FItemCounters;
    MarkStale();  // the next paint event shows the new items here too
}

void TCustomKurvo::ReleaseSharers()
{
    // The first sharer inherits the storage; the others get copies, so that
    // no two charts without a link ever write into one container.
    for (int i = 0; i < d->FSharerCount; ++i) {
        TCustomKurvo* sharer = d->FSharers[i];
        if (sharer == nullptr || sharer->d->FUseDataOf != this) continue;
        sharer->d->FUseDataOf = nullptr;
        try {
            sharer->d->FLineViews.CopyFrom(d->FLineViews);
        } catch (const std::bad_alloc&) {
            // Without its views rather than with views of a chart that is gone.
        }
        if (i == 0) continue;
        try {
            sharer->d->FData.Items = sharer->d->FData.Items->Copy(sharer->d->FData.Count, sharer->d->FData.Count);
        } catch (const std::bad_alloc&) {
            sharer->d->FData.Clear();  // an empty list rather than a corrupted one
        }
    }
    d->FSharers.fill(nullptr);
    d->FSharerCount = 0;
}

void TCustomKurvo::SetUseDataOf(TCustomKurvo* value)
{
    if (value == this) {
        ShowInfoMessage("Kurvo: Cannot share data with myself");
        return;
    }
    if (d->FSharerCount > 0) {
        ShowInfoMessage("Kurvo: Cannot use foreign data. Other Kurvos are using my own data.");
        return;
    }
    if (value == d->FUseDataOf) return;
    if (value == nullptr) {
        d->FUseDataOf->RemoveSharer(this);
        // The views too are kept, as copies of this chart's own.
        d->FLineViews.CopyFrom(d->FUseDataOf->d->FLineViews);
        d->FUseDataOf = nullptr;
        // Keep showing the items, but in storage of our own: the chart we
        // left must never be written by us again.
        d->FData.Items = d->FData.Items->Copy(d->FData.Count, d->FData.Capacity);
        RepaintIfAutoRedraw();
        return;
    }
    // Redirected to the owner, which may be the one this chart uses already:
    // it then joins that owner again, at the end of its sharers.
    if (value->d->FUseDataOf != nullptr) value = value->d->FUseDataOf;
    if (value == this) return;
    if (value->d->FSharerCount >= MaxSharers) {
        ShowInfoMessage("Kurvo: Max. number of data shares exceeded");
        return;
    }
    if (d->FUseDataOf != nullptr) d->FUseDataOf->RemoveSharer(this);
    d->FUseDataOf = value;
    TakeSharedData(*value);
    d->FLineViews.Clear();  // the owner's views are shown instead
    // Text items of the shared list name entries of the owner's long texts.
    d->FLongTexts[0] = value->d->FLongTexts[0];
    value->d->FSharers[value->d->FSharerCount++] = this;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::PropagateSharedData()
{
    if (d->FUseDataOf != nullptr) {
        TCustomKurvo& owner = *d->FUseDataOf;
        owner.TakeSharedData(*this);
        for (int i = 0; i < owner.d->FSharerCount; ++i)
            if (owner.d->FSharers[i] != nullptr) owner.d->FSharers[i]->TakeSharedData(*this);
    }
    for (int i = 0; i < d->FSharerCount; ++i)
        if (d->FSharers[i] != nullptr) d->FSharers[i]->TakeSharedData(*this);
}

}  // namespace kurvo
