// Label helpers: decimals, number text, user text fields and inscripts.
#include "scale/ticks.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace kurvo {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct DecRow {
    int DecPlaces;
    double A, B;
    int Expected;
};

TEST(AutoDecPlaces, ChoosesDecimalsFromTheWidth)
{
    const DecRow rows[] = {
        {-2, 0, 10, 1},       {-2, 0, 1, 2},          {-2, 0, 0.1, 3},     {-2, 0, 20, 1},
        {-2, 0, 50, 0},       {-2, 0, 99.9, 0},       {-2, 0, 100, 0},     {-2, 0, 999999, 0},
        {-2, 0, 1000000, -1}, {-2, 0, 0.0001, -1},    {-2, 0, 0.00011, 6}, {-2, 10, 0, 1},
        {-2, -5, 5, 1},       {-3, 0, 10, 1},         {-3, 0, 1e9, -1},    {0, 0, 10, 0},
        {5, 0, 1e9, 5},       {-1, 0, 10, -1},        {12, 0, 1, 12},      {-2, kNaN, 1, -1},
        {-2, 0, kInf, -1},    {-2, -kInf, kInf, -1},
    };
    for (const DecRow& r : rows)
        EXPECT_EQ(AutoDecPlaces(r.DecPlaces, r.A, r.B), r.Expected)
            << r.DecPlaces << " on " << r.A << " ... " << r.B;
}

TEST(AutoDecPlacesLog, OnlyMinusTwoIsAutomatic)
{
    const DecRow rows[] = {
        {-2, 0.001, 1000, 4}, {-2, 1000, 0.001, 4}, {-2, 0.5, 100, 1},  {-2, 1, 1000, 0},   {-2, 2, 15, 0},
        {-2, 1, 1e7, -1},     {-2, 1e-5, 5e-5, -1}, {-2, 0.01, 10, 3},  {-3, 0.001, 1000, -3},
        {0, 0.001, 1000, 0},  {4, 1, 1000, 4},      {-1, 1, 10, -1},    {-2, 0, 10, -1},    {-2, kNaN, 10, -1},
    };
    for (const DecRow& r : rows)
        EXPECT_EQ(AutoDecPlacesLog(r.DecPlaces, r.A, r.B), r.Expected)
            << r.DecPlaces << " on " << r.A << " ... " << r.B;
}

struct FormatRow {
    double V;
    int D;
    const char* Expected;
};

TEST(FormatTickNumber, FixedAndExponentTexts)
{
    const FormatRow rows[] = {
        {-4, 1, "-4.0"},
        {0.125, 3, "0.125"},
        {20, 0, "20"},
        {1234567.891, 2, "1234567.89"},  // no thousands separators
        {0.6000000000000001, 2, "0.60"},
        {2.5, 0, "2"},  // round half to even
        {3.5, 0, "4"},
        {-0.001, 2, "0.00"},  // rounds to zero: no sign
        {-0.0, 1, "0.0"},
        {1e20, 0, "100000000000000000000"},
        {1e-20, 3, "0.000"},
        {1500, -1, " 1.5E+03"},
        {-0.00002, -1, "-2.0E-05"},
        {0, -1, " 0.0E+00"},
        {-0.0, -1, " 0.0E+00"},
        {9.94e99, -1, " 9.9E+99"},
        {9.96e99, -1, "********"},  // rounds to 1.0E+100
        {1e100, -1, "********"},
        {-2.5e-150, -1, "********"},
        {5e-324, -1, "********"},
        {1.25, -1, " 1.2E+00"},
        {-1.35, -1, "-1.4E+00"},
        {kNaN, 2, "********"},
        {-kInf, -1, "********"},
    };
    for (const FormatRow& r : rows) EXPECT_EQ(FormatTickNumber(r.V, r.D), r.Expected) << r.V << " with " << r.D;
}

TEST(FormatTickNumber, ManyDecimalsOfATinyValue)
{
    // 1e-300 rounded to 301 decimals: 299 zeros, then "10".
    EXPECT_EQ(FormatTickNumber(1e-300, 301), "0." + std::string(299, '0') + "10");
}

struct FieldRow {
    const char* Text;
    int K;
    const char* Expected;
};

TEST(UserTickField, PicksTheKthField)
{
    const FieldRow rows[] = {
        {"Jan|Feb|Mar", 1, "Jan"}, {"Jan|Feb|Mar", 2, "Feb"}, {"Jan|Feb|Mar", 3, "Mar"}, {"Jan|Feb|Mar", 5, "Mar"},
        {"Jan|Feb|", 2, "Feb"},    {"Jan|Feb|", 3, ""},       {"Jan|Feb|", 7, ""},       {"", 1, ""},
        {"", 4, ""},               {"one", 1, "one"},         {"one", 9, "one"},         {"|x", 1, ""},
        {"|x", 2, "x"},            {"a||c", 2, ""},           {"a||c", 3, "c"},          {"Jan|Feb", 0, "Jan"},
    };
    for (const FieldRow& r : rows) EXPECT_EQ(UserTickField(r.Text, r.K), r.Expected) << r.Text << " K=" << r.K;
}

struct InscriptRow {
    const char* Label;
    const char* Inscript;
    const char* Expected;
};

TEST(ApplyInscript, WrapsOrPrefixesTheLabel)
{
    const InscriptRow rows[] = {
        {"12", "& kg", "12 kg"}, {"12", "(&)", "(12)"}, {"12", "$", "$12"},     {"12", "", "12"},
        {"", "& kg", ""},        {"", "$", ""},         {"12", "&", "12"},      {"12", "a&b&c", "a12b&c"},
        {"-4.0", "x = &", "x = -4.0"},
    };
    for (const InscriptRow& r : rows)
        EXPECT_EQ(ApplyInscript(r.Label, r.Inscript), r.Expected) << r.Label << " with " << r.Inscript;
}

// Huge user texts would be measured at every paint for every label: labels
// made of them stop at MaxUserLabelLength bytes, never inside a character.
TEST(UserLabels, HugeUserTextsAreCutAtACharacterBoundary)
{
    const std::string ascii(10000, 'x');
    std::string wide;
    while (wide.size() < 10000) wide += "\xC3\xA9";  // é, two bytes each: 255 falls inside one
    EXPECT_EQ(UserTickField(ascii, 1), std::string(MaxUserLabelLength, 'x'));
    EXPECT_EQ(UserTickField("a|" + ascii, 2).size(), MaxUserLabelLength);
    EXPECT_EQ(UserTickField(wide, 1).size(), MaxUserLabelLength - 1);
    EXPECT_EQ(ApplyInscript("12", ascii).size(), MaxUserLabelLength);
    EXPECT_EQ(ApplyInscript("12", wide + "&").size(), MaxUserLabelLength - 1);
    EXPECT_EQ(UserTickField("Jan|Feb", 2), "Feb");  // short texts untouched
}

}  // namespace
}  // namespace kurvo
