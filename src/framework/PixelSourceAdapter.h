// Shows any drawing surface with Width(), Height(), Data() and ChangeCount() in the plot area
// without the framework knowing its type: the app keeps one CPixelSourceAdapter<CDrawingSurface>
// next to its surface and hands it to CStatic::SetPixelSource. Data() returns a pointer to the
// pixels (24-bit RGB rows, top to bottom, no padding).
#pragma once

#include "framework/Host.h"

#include <cstdint>

template <class Surface> class CPixelSourceAdapter final : public IPixelSource
{
public:
    explicit CPixelSourceAdapter(const Surface& surface) : m_surface(surface) {}

    [[nodiscard]] int Width() const override { return static_cast<int>(m_surface.Width()); }
    [[nodiscard]] int Height() const override { return static_cast<int>(m_surface.Height()); }
    [[nodiscard]] const std::uint8_t* Data() const override { return m_surface.Data(); }
    [[nodiscard]] std::uint64_t ChangeCount() const override
    {
        return static_cast<std::uint64_t>(m_surface.ChangeCount());
    }

private:
    const Surface& m_surface; // not owned
};
