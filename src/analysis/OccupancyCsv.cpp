#include "analysis/OccupancyCsv.h"

#include "base/CsvBuilder.h"
#include "base/OutputFile.h"

std::string OccupancyCsvRow(const OccupancyMap& map, std::int32_t row)
{
    CCsvBuilder csv;
    for (std::int32_t column = 0; column < map.columns; ++column)
        csv.Fixed6(map.At(column, row));
    csv.EndRow();
    return csv.Text();
}

bool WriteOccupancyCsv(COutputFile& file, const OccupancyMap& map)
{
    // A row at a time: at one-pixel bins the matrix is 480 lines of 640 numbers.
    for (std::int32_t row = 0; row < map.rows; ++row)
    {
        const std::string line = OccupancyCsvRow(map, row);
        if (!file.Write(line.data(), line.size()))
            return false;
    }
    return true;
}
