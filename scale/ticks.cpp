// The tick list and the numeric tick passes (linear and logarithmic).
#include "scale/ticks.h"

#include "base/nicestep.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace kurvo {

// --- tick list

void TTickList::Reset()
{
    FValues->assign(MaxTicks, 0.0);
    FNumTicks = 0;
}

void TTickList::Append(double value)
{
    if (FNumTicks >= MaxTicks || FNumTicks >= static_cast<int>(FValues->size())) return;
    (*FValues)[static_cast<std::size_t>(FNumTicks)] = value;
    ++FNumTicks;
}

double TTickList::TickValue(int index) const
{
    if (index < 1 || index > FNumTicks) return 0.0;
    return (*FValues)[static_cast<std::size_t>(index - 1)];
}

namespace {

// A tick may lie this fraction of its step beyond the end of the range.
constexpr double kOvershoot = 0.001;

// Logarithmic ticks within this factor of a range end count as inside.
constexpr double kLogSlack = 0.999999999;

// Labels are cut to this many characters.
constexpr std::size_t kMaxLabelLength = 14;

// Far more decades than the positive doubles span (about 632); only a
// guard for the decade loop.
constexpr int kMaxDecades = 700;

// How many further ticks start + j * step (j = 1, 2, ...) the pass visits
// before one passes `end` by more than kOvershoot steps. +inf when that
// cannot be computed, so that the caller gives up.
double FurtherTicks(double start, double step, double end)
{
    const double n = std::floor((end - start) / step + kOvershoot);
    if (std::isnan(n)) return std::numeric_limits<double>::infinity();
    return n > 0.0 ? n : 0.0;
}

void Emit(const TTickVisitor& visitor, double value, TTickKind kind, TTickPass pass, bool drawLine,
          bool labelled, std::string label)
{
    if (!visitor) return;
    TTickVisit v;
    v.Value = value;
    v.Kind = kind;
    v.Pass = pass;
    v.DrawLine = drawLine;
    v.Labelled = labelled;
    v.Label = std::move(label);
    visitor(v);
}

// 1000.0000 -> 1000, 0.0500 -> 0.05; exponent texts are left alone.
void StripTrailingZeros(std::string& text)
{
    if (text.find('.') == std::string::npos || text.find_first_of("eE") != std::string::npos) return;
    const std::size_t last = text.find_last_not_of('0');
    text.erase(last + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
}

void CutLabel(std::string& text)
{
    if (text.size() > kMaxLabelLength) text.resize(kMaxLabelLength);
}

// Text of the k-th long tick of a linear pass. A value that is zero but for
// rounding (relative to the range width) becomes exactly 0, also for the
// caller.
std::string LinearLabel(double& v, int k, int d, const TTickSettings& s)
{
    const double width = s.RangeHigh - s.RangeLow;
    std::string text;
    if (std::fabs(v / width) < 1e-14) {
        v = 0.0;
        if (std::fabs(width) > 100000.0)
            text = d == 0 ? "0" : "0.0";
        else
            text = FormatTickNumber(0.0, d);
    } else {
        text = FormatTickNumber(v, d);
    }
    CutLabel(text);
    if (s.DecPlaces == 0 && std::fabs(v - std::round(v)) > 1e-6) text.clear();
    if (s.TrimTrailingZeros) StripTrailingZeros(text);
    if (s.LabelType == ftUserText) return UserTickField(s.UserTickText, k);
    return ApplyInscript(text, s.ScaleInscript);
}

// Text of a logarithmic long tick with factor f in the decade that starts
// at `decade`.
std::string LogLabel(double v, int f, double decade, int k, int d, const TTickSettings& s)
{
    std::string text;
    if (d == -3) {
        if (f == 1) text = FormatTickNumber(std::nearbyint(std::log10(decade)), 0);
    } else {
        text = FormatTickNumber(v, d);
    }
    CutLabel(text);
    if (s.DecPlaces == -2 || s.TrimTrailingZeros) StripTrailingZeros(text);
    if (s.LabelType == ftUserText) return UserTickField(s.UserTickText, k);
    return ApplyInscript(text, s.ScaleInscript);
}

}  // namespace

// --- pass selection

void RunTickPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit)
{
    list.Reset();
    switch (settings.LabelType) {
    case ftDateTime:
        RunDateTimePass(settings, list, visit);  // whatever Logarithmic says
        return;
    case ftTime:
        if (RunTimePass(settings, list, visit)) return;
        break;  // declined: numeric ticks
    default:
        break;
    }
    if (settings.Logarithmic)
        RunLogarithmicPass(settings, list, visit);
    else
        RunLinearPass(settings, list, visit);
}

// --- linear pass

