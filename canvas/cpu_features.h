// What the processor offers beyond the build's baseline, asked once.
// Internal: not installed.
#pragma once

namespace kurvo {

/// Whether the processor runs AVX2 code (functions built with
/// __attribute__((target("avx2"))), chosen at run time).
inline bool HasAvx2()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

}  // namespace kurvo
