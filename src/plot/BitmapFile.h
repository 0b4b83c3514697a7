// The plot's bitmap export: an uncompressed, bottom-up Windows bitmap (BMP) of the surface. The
// capture is a description of a bitmap (size, planes, bits per pixel) with its pixels; the header
// block and the file depend only on that description, so every depth can be written and tested
// although the surface itself is always 24-bit.
#pragma once

#include "plot/DrawingSurface.h"
#include "plot/RgbRaster.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kBitmapDialogTitle = "Save Zentravox Bitmap File";
inline constexpr std::string_view kBitmapDialogFilter = "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";
inline constexpr std::string_view kBitmapDefaultExtension = ".bmp";

inline constexpr std::string_view kMsgNoBitmapObject = "Unable to get object from bitmap";
inline constexpr std::string_view kMsgNoBitmapInfo = "Unable to create .bmp file; windows error:";
inline constexpr std::string_view kMsgNoPixelMemory = "No memory availible on globalalloc for bitmap file.";
inline constexpr std::string_view kMsgGetBitsFailed = "Error on GetDIBits(), cannot save bitmap.";
inline constexpr std::string_view kMsgCreateFailed = "Unable to create() file to save .bmp...";
inline constexpr std::string_view kMsgWriteFailed = "Unable to write .bmp file.";

inline constexpr std::size_t kBitmapFileHeaderSize = 14;
inline constexpr std::size_t kBitmapInfoHeaderSize = 40;

// A captured bitmap: its description and its pixels as colours, rows top to bottom.
struct CapturedBitmap
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 24;
    std::vector<Rgb> pixels; // width x height, top row first
};

// The surface's pixels from (0, 0), width x height of them, at 24 bits per pixel; what lies beyond
// the surface (or everything, without one) is black.
[[nodiscard]] CapturedBitmap CaptureSurface(const CDrawingSurface* surface, std::int32_t width,
                                            std::int32_t height);

// The image's pixels at 24 bits per pixel.
[[nodiscard]] CapturedBitmap CaptureImage(const RgbImageView& image);

// The depth class of planes x bits per pixel: 1, 4, 8, 16, 24 or 32.
[[nodiscard]] std::uint32_t BitmapDepthClass(std::uint32_t planesTimesBits);

// BITMAPINFOHEADER, in file order.
struct BitmapInfoHeader
{
    std::uint32_t biSize = kBitmapInfoHeaderSize;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0; // BI_RGB
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// The header block: the header and, below 24 bits, a colour table of biClrUsed entries (blue,
// green, red, 0), filled when the pixels are read.
struct BitmapInfo
{
    BitmapInfoHeader header;
    std::vector<std::array<std::uint8_t, 4>> colorTable;
};

// The header block for a capture, or nothing after showing "Unable to get object from bitmap"
// when its description is not one of a bitmap (no pixels, sizes not positive or not matching).
[[nodiscard]] std::optional<BitmapInfo> CreateBitmapInfo(const CapturedBitmap& bitmap);

// The 14-byte file header and the block's bytes (40 + 4 x biClrUsed), little-endian field by field.
[[nodiscard]] std::array<std::uint8_t, kBitmapFileHeaderSize>
BitmapFileHeaderBytes(const BitmapInfoHeader& header);
[[nodiscard]] std::vector<std::uint8_t> BitmapInfoBytes(const BitmapInfo& info);

// Reads the capture's pixels in the block's format (filling its colour table) and writes the file,
// created for this program alone and replacing any file of that name, whole or not at all (through
// COutputFile: a track being read, a directory or a device is never written). Shows its own
// message on every failure. 0; -601 when the file cannot be created; -1 for the other failures.
int WriteBitmapFile(const std::string& path, BitmapInfo& info, const CapturedBitmap& bitmap);

// CreateBitmapInfo and WriteBitmapFile for one capture, with the message of a failed header block.
// 0 when the file was written, otherwise negative.
int SaveCapturedBitmap(const std::string& path, const CapturedBitmap& bitmap);

// Writes the surface's width x height pixels to path without any dialog: the same bytes the Save
// Plot command writes. 0 when the file was written.
int WriteSurfaceBitmap(const CDrawingSurface& surface, std::int32_t width, std::int32_t height,
                       const std::string& path);
