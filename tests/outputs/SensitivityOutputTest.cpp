// The entry-rule sensitivity as an output: its CSV file is the core's table text for the label given
// and its PNG decodes to the core's picture, whatever the blocks; the two appear together or not at
// all, a refusal naming the file; every failing call of the file layer fails cleanly; the summary
// gives each region's entries and how far the grids move them.
#include "outputs/SensitivityOutput.h"

#include "OutputTestSupport.h"
#include "analysis/SensitivityCsv.h"
#include "analysis/VisitTestSupport.h"
#include "base/ResultCodes.h"
#include "plot/SensitivityPicture.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
const CRegionTable kRegions = TableOf({{100, 100, 200, 200}, {400, 300, 420, 320}}, {"arm", "far"});

// Into "arm" for 3 records (0.05 s), out, in again for 180 records (3 s), then 5 px deep into
// "far": inside its core up to a margin of 4, outside it from 6.
std::vector<TrackRecord> Walk()
{
    std::vector<Spot> spots;
    std::int64_t t = 1000;
    const auto stay = [&spots, &t](std::int32_t records, std::int32_t x, std::int32_t y)
    {
        for (std::int32_t k = 0; k < records; ++k)
            spots.push_back(Spot{t++, x, y});
    };
    stay(5, 50, 50);
    stay(3, 150, 150);
    stay(5, 50, 50);
    stay(180, 150, 150);
    stay(5, 405, 305);
    return RecordsOf(spots);
}

SensitivityResult CoreResult(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                             std::int32_t margin)
{
    CSensitivityBuilder builder(regions, margin);
    FeedRecords(builder, records, 7);
    return builder.Result();
}

// Test that the PNG decodes to the raster the core draws, pixel for pixel.
void ExpectPictureOf(const std::string& path, const SensitivityResult& result, std::int32_t scale,
                     const std::string& fileName)
{
    const std::optional<DecodedPng> png = ReadPngFile(path);
    ASSERT_TRUE(png.has_value()) << path;
    const CRgbRaster expected = DrawSensitivityPicture(result, SensitivityPictureOptions{scale, fileName});
    ASSERT_EQ(png->width, expected.Width());
    ASSERT_EQ(png->height, expected.Height());
    const RgbImageView view = expected.View();
    const std::size_t bytes =
        static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height) * 3;
    EXPECT_TRUE(std::equal(png->rgb.begin(), png->rgb.end(), view.pixels, view.pixels + bytes));
    EXPECT_EQ(png->rgb.size(), bytes);
}

// Test that on a generated track with regions the files are the core's CSV text (with the label)
// and picture (with the track's name), for blocks of any size, at every scale's ends.
TEST(SensitivityOutput, FilesHoldTheCoresTableAndPicture)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 3000;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("g.qtf"), options), 0);
    const CRegionTable regions =
        TableOf({{0, 0, 320, 240}, {200, 150, 440, 330}, {600, 440, 640, 480}}, {"corner", "centre", "edge"});
    const SensitivityResult result =
        CoreResult(RecordsOfFile(dir.File("g.qtf"), options.records), regions, 6);
    ASSERT_EQ(result.regions.size(), 3u);
    ASSERT_GT(result.regions[1].current.entries, 0u) << "the walk visits the centre";
    for (const std::int32_t scale : {kMinSensitivityScale, kMaxSensitivityScale})
    {
        SCOPED_TRACE(scale);
        const std::string out = dir.File("out" + std::to_string(scale));
        std::filesystem::create_directory(out);
        CSensitivityOutput output(TrackOutputPlace{out, "g.qtf", "day 1/g.qtf"}, regions, 6,
                                  AnalysisSettings{}, scale);
        EXPECT_EQ(output.Files(),
                  (std::vector<std::string>{out + "/g.qtf_sensitivity.csv", out + "/g.qtf_sensitivity.png"}));
        ASSERT_EQ(RunTelling(dir.File("g.qtf"), {&output}), kOk);
        EXPECT_EQ(ReadWholeFile(out + "/g.qtf_sensitivity.csv"), FormatSensitivityCsv(result, "day 1/g.qtf"));
        ExpectPictureOf(out + "/g.qtf_sensitivity.png", result, scale, "g.qtf");
        EXPECT_EQ(SnapshotFolder(out).size(), 2u) << "no temporary file left";
    }
    for (const std::size_t blockRecords : {std::size_t{1}, std::size_t{64}})
    {
        CTempDir blocks;
        CSensitivityOutput output(TrackOutputPlace{blocks.Path(), "g.qtf", "g.qtf"}, regions, 6,
                                  AnalysisSettings{}, 2);
        ASSERT_TRUE(
            Feed(output, RecordsOfFile(dir.File("g.qtf"), options.records), blockRecords, "g.qtf").IsOk());
        EXPECT_EQ(ReadWholeFile(blocks.File("g.qtf_sensitivity.csv")), FormatSensitivityCsv(result, "g.qtf"));
    }
}

