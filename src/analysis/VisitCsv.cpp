#include "analysis/VisitCsv.h"

#include "base/File.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"

#include <array>

namespace
{
// Text is handed to the file in pieces of about this size, so a long table never sits whole in memory.
constexpr std::size_t kWriteChunkBytes = std::size_t{1} << 20;

constexpr std::array kKinds = {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session};

std::string_view HeaderOf(VisitCsvKind kind)
{
    switch (kind)
    {
    case VisitCsvKind::Visits:
        return kVisitsCsvHeader;
    case VisitCsvKind::Regions:
        return kRegionsCsvHeader;
    default:
        return kSessionCsvHeader;
    }
}

std::string_view SettingsColumnsOf(VisitCsvKind kind)
{
    switch (kind)
    {
    case VisitCsvKind::Visits:
        return kVisitsCsvSettingsColumns;
    case VisitCsvKind::Session:
        return kSessionCsvSettingsColumns;
    default:
        return {};
    }
}

std::string_view NameOfRegion(const VisitTable& table, std::int32_t region)
{
    return region >= 0 && static_cast<std::size_t>(region) < table.regions.size()
               ? std::string_view(table.regions[static_cast<std::size_t>(region)].name)
               : std::string_view();
}

// Builds the file's rows, handing the text to write whenever it has grown to a chunk, and the rest
// at the end. False as soon as write fails.
template <typename Write>
bool BuildRows(const VisitTable& table, std::string_view file, VisitCsvKind kind, VisitCsvColumns columns,
               Write&& write)
{
    CCsvBuilder csv;
    csv.HeaderRow(VisitCsvHeader(kind, columns));
    const auto handOver = [&](bool last)
    {
        if (!last && csv.Text().size() < kWriteChunkBytes)
            return true;
        const bool written = write(csv.Text());
        csv.Clear();
        return written;
    };
    switch (kind)
    {
    case VisitCsvKind::Visits:
        for (const VisitRow& visit : table.visits)
        {
            AppendVisitRow(csv, file, visit, NameOfRegion(table, visit.region), columns);
            if (!handOver(false))
                return false;
        }
        break;
    case VisitCsvKind::Regions:
        for (const RegionSummary& region : table.regions)
            AppendRegionRow(csv, file, region);
        break;
    case VisitCsvKind::Session:
        AppendSessionRow(csv, file, table.session, columns);
        break;
    }
    return handOver(true);
}
} // namespace

std::string MakeVisitCsvPath(const std::string& dir, const std::string& trackFileName, VisitCsvKind kind)
{
    const char* suffix = kind == VisitCsvKind::Visits    ? "_visits.csv"
                         : kind == VisitCsvKind::Regions ? "_regions.csv"
                                                         : "_session.csv";
    const bool hasSeparator = !dir.empty() && dir.back() == '/';
    return dir + (hasSeparator ? "" : "/") + trackFileName + suffix;
}

std::string VisitCsvHeader(VisitCsvKind kind, VisitCsvColumns columns)
{
    std::string header(HeaderOf(kind));
    if (columns == VisitCsvColumns::WithSettings && !SettingsColumnsOf(kind).empty())
        header += "," + std::string(SettingsColumnsOf(kind));
    return header;
}

void AppendVisitRow(CCsvBuilder& csv, std::string_view file, const VisitRow& visit, std::string_view name,
                    VisitCsvColumns columns)
{
    csv.Field(file)
        .Field(visit.region)
        .Field(name)
        .Field(visit.visit)
        .Field(visit.enterRecord)
        .Field(visit.leaveRecord)
        .Field(visit.enterTimestamp)
        .Optional(visit.leaveTimestamp)
        .Field(visit.DurationRecords())
        .Fixed6(visit.DurationSeconds())
        .Optional(visit.DurationTimestamp())
        .Field(std::int32_t{visit.complete ? 1 : 0});
    if (columns == VisitCsvColumns::WithSettings)
        csv.Field(std::int32_t{visit.Initial() ? 1 : 0});
    csv.EndRow();
}

void AppendRegionRow(CCsvBuilder& csv, std::string_view file, const RegionSummary& region)
{
    csv.Field(file)
        .Field(region.region)
        .Field(region.name)
        .Field(region.rect.left)
        .Field(region.rect.top)
        .Field(region.rect.right)
        .Field(region.rect.bottom)
        .Field(region.margin)
        .Field(region.entries)
        .Field(region.completeVisits)
        .Field(region.timeInsideRecords)
        .Fixed6(region.timeInsideSeconds)
        .OptionalFixed6(region.shareOfSession)
        .Optional(region.latencyRecords)
        .OptionalFixed6(region.latencySeconds)
        .OptionalFixed6(region.meanVisitSeconds)
        .OptionalFixed6(region.longestVisitSeconds)
        .Field(ShapeKindName(region.shape))
        .EndRow();
}

void AppendSessionRow(CCsvBuilder& csv, std::string_view file, const SessionSummary& session,
                      VisitCsvColumns columns)
{
    csv.Field(file)
        .Field(session.records)
        .Fixed6(session.durationSeconds)
        .Optional(session.firstTimestamp)
        .Optional(session.lastTimestamp)
        .Fixed6(session.timeOutsideAllSeconds)
        .Fixed6(session.pathLengthPx)
        .OptionalFixed6(session.meanSpeedPxPerSecond)
        .Field(session.recordsOutsidePlot);
    if (columns == VisitCsvColumns::WithSettings)
        csv.OptionalFixed6(session.pathLengthCm)
            .OptionalFixed6(session.meanSpeedCmPerSecond)
            .OptionalFixed6(session.immobileSeconds)
            .Optional(session.immobilityBouts);
    csv.EndRow();
}

std::string FormatVisitCsv(const VisitTable& table, std::string_view file, VisitCsvKind kind,
                           VisitCsvColumns columns)
{
    std::string text;
    BuildRows(table, file, kind, columns,
              [&text](const std::string& piece)
              {
                  text += piece;
                  return true;
              });
    return text;
}

int WriteVisitCsvFiles(const VisitTable& table, const std::string& dir, const std::string& trackFileName,
                       std::string_view file)
{
    const std::string notWritten = "; no visit tables were written.";
    std::array<COutputFile, kKinds.size()> outputs;
    for (std::size_t k = 0; k < kKinds.size(); ++k)
    {
        COutputFile& output = outputs[k];
        const std::string path = MakeVisitCsvPath(dir, trackFileName, kKinds[k]);
        if (!output.Create(path))
        {
            ShowFileProblem("Cannot create the CSV file " + path + notWritten, path, output.GetProblem());
            return kErrOpen;
        }
        const bool written = BuildRows(table, file, kKinds[k], VisitCsvColumns::Base,
                                       [&output](const std::string& piece)
                                       { return output.Write(piece.data(), piece.size()); });
        if (!written)
        {
            ShowFileProblem("Cannot write to the CSV file " + path + notWritten, path, output.GetProblem());
            return kErrOpen;
        }
    }
    std::vector<COutputFile*> files;
    for (COutputFile& output : outputs)
        files.push_back(&output);
    std::size_t failed = 0;
    if (!CommitAll(files, failed))
    {
        const COutputFile& output = *files[failed];
        ShowFileProblem("Cannot write to the CSV file " + output.GetDestination() + notWritten,
                        output.GetDestination(), output.GetProblem());
        return kErrOpen;
    }
    return kOk;
}
