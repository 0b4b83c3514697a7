// The names of a track's output files and the folder they go into: the track file's name with its
// extension and the output's suffix, in the folder given with or without a final separator; a
// folder made with its parents, or the reason it could not be.
#include "outputs/OutputNames.h"

#include "base/ResultCodes.h"
#include "outputs/OutputFolder.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
TEST(OutputNames, FileNamesOfATrack)
{
    const std::tuple<std::string, VisitCsvKind, std::string> visits[] = {
        {"results", VisitCsvKind::Visits, "results/other.qtf_visits.csv"},
        {"results/", VisitCsvKind::Regions, "results/other.qtf_regions.csv"},
        {".", VisitCsvKind::Session, "./other.qtf_session.csv"},
        {"/", VisitCsvKind::Visits, "/other.qtf_visits.csv"},
    };
    for (const auto& [dir, kind, path] : visits)
        EXPECT_EQ(MakeVisitCsvPath(dir, "other.qtf", kind), path) << dir;
    const std::pair<std::string_view, std::string> others[] = {
        {kRecordsFileSuffix, "out/day 1/VT1.dat_track.csv"},
        {kQualityReportSuffix, "out/day 1/VT1.dat_quality.txt"},
        {kHeatmapPictureSuffix, "out/day 1/VT1.dat_heatmap.png"},
        {kHeatmapMatrixSuffix, "out/day 1/VT1.dat_occupancy.csv"},
        {kPlotPictureSuffix, "out/day 1/VT1.dat_plot.png"},
    };
    for (const auto& [suffix, path] : others)
        EXPECT_EQ(TrackOutputPath(TrackOutputPlace{"out/day 1/", "VT1.dat", "day 1/VT1.dat"}, suffix), path);
}

// Test that a missing folder is made with its parents, an existing one is taken as it is, and a
// file in the way is refused with the reason.
TEST(OutputNames, OutputFolderIsMadeWhenMissing)
{
    CTempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("file"), "x"));
    struct Case
    {
        std::string folder;
        bool made;
        std::string reason;
    };
    const Case cases[] = {
        {dir.File("a/b/c"), true, ""},
        {dir.File("a/b/c/"), true, ""},
        {dir.Path(), true, ""},
        {dir.File("file"), false, "Not a directory"},
        {dir.File("file/sub"), false, "Not a directory"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.folder);
        const Problem problem = MakeOutputFolder(c.folder);
        EXPECT_EQ(problem.IsOk(), c.made);
        EXPECT_EQ(std::filesystem::is_directory(c.folder), c.made);
        if (!c.made)
        {
            EXPECT_EQ(problem.code, kErrWrite);
            EXPECT_EQ(problem.text, "Cannot make the folder " + c.folder + "; nothing was written.");
            EXPECT_EQ(problem.reason, c.reason);
        }
    }
}
} // namespace
