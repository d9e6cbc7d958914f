#include "viewer/large_allocator.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tarvik {

#ifdef __linux__
namespace {

constexpr std::uintptr_t kHugePage = 2u << 20;

std::uintptr_t RoundUp(std::uintptr_t value) {
    return (value + kHugePage - 1) & ~(kHugePage - 1);
}

// Below this, a block is too small for a huge page to pay.
bool IsLarge(std::size_t bytes) {
    return bytes >= kHugePage / 2;
}

} // namespace

void* AllocateLarge(std::size_t bytes) {
    if (!IsLarge(bytes))
        return ::operator new(bytes);
    const std::uintptr_t size = RoundUp(bytes);
    // One huge page more than needed, so that an aligned start lies inside; the ends are
    // given back.
    void* mapped =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = RoundUp(start);
    if (aligned != start)
        munmap(mapped, aligned - start);
    if (const std::uintptr_t tail = start + kHugePage - aligned; tail != 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    // Only advice: without huge pages the block works the same, a little slower to fill.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (!IsLarge(bytes)) {
        ::operator delete(block);
        return;
    }
    munmap(block, RoundUp(bytes));
}

#else

void* AllocateLarge(std::size_t bytes) {
    return ::operator new(bytes);
}

void FreeLarge(void* block, std::size_t) noexcept {
    ::operator delete(block);
}

#endif

} // namespace tarvik
