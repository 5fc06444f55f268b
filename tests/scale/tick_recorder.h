// Runs a tick pass and keeps what it yielded, for the tick tests.
#pragma once

#include "scale/ticks.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kurvo::test {

struct TRecordedPass {
    std::vector<TTickVisit> Visits;
    TTickList List;

    std::vector<double> Values(TTickKind kind) const
    {
        std::vector<double> out;
        for (const TTickVisit& v : Visits)
            if (v.Kind == kind) out.push_back(v.Value);
        return out;
    }

    std::vector<std::string> LongLabels() const
    {
        std::vector<std::string> out;
        for (const TTickVisit& v : Visits)
            if (v.Kind == tkLong) out.push_back(v.Label);
        return out;
    }

    std::vector<double> ListValues() const
    {
        std::vector<double> out;
        for (int i = 1; i <= List.NumTicks(); ++i) out.push_back(List.TickValue(i));
        return out;
    }

    // One token per visit: "L<value>:<label>" for a labelled long tick, "L<value>"
    // for an unlabelled one, "S<value>" for a short tick and "s<value>" for a
    // short tick whose line is not drawn. Values with ten significant digits.
    std::string Sequence() const
    {
        std::string out;
        for (const TTickVisit& v : Visits) {
            if (!out.empty()) out += ' ';
            out += v.Kind == tkLong ? 'L' : (v.DrawLine ? 'S' : 's');
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.10g", v.Value);
            out += buf;
            if (v.Labelled) out += ':' + v.Label;
        }
        return out;
    }
};

inline TRecordedPass Record(const TTickSettings& settings)
{
    TRecordedPass r;
    RunTickPass(settings, r.List, [&r](TTickVisit& v) { r.Visits.push_back(v); });
    return r;
}

// from, from + step, ... (count values).
inline std::vector<double> Arith(double from, double step, int count)
{
    std::vector<double> out;
    for (int i = 0; i < count; ++i) out.push_back(from + i * step);
    return out;
}

}  // namespace kurvo::test
