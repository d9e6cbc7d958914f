#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace tarvik {

// Memory for the tables of a large log (a million decoded records, row orders, sort keys).
// On Linux a large block is aligned to 2 MB and asks for transparent huge pages: filling 36 MB
// then takes about twenty page faults instead of nine thousand, and on a virtual machine those
// faults are most of the time a large log takes to open or sort. Elsewhere, and for small
// blocks, it is plain operator new.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

template <typename T> struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLarge(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { FreeLarge(block, count * sizeof(T)); }

    template <typename U> bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

template <typename T> using LargeVector = std::vector<T, LargeAllocator<T>>;

} // namespace tarvik
