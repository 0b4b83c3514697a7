#include "outputs/HeatmapOutput.h"

#include "analysis/OccupancyCsv.h"
#include "base/CsvBuilder.h"
#include "base/CsvStream.h"
#include "base/Regions.h"
#include "outputs/PictureFile.h"
#include "plot/PngFile.h"

#include <algorithm>

CHeatmapOutput::CHeatmapOutput(HeatmapDestination destination, const HeatmapSettings& settings,
                               std::vector<HeatmapRegion> regions)
    : m_settings(settings), m_regions(std::move(regions)), m_grid(settings.binPixels)
{
    const std::string& picture = destination.picturePath;
    if (picture.empty())
        return;
    m_picture = m_files.Add(picture,
                            OutputFileTexts{PngCreateFailedMessage(picture), PngWriteFailedMessage(picture)});
    const std::string& matrix = destination.matrixPath;
    if (!matrix.empty())
        m_matrix = m_files.Add(
            matrix, OutputFileTexts{MatrixCreateFailedMessage(matrix), MatrixWriteFailedMessage(matrix)});
}

Problem CHeatmapOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    return m_files.Create();
}

Problem CHeatmapOutput::Begin(const TrackSourceInfo& source)
{
    m_strFileName = source.fileName;
    return Failure(m_grid.Begin(source), {});
}

Problem CHeatmapOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    return Failure(m_grid.Consume(records, firstIndex), {});
}

Problem CHeatmapOutput::End()
{
    m_grid.End();
    if (!m_picture)
        return {};
    const OccupancyMap map = m_grid.Map(m_settings.sigmaBins);
    HeatmapPictureOptions options;
    options.scale = m_settings.scale;
    options.vmax = m_settings.vmax;
    options.fileName = m_strFileName;
    options.secondsBinned = m_grid.SecondsBinned();
    options.recordsOffPlot = m_grid.RecordsOffPlot();
    options.sigmaBins = m_settings.sigmaBins;
    options.regions = m_regions;
    const CRgbRaster picture = DrawHeatmapPicture(map, options);
    if (Problem problem = WritePngInto(m_files, *m_picture, picture.View()); !problem.IsOk())
        return problem;
    if (m_matrix)
    {
        CCsvStream csv(m_files.File(*m_matrix));
        if (!WriteOccupancyCsv(csv, map))
            return m_files.WriteFailed(*m_matrix);
    }
    return m_files.Commit();
}

std::vector<std::string> CHeatmapOutput::SummaryLines() const
{
    return {m_strFileName + ": " + FormatFixed6(m_grid.SecondsBinned()) + " s binned, " +
            std::to_string(m_grid.RecordsOffPlot()) + " records off the plot"};
}

void CHeatmapOutput::Abandon()
{
    m_files.Discard();
}

std::string MatrixCreateFailedMessage(std::string_view path)
{
    return "Cannot create the matrix file " + std::string(path) + ".";
}

std::string MatrixWriteFailedMessage(std::string_view path)
{
    return "Cannot write the matrix file " + std::string(path) + "; nothing was written.";
}

std::unique_ptr<ITrackOutput> MakeHeatmapAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CHeatmapOutput>(HeatmapDestination{TrackOutputPath(place, kHeatmapPictureSuffix),
                                                               TrackOutputPath(place, kHeatmapMatrixSuffix)},
                                            settings.heatmap, HeatmapRegionsOf(settings.regions));
}
