// Shared pieces of the robustness runs: the seed and step count from the
// environment, extreme values, and the checks on time and memory per step.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace kurvo::robust {

// An environment number, or `fallback` when unset or unreadable.
inline std::uint64_t EnvNumber(const char* name, std::uint64_t fallback)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    return end != nullptr && *end == '\0' ? v : fallback;
}

// Random values with a strong bias to the ends of each type.
class TExtremes {
public:
    explicit TExtremes(std::uint64_t seed) : FRng(seed) {}

    std::mt19937_64& Rng() { return FRng; }
    int Below(int n) { return static_cast<int>(FRng() % static_cast<std::uint64_t>(n)); }
    bool Coin() { return (FRng() & 1) != 0; }

    int Int()
    {
        static constexpr int table[] = {INT_MIN, INT_MIN + 1, -1000000, -32769, -32768, -1, 0, 1, 2, 3, 7,
                                        16, 17, 100, 255, 256, 32767, 32768, 1000000, INT_MAX - 1, INT_MAX};
        if (Below(3) == 0) return Below(401) - 200;
        return table[Below(static_cast<int>(std::size(table)))];
    }
    double Real()
    {
        constexpr double inf = std::numeric_limits<double>::infinity();
        static constexpr double table[] = {
            std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -1e308, std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max(), 0.0, -0.0, 5e-324, -5e-324, 1e-300, 1e-10, 1.0, -1.0, 0.5, 100.0,
            -100.0, 1e18, 1e18 + 256, 4.8666985372458141e+260, 2147483648.0, -2147483649.0};
        switch (Below(4)) {
        case 0: return std::uniform_real_distribution<double>(-1000.0, 1000.0)(FRng);
        case 1: return std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(FRng), Below(2100) - 1075);
        default: return table[Below(static_cast<int>(std::size(table)))];
        }
    }
    // A small positive real, for ranges that must stay usable.
    double Positive() { return std::ldexp(1.0 + Below(1000) / 100.0, Below(120) - 60); }
    std::string Text()
    {
        switch (Below(13)) {
        case 0: return "";
        case 1: return std::string(10000, 'W');
        case 2: return "|||&&&";
        case 3: return "a\nb\r\n\tc";
        case 4: return "\xff\xfe\xc3";  // not UTF-8
        case 5: return "\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80";
        case 6: return std::string(300, '|');
        // Markup and what no XML file may hold.
        case 7: return "</title><script>alert(1)</script><title>";
        case 8: return "a & b < c > \"d\" ]]> <!--";
        case 9: return "\x01\x02\x1f\x7f bell\x07";
        case 10: return std::string("nul\0inside", 11);
        case 11: return "\xef\xbf\xbe\xef\xbf\xbf";  // U+FFFE U+FFFF
        default: return "text " + std::to_string(Below(1000));
        }
    }
    // An enumeration value, now and then just past its last value.
    template <class E>
    E Enum(int count)
    {
        return static_cast<E>(Below(8) == 0 ? count + Below(3) : Below(count));
    }
    int Layer() { return Below(5) == 0 ? Int() : 1 + Below(16); }

private:
    std::mt19937_64 FRng;
};

// Peak resident memory of the process so far, in MB.
inline long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// CPU seconds this thread has used: a step's cost measured this way does not
// depend on what else the machine is running (the checks run beside builds).
inline double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace kurvo::robust
