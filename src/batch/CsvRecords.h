// Reads back the CSV text trackplay writes (base/CsvBuilder.h): records separated by "\n", fields
// by commas, a field in double quotes when it holds a comma, a quote or a line break, its quotes
// doubled. A batch's combine step joins the tables of its shards with it, keeping each record's
// bytes as they were written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CsvRecord
{
    std::string_view text;           // the record's bytes, its "\n" included when it has one
    std::vector<std::string> fields; // unquoted
};

// The records of text, in order. Nothing when a quoted field is not closed or a quote stands
// inside an unquoted field, or anything but a comma or a line end follows a closing one. A final
// record without "\n" is kept; an empty text has no records.
[[nodiscard]] std::optional<std::vector<CsvRecord>> SplitCsvRecords(std::string_view text);