// Test the summary of a walk whose short visit only the smallest minimum visits count, and of a
// region the walk never gets deep into.
TEST(SensitivityOutput, SummaryGivesTheCurrentEntriesAndTheirRange)
{
    CTempDir dir;
    CSensitivityOutput output(TrackOutputPlace{dir.Path(), "w.qtf", "w.qtf"}, kRegions, 8, AnalysisSettings{},
                              1);
    ASSERT_TRUE(Feed(output, Walk(), 4, "w.qtf").IsOk());
    EXPECT_EQ(output.SummaryLines(),
              (std::vector<std::string>{
                  "arm: 2 entries; 1 to 2 over minimum visits 0 to 2 s, 2 over margins 0 to 16",
                  "far: 0 entries; 0 over minimum visits 0 to 2 s, 0 to 1 over margins 0 to 16"}));
}

// Test that when either file cannot be made, neither is put in place, the earlier files stay as
// they were, and the problem names the file refused.
TEST(SensitivityOutput, OneRefusedLeavesNeither)
{
    CTempDir dir;
    struct Case
    {
        const char* what;
        const char* folderAt; // a folder made where this file would go
        std::string message;
    };
    const std::string table = dir.File("w.qtf_sensitivity.csv");
    const std::string picture = dir.File("w.qtf_sensitivity.png");
    const std::vector<Case> cases = {
        {"the table's name is a folder", "w.qtf_sensitivity.csv",
         "Cannot create the CSV file " + table + "; no sensitivity files were written.\n" + table +
             " is a directory, not a file."},
        {"the picture's name is a folder", "w.qtf_sensitivity.png",
         "Cannot create the picture file " + picture + ".\n" + picture + " is a directory, not a file."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir.Path());
        std::filesystem::create_directory(dir.Path());
        std::filesystem::create_directory(dir.File(c.folderAt));
        const std::string other =
            std::string(c.folderAt).ends_with(".csv") ? picture : table; // the file that could be made
        ASSERT_TRUE(WriteWholeFile(other, "an earlier file"));
        const auto before = SnapshotFolder(dir.Path());
        CSensitivityOutput output(TrackOutputPlace{dir.Path(), "w.qtf", "w.qtf"}, kRegions, 8,
                                  AnalysisSettings{}, 1);
        const Problem problem = Feed(output, Walk(), 50, "w.qtf");
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text + (problem.reason.empty() ? "" : "\n" + problem.reason), c.message);
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
    // No folder at all: the first file is refused, nothing is made.
    CSensitivityOutput output(TrackOutputPlace{dir.File("none"), "w.qtf", "w.qtf"}, kRegions, 8,
                              AnalysisSettings{}, 1);
    const Problem problem = Feed(output, Walk(), 50, "w.qtf");
    EXPECT_EQ(problem.text, "Cannot create the CSV file " + dir.File("none/w.qtf_sensitivity.csv") +
                                "; no sensitivity files were written.");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
}

TEST(SensitivityOutput, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "sensitivity";
    writer.prepare = [](const CTempDir& dir)
    {
        WriteWholeFile(dir.File("w.qtf_sensitivity.csv"), "an earlier table");
        WriteWholeFile(dir.File("w.qtf_sensitivity.png"), "an earlier picture");
    };
    writer.run = [](const CTempDir& dir)
    {
        CSensitivityOutput output(TrackOutputPlace{dir.Path(), "w.qtf", "w.qtf"}, kRegions, 8,
                                  AnalysisSettings{}, 1);
        const Problem problem = Feed(output, Walk(), 50, "w.qtf");
        Tell(problem);
        return problem.code;
    };
    writer.cleanupMayFail = true; // swapped-out earlier files are removed after both are in place
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 5u);
}
} // namespace
