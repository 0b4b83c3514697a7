#include "analysis/BinCsv.h"

#include "analysis/Clock.h"
#include "base/CsvBuilder.h"
#include "base/CsvStream.h"

namespace
{
void AppendBinStart(CCsvBuilder& csv, std::string_view file, const TimeBins& bins, std::size_t bin)
{
    csv.Field(file)
        .Field(std::uint64_t{bin})
        .Field(bins.StartRecord(bin))
        .Field(bins.EndRecord(bin))
        .Fixed6(RecordsToSeconds(bins.StartRecord(bin)))
        .Fixed6(RecordsToSeconds(bins.EndRecord(bin)));
}

void AppendRegionRows(CCsvBuilder& csv, std::string_view file, const VisitTable& table, std::size_t bin,
                      const std::vector<RegionBin>& figures)
{
    const TimeBins& bins = *table.bins;
    const auto binLength = static_cast<double>(bins.EndRecord(bin) - bins.StartRecord(bin));
    for (std::size_t j = 0; j < figures.size(); ++j)
    {
        AppendBinStart(csv, file, bins, bin);
        csv.Field(table.regions[j].region)
            .Field(table.regions[j].name)
            .Field(figures[j].entries)
            .Field(figures[j].insideRecords)
            .Fixed6(RecordsToSeconds(figures[j].insideRecords))
            .Fixed6(static_cast<double>(figures[j].insideRecords) / binLength)
            .EndRow();
    }
}

void AppendSessionRow(CCsvBuilder& csv, std::string_view file, const TimeBins& bins, std::size_t bin)
{
    const SessionBin& figures = bins.bins[bin];
    AppendBinStart(csv, file, bins, bin);
    csv.Fixed6(RecordsToSeconds(figures.outsideAllRecords)).Fixed6(figures.pathLengthPx);
    if (bins.cmPerPx)
        csv.Fixed6(figures.pathLengthPx * *bins.cmPerPx);
    else
        csv.Empty();
    if (bins.immobility)
        csv.Fixed6(RecordsToSeconds(figures.immobileRecords));
    else
        csv.Empty();
    csv.EndRow();
}
// Builds the file's rows into csv, header first; after each bin, pass may hand the text on (a long
// track has many bins). False as soon as pass fails.
template <typename Pass>
bool BuildRows(const VisitTable& table, std::string_view file, BinCsvKind kind, CCsvBuilder& csv, Pass&& pass)
{
    const TimeBins& bins = *table.bins;
    csv.HeaderRow(kind == BinCsvKind::Regions ? kBinsCsvHeader : kSessionBinsCsvHeader);
    CRegionBinWalker walker(table.visits, table.regions.size(), bins);
    for (std::size_t bin = 0; bin < bins.bins.size(); ++bin)
    {
        if (kind == BinCsvKind::Regions)
            AppendRegionRows(csv, file, table, bin, walker.Next());
        else
            AppendSessionRow(csv, file, bins, bin);
        if (!pass())
            return false;
    }
    return true;
}
} // namespace

bool WriteBinCsvRows(const VisitTable& table, std::string_view file, BinCsvKind kind, CCsvStream& csv)
{
    if (!table.bins)
        return true;
    return BuildRows(table, file, kind, csv.Rows(), [&csv] { return csv.Pass(); }) && csv.Flush();
}

std::string FormatBinCsv(const VisitTable& table, std::string_view file, BinCsvKind kind)
{
    if (!table.bins)
        return {};
    CCsvBuilder csv;
    BuildRows(table, file, kind, csv, [] { return true; });
    return csv.Text();
}
