// tracktool events: writes the enter/leave timestamp files of a region table for a tracker file,
// exactly as the window's Generate Timestamp Files command does.
//
// Regions are given in table order; one without :NAME takes its slot's name (Box0, Box1, ...).
// Exit status: 2 with the usage text for a malformed command line (also more than 50 regions or a
// name that is empty or holds a '/'); 1 when the file cannot be opened, has no records, no region
// was given, or an event file could not be created or written; else 0.
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "regions/RegionEventGenerator.h"
#include "regions/RegionTable.h"
#include "trackfile/TrackFile.h"

#include <cinttypes>
#include <cstdio>

namespace
{
int RunEvents(const std::vector<std::string>& args);

const CliCommand kEvents{"events", "FILE [--region L,T,R,B[:NAME]]... [--dir DIR]",
                         "write the enter/leave timestamp files of rectangular regions", &RunEvents};
const CCliCommandRegistration kRegisterEvents(kEvents);

// "L,T,R,B" or "L,T,R,B:NAME" into a rectangle and, when given, a name.
bool ParseRegion(const std::string& text, Rect& rect, std::string& name, bool& named)
{
    const auto colon = text.find(':');
    named = colon != std::string::npos;
    if (named)
    {
        name = text.substr(colon + 1);
        if (name.empty() || name.find('/') != std::string::npos)
            return false;
    }
    const std::string numbers = text.substr(0, colon);
    std::int32_t values[4] = {};
    std::size_t start = 0;
    for (std::size_t k = 0; k < 4; ++k)
    {
        const auto comma = numbers.find(',', start);
        if ((k < 3) != (comma != std::string::npos))
            return false;
        const auto value =
            ParseCliSigned(numbers.substr(start, comma == std::string::npos ? comma : comma - start));
        if (!value)
            return false;
        values[k] = static_cast<std::int32_t>(*value);
        start = comma + 1;
    }
    rect = Rect{values[0], values[1], values[2], values[3]};
    return true;
}

int RunEvents(const std::vector<std::string>& args)
{
    CRegionTable table; // gives unnamed regions their slot's name
    std::string path;
    std::string dir = ".";
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--region" && hasValue)
        {
            if (table.m_nRegionCount >= kMaxRegions)
                return CliUsageError(kEvents, "at most 50 regions");
            const auto slot = static_cast<std::size_t>(table.m_nRegionCount);
            bool named = false;
            std::string name;
            if (!ParseRegion(args[++i], table.m_regionRects[slot], name, named))
                return CliUsageError(kEvents, "not a region L,T,R,B[:NAME]: " + args[i]);
            if (named)
                table.m_regionNames[slot] = name;
            ++table.m_nRegionCount;
        }
        else if (arg == "--dir" && hasValue)
            dir = args[++i];
        else if (!arg.empty() && arg[0] == '-')
            return CliUsageError(kEvents, "unknown or incomplete option " + arg);
        else if (path.empty())
            path = arg;
        else
            return CliUsageError(kEvents, "more than one tracker file");
    }
    if (path.empty())
        return CliUsageError(kEvents, "no tracker file");

    CTrackFile file;
    if (file.Open(path) != 0)
        return kExitFailed; // the reader has said why
    if (file.GetRecordCount() == 0)
    {
        std::fprintf(stderr, "tracktool events: %s has no records; no files written\n", path.c_str());
        return kExitFailed;
    }
    if (table.m_nRegionCount == 0)
    {
        std::fprintf(stderr, "tracktool events: no region given; no files written\n");
        return kExitFailed;
    }

    CRegionEventGenerator generator;
    generator.Prepare(file, table);
    generator.SetOutputDirectory(dir);
    int result = 0;
    {
        CCliProgress progress("events", file.GetRecordCount()); // ends its line before the report
        result = generator.Run([&](std::uint32_t done) { progress.Update(done); });
    }

    for (std::int32_t j = 0; j < table.m_nRegionCount; ++j)
        std::printf("%s: %" PRIu64 " visits\n", table.m_regionNames[static_cast<std::size_t>(j)].c_str(),
                    generator.GetVisitsWritten(j));
    return result == 0 ? kExitOk : kExitFailed;
}
} // namespace
