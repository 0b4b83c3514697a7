// Shows any drawing surface with Width(), Height(), Data() and ChangeCount() in the plot area
// without the framework knowing its type: the app keeps one CPixelSourceAdapter<CDrawingSurface>
// next to its surface and hands it to CStatic::SetPixelSource. Data() may return a pointer or a
// contiguous range of bytes (24-bit RGB rows, top to bottom, no padding).
#pragma once

#include "framework/Host.h"

#include <cstdint>
#include <iterator>
#include <type_traits>

template <class Surface> class CPixelSourceAdapter final : public IPixelSource
{
public:
    explicit CPixelSourceAdapter(const Surface& surface) : m_surface(surface) {}

    [[nodiscard]] int Width() const override { return static_cast<int>(m_surface.Width()); }
    [[nodiscard]] int Height() const override { return static_cast<int>(m_surface.Height()); }
    [[nodiscard]] const std::uint8_t* Data() const override
    {
        const auto& data = m_surface.Data();
        if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(data)>>)
            return reinterpret_cast<const std::uint8_t*>(data);
        else
            return reinterpret_cast<const std::uint8_t*>(std::data(data));
    }
    [[nodiscard]] std::uint64_t ChangeCount() const override
    {
        return static_cast<std::uint64_t>(m_surface.ChangeCount());
    }

private:
    const Surface& m_surface; // not owned
};
