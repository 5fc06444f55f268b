// Sharing one chart's data list with up to four other charts.
#include "chart/Qorn_kurvo.h"

#include <new>

namespace kurvo {

TCustomKurvo* TCustomKurvo::Sharer(int index) const
{
    return index >= 0 && index < FSharerCount ? FSharers[index] : nullptr;
}

void TCustomKurvo::RemoveSharer(TCustomKurvo* sharer)
{
    for (int i = 0; i < FSharerCount; ++i) {
        if (FSharers[i] != sharer) continue;
        for (int k = i; k < MaxSharers - 1; ++k) FSharers[k] = FSharers[k + 1];
        FSharers[MaxSharers - 1] = nullptr;
        --FSharerCount;
        return;
    }
}

void TCustomKurvo::TakeSharedData(const TCustomKurvo& from)
{
    FData.Items = from.FData.Items;
    FData.Count = from.FData.Count;
    FItemCounters = from.FItemCounters;
    MarkStale();  // the next paint event shows the new items here too
}

void TCustomKurvo::ReleaseSharers()
{
    // The first sharer inherits the storage; the others get copies, so that
    // no two charts without a link ever write into one container.
    for (int i = 0; i < FSharerCount; ++i) {
        TCustomKurvo* sharer = FSharers[i];
        if (sharer == nullptr || sharer->FUseDataOf != this) continue;
        sharer->FUseDataOf = nullptr;
        if (i == 0) continue;
        try {
            sharer->FData.Items = sharer->FData.Items->Copy(sharer->FData.Count, sharer->FData.Count);
        } catch (const std::bad_alloc&) {
            sharer->FData.Clear();  // an empty list rather than a corrupted one
        }
    }
    FSharers.fill(nullptr);
    FSharerCount = 0;
}

void TCustomKurvo::SetUseDataOf(TCustomKurvo* value)
{
    if (value == this) {
        ShowInfoMessage("Kurvo: Cannot share data with myself");
        return;
    }
    if (FSharerCount > 0) {
        ShowInfoMessage("Kurvo: Cannot use foreign data. Other Kurvos are using my own data.");
        return;
    }
    if (value == FUseDataOf) return;
    if (value == nullptr) {
        FUseDataOf->RemoveSharer(this);
        FUseDataOf = nullptr;
        // Keep showing the items, but in storage of our own: the chart we
        // left must never be written by us again.
        FData.Items = FData.Items->Copy(FData.Count, FData.Capacity);
        RepaintIfAutoRedraw();
        return;
    }
    // Redirected to the owner, which may be the one this chart uses already:
    // it then joins that owner again, at the end of its sharers.
    if (value->FUseDataOf != nullptr) value = value->FUseDataOf;
    if (value == this) return;
    if (value->FSharerCount >= MaxSharers) {
        ShowInfoMessage("Kurvo: Max. number of data shares exceeded");
        return;
    }
    if (FUseDataOf != nullptr) FUseDataOf->RemoveSharer(this);
    FUseDataOf = value;
    TakeSharedData(*value);
    // Text items of the shared list name entries of the owner's long texts.
    FLongTexts[0] = value->FLongTexts[0];
    value->FSharers[value->FSharerCount++] = this;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::PropagateSharedData()
{
    if (FUseDataOf != nullptr) {
        TCustomKurvo& owner = *FUseDataOf;
        owner.TakeSharedData(*this);
        for (int i = 0; i < owner.FSharerCount; ++i)
            if (owner.FSharers[i] != nullptr) owner.FSharers[i]->TakeSharedData(*this);
    }
    for (int i = 0; i < FSharerCount; ++i)
        if (FSharers[i] != nullptr) FSharers[i]->TakeSharedData(*this);
}

}  // namespace kurvo
