// A fixed-size working array whose elements start out unwritten. Point and TriangleEntry zero
// themselves when default-initialized, and clearing the per-record arrays of the center and
// direction search (hundreds of bytes each) costs a measurable share of a record, though every
// element is written before it is read.
#pragma once

#include <cassert>
#include <cstddef>
#include <new>
#include <type_traits>

template <class T, std::size_t N> class CScratchArray
{
    // Objects of such a type come into being in suitable storage without being constructed.
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "scratch elements are written before they are read, never constructed");

public:
    CScratchArray() {} // NOLINT(modernize-use-equals-default): = default would clear the storage
    CScratchArray(const CScratchArray&) = delete;
    CScratchArray& operator=(const CScratchArray&) = delete;

    T* Data() { return std::launder(reinterpret_cast<T*>(m_storage)); } // NOLINT(bugprone-*)
    const T* Data() const { return std::launder(reinterpret_cast<const T*>(m_storage)); }
    T& operator[](std::size_t k)
    {
        assert(k < N && "a scratch element beyond the array");
        return Data()[k];
    }
    const T& operator[](std::size_t k) const
    {
        assert(k < N && "a scratch element beyond the array");
        return Data()[k];
    }

private:
    alignas(T) std::byte m_storage[sizeof(T) * N];
};
