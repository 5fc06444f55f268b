// The SIGBUS guard of mapped sample files. The table of guarded mappings is
// read by the signal handler without a lock: each slot's bounds are atomics,
// written in an order that never shows the handler a half-made slot.
#include "chart/mapping_guard.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#if defined(__linux__)
#include <csignal>
#include <sys/mman.h>
#include <unistd.h>
#define KURVO_MAPPING_GUARD 1
#endif

namespace kurvo {

#ifdef KURVO_MAPPING_GUARD

namespace {

struct TGuardSlot {
    std::atomic<std::uintptr_t> Begin{0};  // 0: free
    std::atomic<std::uintptr_t> End{0};
    std::atomic<bool> Lost{false};
};

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free, "the handler reads the slots without a lock");

std::array<TGuardSlot, 256> gSlots;
std::mutex gWriters;  // guards and unguards one at a time
std::uintptr_t gPageSize = 4096;
struct sigaction gPrevious {};

void OnBusError(int sig, siginfo_t* info, void* context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (TGuardSlot& slot : gSlots) {
        const std::uintptr_t begin = slot.Begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= slot.End.load(std::memory_order_acquire)) continue;
        // The page's file contents are gone: read zeros from now on.
        void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
        if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            slot.Lost.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not a page of ours: whoever handled SIGBUS before handles it.
    if ((gPrevious.sa_flags & SA_SIGINFO) != 0 && gPrevious.sa_sigaction != nullptr) {
        gPrevious.sa_sigaction(sig, info, context);
        return;
    }
    if ((gPrevious.sa_flags & SA_SIGINFO) == 0 && gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(sig);
        return;
    }
    // The default action: the signal, pending until this handler returns,
    // ends the program as it would have without us.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(SIGBUS, &byDefault, nullptr);
    ::raise(SIGBUS);
}

bool Install()
{
    const long page = ::sysconf(_SC_PAGESIZE);
    if (page > 0) gPageSize = static_cast<std::uintptr_t>(page);
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, &gPrevious) == 0;
}

TGuardSlot* Find(std::uintptr_t begin)
{
    for (TGuardSlot& slot : gSlots)
        if (slot.Begin.load(std::memory_order_relaxed) == begin) return &slot;
    return nullptr;
}

}  // namespace

bool GuardMapping(const void* begin, std::size_t bytes)
{
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    if (b == 0 || bytes == 0 || bytes > UINTPTR_MAX - b) return false;
    std::lock_guard<std::mutex> lock(gWriters);
    static const bool installed = Install();
    if (!installed) return false;
    TGuardSlot* slot = Find(0);
    if (slot == nullptr) return false;
    slot->Lost.store(false, std::memory_order_relaxed);
    slot->End.store(b + bytes, std::memory_order_release);
    slot->Begin.store(b, std::memory_order_release);
    return true;
}

void UnguardMapping(const void* begin)
{
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    if (b == 0) return;
    std::lock_guard<std::mutex> lock(gWriters);
    if (TGuardSlot* slot = Find(b)) {
        slot->Begin.store(0, std::memory_order_release);
        slot->End.store(0, std::memory_order_release);
    }
}

bool MappingLostPages(const void* begin)
{
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    if (b == 0) return false;
    std::lock_guard<std::mutex> lock(gWriters);
    const TGuardSlot* slot = Find(b);
    return slot != nullptr && slot->Lost.load(std::memory_order_acquire);
}

#else

bool GuardMapping(const void*, std::size_t) { return false; }
void UnguardMapping(const void*) {}
bool MappingLostPages(const void*) { return false; }

#endif

}  // namespace kurvo
