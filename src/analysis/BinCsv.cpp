#include "analysis/BinCsv.h"

#include "analysis/Clock.h"
#include "base/CsvBuilder.h"

namespace
{
// Text is handed over in pieces of about this size.
constexpr std::size_t kWriteChunkBytes = std::size_t{1} << 20;

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
} // namespace

bool BuildBinCsv(const VisitTable& table, std::string_view file, BinCsvKind kind,
                 const std::function<bool(const std::string&)>& write)
{
    if (!table.bins)
        return true;
    const TimeBins& bins = *table.bins;
    CCsvBuilder csv;
    csv.HeaderRow(kind == BinCsvKind::Regions ? kBinsCsvHeader : kSessionBinsCsvHeader);
    CRegionBinWalker walker(table.visits, table.regions.size(), bins);
    for (std::size_t bin = 0; bin < bins.bins.size(); ++bin)
    {
        if (kind == BinCsvKind::Regions)
            AppendRegionRows(csv, file, table, bin, walker.Next());
        else
            AppendSessionRow(csv, file, bins, bin);
        if (csv.Text().size() >= kWriteChunkBytes)
        {
            if (!write(csv.Text()))
                return false;
            csv.Clear();
        }
    }
    return write(csv.Text());
}

std::string FormatBinCsv(const VisitTable& table, std::string_view file, BinCsvKind kind)
{
    std::string text;
    BuildBinCsv(table, file, kind,
                [&text](const std::string& piece)
                {
                    text += piece;
                    return true;
                });
    return text;
}
