#include "analysis/TrackOutputs.h"

#include "analysis/TrackCsv.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "base/File.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"
#include "regions/EventFile.h"
#include "regions/RegionEventConsumer.h"

#include <algorithm>

namespace
{
class CEventFilesOutput final : public ITrackOutput
{
public:
    CEventFilesOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin)
        : m_place(std::move(place)), m_table(table), m_consumer(m_generator)
    {
        m_table.m_nRegionCount = std::clamp(m_table.m_nRegionCount, 0, kMaxRegions);
        m_generator.Init(margin);
        m_generator.SetOutputDirectory(m_place.dir);
        if (HasRegions())
            m_generator.SetRegions(m_table);
    }

    std::vector<std::string> Files() const override
    {
        std::vector<std::string> files;
        for (std::int32_t j = 0; j < m_table.m_nRegionCount; ++j)
            for (const EventKind kind : {EventKind::Enter, EventKind::Leave})
            {
                std::string path = MakeEventFilePath(
                    m_place.dir, m_place.fileName, m_table.m_regionNames[static_cast<std::size_t>(j)], kind);
                if (std::find(files.begin(), files.end(), path) == files.end()) // one pair per name
                    files.push_back(std::move(path));
            }
        return files;
    }

    // Without regions there is nothing to write, and nothing fails.
    int Begin(const TrackSourceInfo& source) override
    {
        return HasRegions() ? m_consumer.Begin(source) : kOk;
    }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return HasRegions() ? m_consumer.Consume(records, firstIndex) : kOk;
    }
    int End() override { return HasRegions() ? m_consumer.End() : kOk; }
    void Abandon() override
    {
        if (HasRegions())
            m_consumer.Abandon();
    }

private:
    [[nodiscard]] bool HasRegions() const { return m_table.m_nRegionCount > 0; }

    TrackOutputPlace m_place;
    CRegionTable m_table; // the generator borrows its rectangles and names
    CRegionEventGenerator m_generator;
    CRegionEventConsumer m_consumer;
};

class CVisitFilesOutput final : public ITrackOutput
{
public:
    CVisitFilesOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin)
        : m_place(std::move(place)), m_builder(table, margin)
    {
    }

    std::vector<std::string> Files() const override
    {
        std::vector<std::string> files;
        for (const VisitCsvKind kind : {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session})
            files.push_back(MakeVisitCsvPath(m_place.dir, m_place.fileName, kind));
        return files;
    }

    int Begin(const TrackSourceInfo& source) override { return m_builder.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_builder.Consume(records, firstIndex);
    }
    int End() override
    {
        if (const int ended = m_builder.End(); ended != kOk)
            return ended;
        return WriteVisitCsvFiles(m_builder.Result(), m_place.dir, m_place.fileName, m_place.label);
    }
    void Abandon() override { m_builder.Abandon(); }

private:
    TrackOutputPlace m_place;
    CVisitTableBuilder m_builder;
};

class CRecordsFileOutput final : public ITrackOutput
{
public:
    explicit CRecordsFileOutput(const TrackOutputPlace& place)
        : m_strPath(MakeTrackOutputPath(place, "_track.csv")), m_writer(m_strPath)
    {
    }

    std::vector<std::string> Files() const override { return {m_strPath}; }
    int Begin(const TrackSourceInfo& source) override { return m_writer.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_writer.Consume(records, firstIndex);
    }
    int End() override { return m_writer.End(); }
    void Abandon() override { m_writer.Abandon(); }

private:
    std::string m_strPath;
    CTrackCsvWriter m_writer;
};

class CQualityFileOutput final : public ITrackOutput
{
public:
    CQualityFileOutput(const TrackOutputPlace& place, const QualityOptions& options)
        : m_strPath(MakeTrackOutputPath(place, "_quality.txt")), m_report(options)
    {
    }

    std::vector<std::string> Files() const override { return {m_strPath}; }
    int Begin(const TrackSourceInfo& source) override { return m_report.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_report.Consume(records, firstIndex);
    }
    int End() override
    {
        if (const int ended = m_report.End(); ended != kOk)
            return ended;
        const std::string text = FormatQualityText(m_report.Summary());
        COutputFile file;
        if (!file.Create(m_strPath))
        {
            ShowFileProblem("Cannot create the quality report " + m_strPath + "; it was not written.",
                            m_strPath, file.GetProblem());
            return kErrOpen;
        }
        if (!file.Write(text.data(), text.size()) || !file.Commit())
        {
            ShowFileProblem("Cannot write to the quality report " + m_strPath + "; it was not written.",
                            m_strPath, file.GetProblem());
            return kErrOpen;
        }
        return kOk;
    }
    void Abandon() override { m_report.Abandon(); }

private:
    std::string m_strPath;
    CTrackingQualityReport m_report;
};
} // namespace

std::string MakeTrackOutputPath(const TrackOutputPlace& place, std::string_view suffix)
{
    const bool hasSeparator = !place.dir.empty() && place.dir.back() == '/';
    return place.dir + (hasSeparator ? "" : "/") + place.fileName + std::string(suffix);
}

std::unique_ptr<ITrackOutput> MakeEventFilesOutput(const TrackOutputPlace& place, const CRegionTable& table,
                                                   std::int32_t margin)
{
    return std::make_unique<CEventFilesOutput>(place, table, margin);
}

std::unique_ptr<ITrackOutput> MakeVisitFilesOutput(const TrackOutputPlace& place, const CRegionTable& table,
                                                   std::int32_t margin)
{
    return std::make_unique<CVisitFilesOutput>(place, table, margin);
}

std::unique_ptr<ITrackOutput> MakeRecordsFileOutput(const TrackOutputPlace& place)
{
    return std::make_unique<CRecordsFileOutput>(place);
}

std::unique_ptr<ITrackOutput> MakeQualityFileOutput(const TrackOutputPlace& place,
                                                    const QualityOptions& options)
{
    return std::make_unique<CQualityFileOutput>(place, options);
}

std::string FormatQualityText(const QualitySummary& summary)
{
    std::string text;
    for (const std::string& line : FormatQualityFigures(summary))
        text += line + "\n";
    return text;
}
