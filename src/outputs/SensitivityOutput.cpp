#include "outputs/SensitivityOutput.h"

#include "analysis/SensitivityCsv.h"
#include "base/ResultCodes.h"
#include "outputs/OutputLimits.h"
#include "outputs/PictureFile.h"
#include "plot/SensitivityPicture.h"

#include <algorithm>
#include <cassert>

// A batch draws every picture at one scale.
static_assert(kMaxPictureScale <= kMaxSensitivityScale && kMinSensitivityScale == 1,
              "every scale a batch takes suits the sensitivity picture");

namespace
{
constexpr std::string_view kNotWritten = "; no sensitivity files were written.";

// "<a> to <b> over <what> 0 to <last><unit>" for the entries of a region's series; "<a> over ..."
// when they do not move.
std::string EntriesRange(const RegionSensitivity& region, SensitivityParameter parameter,
                         std::string_view what, std::string_view unit)
{
    const std::span<const SensitivityFigures> series = region.Series(parameter);
    const std::string over = " over " + std::string(what) + " " + FormatSensitivityValue(parameter, 0) +
                             " to " + FormatSensitivityValue(parameter, series.size() - 1) +
                             std::string(unit);
    const auto [low, high] = std::minmax_element(series.begin(), series.end(),
                                                 [](const SensitivityFigures& a, const SensitivityFigures& b)
                                                 { return a.entries < b.entries; });
    if (low->entries == high->entries)
        return std::to_string(low->entries) + over;
    return std::to_string(low->entries) + " to " + std::to_string(high->entries) + over;
}
} // namespace

CSensitivityOutput::CSensitivityOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin,
                                       const AnalysisSettings& settings, std::int32_t scale)
    : m_place(std::move(place)), m_nScale(scale), m_builder(table, margin, settings)
{
    assert(scale >= kMinSensitivityScale && scale <= kMaxSensitivityScale &&
           "a picture scale the sensitivity picture draws");
    const std::string tablePath = TrackOutputPath(m_place, kSensitivityCsvSuffix);
    m_nTable = m_files.Add(
        tablePath, OutputFileTexts{"Cannot create the CSV file " + tablePath + std::string(kNotWritten),
                                   "Cannot write to the CSV file " + tablePath + std::string(kNotWritten)});
    const std::string picturePath = TrackOutputPath(m_place, kSensitivityPictureSuffix);
    m_nPicture = m_files.Add(picturePath, OutputFileTexts{PngCreateFailedMessage(picturePath),
                                                          PngWriteFailedMessage(picturePath)});
}

Problem CSensitivityOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    return m_files.Create();
}

Problem CSensitivityOutput::Begin(const TrackSourceInfo& source)
{
    m_strFileName = source.fileName;
    return Failure(m_builder.Begin(source), {});
}

Problem CSensitivityOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    return Failure(m_builder.Consume(records, firstIndex), {});
}

Problem CSensitivityOutput::End()
{
    m_builder.End();
    const SensitivityResult& result = m_builder.Result();
    if (Problem problem = m_files.Write(m_nTable, FormatSensitivityCsv(result, m_place.label));
        !problem.IsOk())
        return problem;
    const CRgbRaster picture =
        DrawSensitivityPicture(result, SensitivityPictureOptions{m_nScale, m_strFileName});
    if (Problem problem = WritePngInto(m_files, m_nPicture, picture.View()); !problem.IsOk())
        return problem;
    return m_files.Commit();
}

void CSensitivityOutput::Abandon()
{
    m_builder.Abandon();
    m_files.Discard();
}

std::vector<std::string> CSensitivityOutput::SummaryLines() const
{
    std::vector<std::string> lines;
    for (const RegionSensitivity& region : Result().regions)
        lines.push_back(region.name + ": " + std::to_string(region.current.entries) + " entries; " +
                        EntriesRange(region, SensitivityParameter::MinVisit, "minimum visits", " s") + ", " +
                        EntriesRange(region, SensitivityParameter::Margin, "margins", ""));
    return lines;
}

std::unique_ptr<ITrackOutput> MakeSensitivityAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CSensitivityOutput>(place, settings.regions, settings.margin, settings.analysis,
                                                settings.sensitivity.scale);
}
