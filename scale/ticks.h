// Tick passes: pure functions of an axis's settings and range. A pass
// yields its tick visits in drawing order and records the tick values in a
// tick list; it touches no canvas. The axis painter turns visits into
// lines, labels and events.
#pragma once

#include "base/enums.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kurvo {

enum TTickKind : std::uint8_t { tkShort, tkLong };

// The pass that produced a visit; the painter's order of line, label and
// event differs between them.
enum TTickPass : std::uint8_t { tpLinear, tpLogarithmic, tpTime, tpDateTime };

struct TTickVisit {
    double Value = 0.0;
    TTickKind Kind = tkShort;
    TTickPass Pass = tpLinear;
    // False for a logarithmic short tick on a horizontal axis with short
    // ticks off: its event is raised, but no line is drawn.
    bool DrawLine = true;
    // The label step runs (long ticks unless LabelType is ftNoFigs), also
    // for an empty text.
    bool Labelled = false;
    std::string Label;
    // Time-of-day passes: a second label line with the date.
    bool HasDateLine = false;
    std::string DateLine;
};

struct TTickSettings {
    double RangeLow = 0.0;
    double RangeHigh = 100.0;
    int MinTicks = 3;
    bool ShortTicks = true;
    bool Logarithmic = false;
    int DecPlaces = -2;
    TFigType LabelType = ftNum;
    std::string UserTickText;
    std::string ScaleInscript;
    bool Vertical = false;
};

// The values of the ticks of the last pass: at most 250 are kept, further
// ones are visited but not recorded. Copies of an axis share one list.
class TTickList {
public:
    static constexpr int MaxTicks = 250;

    TTickList() : FValues(std::make_shared<std::vector<double>>(MaxTicks, 0.0)) {}

    // Starts a pass: NumTicks 0, 250 zeroed entries.
    void Reset();
    void Append(double value);
    int NumTicks() const { return FNumTicks; }
    // The index-th value counted from 1; 0.0 outside 1 ... NumTicks.
    double TickValue(int index) const;

private:
    std::shared_ptr<std::vector<double>> FValues;
    int FNumTicks = 0;
};

using TTickVisitor = std::function<void(TTickVisit& visit)>;

// Upper bound of visits of one pass. A range that would need more (unit
// steps over a huge range, steps below the spacing of doubles) gets no
// ticks instead of a pass that does not end.
constexpr int MaxTickVisits = 5000;

// Runs the pass the settings select (date/time, time, logarithmic or
// linear), starting with Reset of the list.
void RunTickPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);

void RunLinearPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);
void RunLogarithmicPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);

// --- label helpers

// Decimals of a linear axis: DecPlaces other than -2 and -3 as it is;
// otherwise chosen from the width of A ... B (-1 selects exponent form).
int AutoDecPlaces(int decPlaces, double a, double b);
// Decimals of a logarithmic axis: only -2 is automatic.
int AutoDecPlacesLog(int decPlaces, double a, double b);
// Fixed-point text with d decimals (d >= 0) or two-digit exponent form (d = -1).
std::string FormatTickNumber(double v, int d);
// The k-th '|'-separated field of a user tick text.
std::string UserTickField(const std::string& text, int k);
// Wraps a label with an inscript: "pre&post" around it, otherwise in front.
std::string ApplyInscript(const std::string& label, const std::string& inscript);

}  // namespace kurvo