void RunLinearPass(const TTickSettings& s, TTickList& list, const TTickVisitor& visit)
{
    const TNiceStep nice = NiceStep(s.MinTicks, s.RangeLow, s.RangeHigh);
    if (nice.Step == 0.0) return;
    const double first = nice.First;
    const double step = nice.Step;
    const double sub = step / nice.S;
    const double dir = s.RangeHigh > s.RangeLow ? 1.0 : -1.0;
    const double shortStart = first - step;

    // Decide up front whether the pass fits: unit steps over a wide range
    // would otherwise visit millions of ticks.
    const double longCount = 1.0 + FurtherTicks(first, step, s.RangeHigh);
    const double shortCount = s.ShortTicks ? 1.0 + FurtherTicks(shortStart, sub, s.RangeHigh) : 0.0;
    if (!(longCount + shortCount <= MaxTickVisits)) return;

    // The loops apply the continuation tests themselves; the counts above
    // only bound them, in case rounding lets the two disagree by one.
    if (s.ShortTicks) {
        const int limit = static_cast<int>(shortCount) + 1;
        for (int i = 0; i < limit; ++i) {
            const double v = shortStart + i * sub;
            if (dir * v >= dir * s.RangeLow) {
                list.Append(v);
                Emit(visit, v, tkShort, tpLinear, true, false, {});
            }
            if (!(dir * (shortStart + (i + 1) * sub - s.RangeHigh) <= kOvershoot * std::fabs(sub))) break;
        }
    }

    const int d = AutoDecPlaces(s.DecPlaces, s.RangeLow, s.RangeHigh);
    const bool labelled = s.LabelType != ftNoFigs;
    // On a horizontal axis with short ticks the long-tick values are already
    // in the list as short ticks.
    const bool recordLong = s.Vertical || !s.ShortTicks;
    const int limit = static_cast<int>(longCount) + 1;
    for (int i = 0; i < limit; ++i) {
        double v = first + i * step;
        if (recordLong) list.Append(v);
        std::string label;
        if (labelled) label = LinearLabel(v, i + 1, d, s);
        Emit(visit, v, tkLong, tpLinear, true, labelled, std::move(label));
        if (!(dir * (first + (i + 1) * step - s.RangeHigh) <= kOvershoot * std::fabs(step))) break;
    }
}

// --- logarithmic pass

void RunLogarithmicPass(const TTickSettings& s, TTickList& list, const TTickVisitor& visit)
{
    // Decades exist only for positive finite ends; anything else (reachable
    // while an axis is loading) is ticked linearly.
    if (!std::isfinite(s.RangeLow) || !std::isfinite(s.RangeHigh) || s.RangeLow <= 0.0 || s.RangeHigh <= 0.0) {
        RunLinearPass(s, list, visit);
        return;
    }
    const double decades = std::fabs(std::log10(s.RangeHigh / s.RangeLow));
    if (decades < 1.0) {
        RunLinearPass(s, list, visit);
        return;
    }
    const bool intermediate = s.MinTicks > decades + 0.5;
    const double lo = std::fmin(s.RangeLow, s.RangeHigh);
    const double hi = std::fmax(s.RangeLow, s.RangeHigh);
    const int d = AutoDecPlacesLog(s.DecPlaces, lo, hi);
    // Decade j starts at 10^(e0 + j). Taking each decade start as the nearest
    // double to that power, rather than multiplying M up, keeps the values
    // exact and lets the range reach the top of the doubles (a product
    // Base * M would overflow first).
    // lo is a positive double, so e0 lies within about -324 ... 308.
    const int e0 = static_cast<int>(std::floor(std::log10(lo * kLogSlack)));
    auto decadeStart = [e0](int j) { return PowerOfTen(e0 + j); };
    // The decade 1e-324 starts below the smallest double; it is still walked
    // (as 0, so it visits nothing of its own) for the decades above it.
    if (e0 < -324 || !std::isfinite(decadeStart(0))) {
        RunLinearPass(s, list, visit);
        return;
    }

    // Count the decades first; the loop also ends when the next decade start
    // overflows.
    int decadeCount = 0;
    do {
        ++decadeCount;
    } while (hi >= kLogSlack * decadeStart(decadeCount) && decadeCount < kMaxDecades);
    if (decadeCount >= kMaxDecades || decadeCount * (intermediate ? 9 : 1) > MaxTickVisits) return;

    const bool labelled = s.LabelType != ftNoFigs;
    int k = 0;
    auto visitFactor = [&](int f, TTickKind kind, double decade) {
        const double v = f * decade;
        if (!(lo * kLogSlack < v && v < hi / kLogSlack)) return;
        if (kind == tkShort) {
            // A horizontal axis reports a hidden short tick to its event
            // handler; a vertical one skips it.
            if (!s.ShortTicks && s.Vertical) return;
            if (s.ShortTicks) list.Append(v);
            Emit(visit, v, tkShort, tpLogarithmic, s.ShortTicks, false, {});
            return;
        }
        list.Append(v);
        std::string label;
        if (labelled) label = LogLabel(v, f, decade, ++k, d, s);
        Emit(visit, v, tkLong, tpLogarithmic, true, labelled, std::move(label));
    };

    for (int j = 0; j < decadeCount; ++j) {
        const double decade = decadeStart(j);
        visitFactor(1, tkLong, decade);
        if (intermediate) {
            for (int f = 2; f <= 9; ++f) visitFactor(f, f == 2 || f == 5 ? tkLong : tkShort, decade);
        }
    }
}

