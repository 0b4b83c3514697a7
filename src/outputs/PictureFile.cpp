#include "outputs/PictureFile.h"

#include "base/ResultCodes.h"
#include "plot/BitmapFile.h"
#include "plot/PngFile.h"

#include <optional>

CPictureFile::CPictureFile(std::string path, std::int32_t scale, PictureFormat format)
    : m_strPath(std::move(path)), m_nScale(scale),
      m_bPng(format == PictureFormat::Png || HasPngExtension(m_strPath))
{
    if (m_bPng)
        m_png.Add(m_strPath,
                  OutputFileTexts{PngCreateFailedMessage(m_strPath), PngWriteFailedMessage(m_strPath)});
}

Problem CPictureFile::Prepare()
{
    return m_bPng ? m_png.Create() : Problem{};
}

Problem CPictureFile::Write(const RgbImageView& image)
{
    std::optional<CRgbRaster> enlarged;
    if (m_nScale > 1)
        enlarged.emplace(Magnified(image, m_nScale));
    const RgbImageView picture = enlarged ? enlarged->View() : image;
    if (!m_bPng)
        return Failure(SaveCapturedBitmap(m_strPath, CaptureImage(picture)),
                       {}); // told in the window's words
    if (Problem problem = WritePngInto(m_png, 0, picture); !problem.IsOk())
        return problem;
    return m_png.Commit();
}

void CPictureFile::Discard()
{
    m_png.Discard();
}

Problem WritePngInto(COutputGroup& group, std::size_t k, const RgbImageView& image)
{
    std::string reason;
    if (!WritePng(group.File(k), image, reason))
        return group.WriteFailed(k, reason);
    return {};
}

std::string PngCreateFailedMessage(std::string_view path)
{
    return "Cannot create the picture file " + std::string(path) + ".";
}

std::string PngWriteFailedMessage(std::string_view path)
{
    return "Cannot write the picture file " + std::string(path) + "; nothing was written.";
}
