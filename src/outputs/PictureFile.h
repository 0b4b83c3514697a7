// A picture file: PNG for a name ending in .png (in any case), the window's bitmap (plot/BitmapFile.h)
// otherwise, each pixel of the picture drawn as scale x scale pixels for print. The picture files
// of the entire-track plot, of one record (tracktool frame) and of the window's Save Plot as PNG.
//
// A PNG's name is claimed at Prepare (a temporary file beside it) and the picture put in place
// whole at Write; a bitmap is written whole at Write by the window's own writer, which tells its
// failures in the window's words (the problem then carries only the code).
#pragma once

#include "base/OutputGroup.h"
#include "base/Problem.h"
#include "plot/RgbRaster.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class PictureFormat
{
    ByName, // PNG for a name ending in .png, else a bitmap
    Png,    // PNG whatever the name
};

class CPictureFile
{
public:
    CPictureFile(std::string path, std::int32_t scale, PictureFormat format = PictureFormat::ByName);

    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] bool IsPng() const { return m_bPng; }

    // Claims the name of a PNG; nothing for a bitmap.
    [[nodiscard]] Problem Prepare();
    // Writes the picture, enlarged by the scale, and puts it in place.
    [[nodiscard]] Problem Write(const RgbImageView& image);
    // Drops a claimed name; the file keeps what it had.
    void Discard();

private:
    std::string m_strPath;
    std::int32_t m_nScale;
    bool m_bPng;
    COutputGroup m_png;
};

// Encodes image as PNG into file k of a group (created by the caller, who commits it); on failure the
// group's problem for that file, every file dropped.
[[nodiscard]] Problem WritePngInto(COutputGroup& group, std::size_t k, const RgbImageView& image);

// The messages of a PNG that cannot be created or written, for path.
[[nodiscard]] std::string PngCreateFailedMessage(std::string_view path);
[[nodiscard]] std::string PngWriteFailedMessage(std::string_view path);
