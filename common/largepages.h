#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// Big buffers filled at once (whole texts, per-line tables) spend much of their time in
// page faults when the system maps them 4 KB at a time. Where the system offers large
// pages on request, these ask for them; elsewhere they do nothing.

/// Asks for large pages under the part of [data, data + bytes) that covers whole large
/// pages. Call it on memory not yet written: pages already touched keep their size. Small
/// buffers are left alone.
void adviseLargePages(void *data, std::size_t bytes);

/// An allocator whose big blocks ask for large pages before anything is written to them.
template <typename T>
struct LargePageAllocator
{
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U> &) noexcept
    {
    }
    T *allocate(std::size_t count)
    {
        T *data = std::allocator<T>().allocate(count);
        adviseLargePages(data, count * sizeof(T));
        return data;
    }
    void deallocate(T *data, std::size_t count) noexcept
    {
        std::allocator<T>().deallocate(data, count);
    }
    friend bool operator==(const LargePageAllocator &, const LargePageAllocator &) = default;
};

template <typename T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
