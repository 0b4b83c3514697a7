#include "batch/CsvRecords.h"

std::optional<std::vector<CsvRecord>> SplitCsvRecords(std::string_view text)
{
    std::vector<CsvRecord> records;
    std::size_t at = 0;
    while (at < text.size())
    {
        const std::size_t start = at;
        CsvRecord record;
        std::string field;
        bool recordEnded = false;
        while (!recordEnded)
        {
            field.clear();
            if (at < text.size() && text[at] == '"')
            {
                ++at;
                for (;;)
                {
                    if (at >= text.size())
                        return std::nullopt; // the quote is never closed
                    if (text[at] == '"')
                    {
                        if (at + 1 < text.size() && text[at + 1] == '"')
                        {
                            field += '"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field += text[at++];
                }
            }
            else
            {
                while (at < text.size() && text[at] != ',' && text[at] != '\n' && text[at] != '"')
                    field += text[at++];
            }
            if (at < text.size() && text[at] != ',' && text[at] != '\n')
                return std::nullopt; // a quote inside an unquoted field, or anything after a closing one
            if (at < text.size() && text[at] == ',')
            {
                ++at;
                record.fields.push_back(field);
                continue;
            }
            // The end of the record: a line end or the end of the text.
            record.fields.push_back(field);
            if (at < text.size())
                ++at; // the "\n"
            recordEnded = true;
        }
        record.text = text.substr(start, at - start);
        records.push_back(std::move(record));
    }
    return records;
}
