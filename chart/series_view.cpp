// Series over the program's samples: the points read from a view at every
// paint, with the per-column structures of line views.
#include "chart/series.h"

#include "base/errors.h"
#include "chart/line_view_set.h"
#include "chart/series_private.h"

#include <limits>

namespace kurvo {

void TSeriesPrivate::ViewChanged()
{
    XSorted = View->XRising;
    LastX = View->Pieces.empty() ? std::numeric_limits<double>::quiet_NaN() : View->View.X(View->Pieces.back().To - 1);
    DataChanged();
}

void TKurvoSeries::SetView(const TKurvoSampleView& view)
{
    if (d->Capacity != Unlimited)
        throw EQornKurvoError("SetView: a series with a capacity keeps points of its own; set the capacity to "
                              "TKurvoSeries::Unlimited first.");
    ValidateSampleView(view);
    auto v = std::make_unique<TLineView>();
    v->View = view;
    v->Extend(view.Count());
    d->Reset();
    d->View = std::move(v);
    d->ViewChanged();
}

bool TKurvoSeries::HasView() const { return d->View != nullptr; }

TKurvoSampleView TKurvoSeries::View() const { return d->View ? d->View->View : TKurvoSampleView(); }

void TKurvoSeries::DataChanged()
{
    if (d->View) DataChanged(d->View->View, 0);
}

void TKurvoSeries::DataChanged(const TKurvoSampleView& view, std::int64_t from)
{
    if (!d->View) throw EQornKurvoError("DataChanged: the series reads no view; give it one with SetView.");
    ReadLineViewAgain(*d->View, view, from);
    d->ViewChanged();
}

}  // namespace kurvo
