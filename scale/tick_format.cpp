// Label helpers of the numeric tick passes: decimals, number text, user
// text and inscript.
#include "scale/ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kurvo {

namespace {

// Shown where a number does not fit the label format.
const char* const kOverflowText = "********";

// Fixed-point texts are capped here; no double needs more decimals than
// this to show its first significant digit.
constexpr int MaxFixedDecimals = 400;

// to_chars, unlike printf, ignores the C locale: the decimal separator is
// always '.', also after the toolkit has switched LC_NUMERIC to the user's.
std::string FixedText(double v, int d)
{
    char buf[MaxFixedDecimals + 320];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, d);
    std::string text(buf, res.ptr);
    // A negative value that rounds to zero reads as zero, not as "-0.00".
    if (!text.empty() && text[0] == '-' && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

// Sign place, one digit, '.', one digit, 'E', exponent sign, two digits.
std::string ExponentText(double v)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 1);
    const std::string digits(buf, res.ptr);  // "1.5e+03", "1.0e+100"
    const std::size_t e = digits.find('e');
    if (e == std::string::npos || digits.size() - e != 4) return kOverflowText;  // exponent of 100 or more
    std::string text;
    text.reserve(8);
    text += v < 0.0 ? '-' : ' ';
    text.append(digits, 0, e);
    text += 'E';
    text.append(digits, e + 1, std::string::npos);
    return text;
}

}  // namespace

int AutoDecPlaces(int decPlaces, double a, double b)
{
    if (decPlaces != -2 && decPlaces != -3) return decPlaces;
    const double d = std::fabs(b - a);
    if (!(d < 1000000.0) || d <= 0.0001) return -1;  // also a width that is not a number
    if (d >= 100.0) return 0;
    // ln(d) / 2.5 lies in (-3.7, 1.9) here, so the result is 0 ... 6.
    return 2 - static_cast<int>(std::nearbyint(std::log(d) / 2.5));
}

int AutoDecPlacesLog(int decPlaces, double a, double b)
{
    if (decPlaces != -2) return decPlaces;
    if (a > b) std::swap(a, b);
    const double d = b - a;
    if (!(d < 1000000.0) || d <= 0.0001) return -1;
    if (a >= 1.0) return 0;
    const double decade = std::nearbyint(std::log10(std::fabs(a)));
    if (!std::isfinite(decade)) return -1;  // a = 0 has no decade
    return 1 - static_cast<int>(decade);
}

std::string FormatTickNumber(double v, int d)
{
    if (!std::isfinite(v)) return kOverflowText;
    if (d < 0) return ExponentText(v);
    return FixedText(v, std::min(d, MaxFixedDecimals));
}

namespace {

// Cuts `text` to MaxUserLabelLength bytes without splitting a UTF-8 sequence.
std::string LimitUserLabel(std::string text)
{
    if (text.size() <= MaxUserLabelLength) return text;
    std::size_t end = MaxUserLabelLength;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

}  // namespace

std::string UserTickField(const std::string& text, int k)
{
    if (text.empty()) return {};
    std::size_t start = 0;
    for (int field = 1;; ++field) {
        const std::size_t bar = text.find('|', start);
        // Past the last separator: the last field, empty when the text ends with '|'.
        if (bar == std::string::npos) return LimitUserLabel(text.substr(start));
        if (field >= k) return LimitUserLabel(text.substr(start, bar - start));
        start = bar + 1;
    }
}

std::string ApplyInscript(const std::string& label, const std::string& inscript)
{
    if (label.empty() || inscript.empty()) return label;
    const std::size_t amp = inscript.find('&');
    if (amp == std::string::npos) return LimitUserLabel(inscript + label);
    return LimitUserLabel(inscript.substr(0, amp) + label + inscript.substr(amp + 1));
}

}  // namespace kurvo
