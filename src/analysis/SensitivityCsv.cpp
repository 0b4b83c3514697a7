#include "analysis/SensitivityCsv.h"

#include "analysis/Clock.h"
#include "base/CsvBuilder.h"

std::string FormatSensitivityCsv(const SensitivityResult& result, std::string_view file)
{
    CCsvBuilder csv;
    csv.HeaderRow(kSensitivityCsvHeader);
    for (const SensitivityParameter parameter :
         {SensitivityParameter::MinVisit, SensitivityParameter::Margin})
        for (std::size_t k = 0; k < SensitivityValueCount(parameter); ++k)
        {
            const std::string value = FormatSensitivityValue(parameter, k);
            for (const RegionSensitivity& region : result.regions)
            {
                const SensitivityFigures& figures = region.Series(parameter)[k];
                csv.Field(file)
                    .Field(SensitivityParameterName(parameter))
                    .Field(value)
                    .Field(region.region)
                    .Field(region.name)
                    .Field(figures.entries)
                    .Fixed6(RecordsToSeconds(figures.insideRecords))
                    .EndRow();
            }
        }
    return csv.Text();
}
