// Picture memory kept for reuse; see picture_memory.h.
#include "canvas/picture_memory.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace kurvo {

namespace {

constexpr std::size_t kKeptBytes = std::size_t{64} << 20;

// The blocks handed out (by address, with their sizes) and the free ones
// (oldest first). A picture may be released on another thread than the one
// that made it (a QImage copy lives on), hence the lock.
struct TPictureMemory {
    std::mutex Lock;
    std::unordered_map<void*, std::size_t> InUse;
    std::vector<std::pair<std::size_t, void*>> Free;
    std::size_t FreeBytes = 0;

    void* Take(std::size_t bytes)
    {
        {
            const std::lock_guard<std::mutex> guard(Lock);
            for (std::size_t k = Free.size(); k > 0; --k)
                if (Free[k - 1].first == bytes) {
                    void* block = Free[k - 1].second;
                    Free.erase(Free.begin() + static_cast<std::ptrdiff_t>(k - 1));
                    FreeBytes -= bytes;
                    InUse.emplace(block, bytes);
                    return block;
                }
        }
        void* block = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
        if (block == nullptr) return nullptr;
        const std::lock_guard<std::mutex> guard(Lock);
        InUse.emplace(block, bytes);
        return block;
    }

    void Give(void* block)
    {
        std::vector<void*> dropped;
        {
            const std::lock_guard<std::mutex> guard(Lock);
            const auto found = InUse.find(block);
            if (found == InUse.end()) return;
            const std::size_t bytes = found->second;
            InUse.erase(found);
            Free.emplace_back(bytes, block);
            FreeBytes += bytes;
            // The oldest go beyond the limit.
            std::size_t drop = 0;
            while (FreeBytes > kKeptBytes && drop < Free.size()) FreeBytes -= Free[drop++].first;
            for (std::size_t k = 0; k < drop; ++k) dropped.push_back(Free[k].second);
            Free.erase(Free.begin(), Free.begin() + static_cast<std::ptrdiff_t>(drop));
        }
        for (void* d : dropped) std::free(d);
    }
};

// Never destroyed: pictures may be released during static destruction.
TPictureMemory& Memory()
{
    static auto* memory = new TPictureMemory;
    return *memory;
}

void Release(void* block) { Memory().Give(block); }

}  // namespace

QImage NewPicture(int width, int height)
{
    if (width <= 0 || height <= 0) return QImage();
    const qsizetype bytesPerLine = static_cast<qsizetype>(width) * 4;
    const std::size_t bytes = static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(height);
    void* block = Memory().Take(bytes);
    if (block == nullptr) return QImage();
    return QImage(static_cast<uchar*>(block), width, height, bytesPerLine, QImage::Format_RGB32, &Release, block);
}

}  // namespace kurvo
