#include "analysis/OccupancyCsv.h"

#include "base/CsvBuilder.h"
#include "base/CsvStream.h"

namespace
{
void AppendRow(CCsvBuilder& csv, const OccupancyMap& map, std::int32_t row)
{
    for (std::int32_t column = 0; column < map.columns; ++column)
        csv.Fixed6(map.At(column, row));
    csv.EndRow();
}
} // namespace

std::string OccupancyCsvRow(const OccupancyMap& map, std::int32_t row)
{
    CCsvBuilder csv;
    AppendRow(csv, map, row);
    return csv.Text();
}

bool WriteOccupancyCsv(CCsvStream& csv, const OccupancyMap& map)
{
    // At one-pixel bins the matrix is 480 lines of 640 numbers.
    for (std::int32_t row = 0; row < map.rows; ++row)
    {
        AppendRow(csv.Rows(), map, row);
        if (!csv.Pass())
            return false;
    }
    return csv.Flush();
}