// --- thinning of labels that would overlap

namespace {

// Exponent of a decade tick (10^e); none for the ticks of factors 2 ... 9.
std::optional<long long> DecadeExponent(double value)
{
    const double e = std::log10(value);
    const double whole = std::nearbyint(e);
    if (!std::isfinite(e) || std::fabs(e - whole) > 1e-9) return std::nullopt;
    return static_cast<long long>(whole);
}

// Ordinals beyond this are not exact in a double: the labels are then
// counted instead.
constexpr double kMaxOrdinal = 4503599627370496.0;  // 2^52

// The labelled ticks of an evenly stepped pass as whole multiples of the
// step (the smallest distance between two labelled values), so that thinning
// keeps round values: 0.2, 0.4, ... of the labels 0.1, 0.2, 0.3, .... Uneven
// steps (months, years) or values beyond exact ordinals count the labels
// from 0 instead.
std::vector<long long> LabelOrdinals(const std::vector<const TTickVisit*>& labelled)
{
    std::vector<long long> ordinals(labelled.size());
    double step = std::numeric_limits<double>::infinity();
    for (std::size_t k = 1; k < labelled.size(); ++k) {
        const double gap = std::fabs(labelled[k]->Value - labelled[k - 1]->Value);
        if (gap > 0.0) step = std::min(step, gap);
    }
    bool even = labelled.front()->Pass != tpDateTime && std::isfinite(step);
    for (std::size_t k = 0; even && k < labelled.size(); ++k) {
        const double q = labelled[k]->Value / step;
        even = std::fabs(q) < kMaxOrdinal && std::fabs(q - std::nearbyint(q)) < 1e-3;
        if (even) ordinals[k] = static_cast<long long>(std::nearbyint(q));
    }
    if (!even)
        for (std::size_t k = 0; k < labelled.size(); ++k) ordinals[k] = static_cast<long long>(k);
    return ordinals;
}

}  // namespace

void ThinLabels(std::vector<TTickVisit>& visits, const TLabelSpan& span)
{
    // The drawn labels with text, their spans and ordinals.
    struct TLabel {
        std::size_t Index;
        std::pair<long long, long long> Span;
        std::optional<long long> Ordinal;
    };
    std::vector<TLabel> labels;
    std::vector<const TTickVisit*> labelled;
    for (std::size_t i = 0; i < visits.size(); ++i) {
        const TTickVisit& v = visits[i];
        if (!v.Labelled || v.Label.empty()) continue;
        const auto s = span(v);
        if (s.first > s.second) continue;
        labels.push_back({i, s, std::nullopt});
        labelled.push_back(&v);
    }
    if (labels.empty()) return;
    if (labelled.front()->Pass == tpLogarithmic) {
        for (TLabel& l : labels) l.Ordinal = DecadeExponent(visits[l.Index].Value);
    } else {
        const std::vector<long long> ordinals = LabelOrdinals(labelled);
        for (std::size_t k = 0; k < labels.size(); ++k) labels[k].Ordinal = ordinals[k];
    }
    const auto fits = [&labels](const auto& keep) {
        std::vector<std::pair<long long, long long>> spans;
        for (const TLabel& l : labels)
            if (keep(l)) spans.push_back(l.Span);
        std::sort(spans.begin(), spans.end());
        for (std::size_t k = 1; k < spans.size(); ++k)
            if (spans[k].first <= spans[k - 1].second) return false;
        return true;
    };
    if (fits([](const TLabel&) { return true; })) return;
    long long step = 1;
    const auto kept = [&step](const TLabel& l) { return l.Ordinal && *l.Ordinal % step == 0; };
    // Steps 1, 2, 5, 10, 20, 50, ...: a step beyond every ordinal (|o| <
    // 2^52) keeps at most the label of ordinal 0, so the search ends.
    for (int k = 0; !fits(kept); ++k) step = k % 3 == 1 ? step / 2 * 5 : step * 2;
    // A date line of a label that goes passes to the next label that stays
    // and has none: the first label shown of a day carries its date.
    std::string pendingDate;
    bool pending = false;
    for (const TLabel& l : labels) {
        TTickVisit& v = visits[l.Index];
        if (kept(l)) {
            if (pending && !v.HasDateLine) {
                v.HasDateLine = true;
                v.DateLine = std::move(pendingDate);
            }
            pending = false;
            continue;
        }
        if (v.HasDateLine) {
            pending = true;
            pendingDate = std::move(v.DateLine);
        }
        v.Labelled = false;
        v.Label.clear();
        v.HasDateLine = false;
        v.DateLine.clear();
    }
}

}  // namespace kurvo
