#include "analysis/VisitCsv.h"

#include "base/CsvStream.h"

namespace
{
std::string_view HeaderOf(VisitCsvKind kind)
{
    switch (kind)
    {
    case VisitCsvKind::Visits:
        return kVisitsCsvHeader;
    case VisitCsvKind::Regions:
        return kRegionsCsvHeader;
    case VisitCsvKind::Session:
        break;
    }
    return kSessionCsvHeader;
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

// Builds the file's rows into csv, header first; after each visit row, pass may hand the text on
// (a table of visits can be long). False as soon as pass fails.
template <typename Pass>
bool BuildRows(const VisitTable& table, std::string_view file, VisitCsvKind kind, VisitCsvColumns columns,
               CCsvBuilder& csv, Pass&& pass)
{
    csv.HeaderRow(VisitCsvHeader(kind, columns));
    switch (kind)
    {
    case VisitCsvKind::Visits:
        for (const VisitRow& visit : table.visits)
        {
            AppendVisitRow(csv, file, visit, NameOfRegion(table, visit.region), columns);
            if (!pass())
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
    return true;
}
} // namespace

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
    CCsvBuilder csv;
    BuildRows(table, file, kind, columns, csv, [] { return true; });
    return csv.Text();
}

bool WriteVisitCsvRows(const VisitTable& table, std::string_view file, VisitCsvKind kind, CCsvStream& csv,
                       VisitCsvColumns columns)
{
    return BuildRows(table, file, kind, columns, csv.Rows(), [&csv] { return csv.Pass(); }) && csv.Flush();
}
