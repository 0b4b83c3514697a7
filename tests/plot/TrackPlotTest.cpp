// The plot as a whole: attaching, the entire-track plot with its question, and the Save Plot
// command's dialog and file.
#include "plot/TrackPlot.h"

#include "PlotTestSupport.h"
#include "plot/BitmapFile.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace
{
// A reader whose record count comes from a sparse headerless file of zero records and whose records
// are made up on the fly: each fetch is counted, record i sits at (i % 600 + 20, 240).
class CCountingTrackFile final : public CTrackFile
{
public:
    CCountingTrackFile(const CTempDir& dir, std::uint64_t records)
    {
        const std::string path = dir.File("sparse.dat");
        std::ofstream(path).close();
        std::filesystem::resize_file(path, records * kTrackRecordSize);
        EXPECT_EQ(Open(path), 0);
    }
    int GetRecord(TrackRecord& dest, std::uint32_t index) override
    {
        fetched.push_back(index);
        if (index == failAt)
            return -603;
        dest = MakeRecord(index, static_cast<std::int32_t>(index % 600 + 20), 240, 0);
        return 0;
    }
    std::vector<std::uint32_t> fetched;
    std::uint32_t failAt = 0xFFFFFFFFu;
};

struct AttachedPlot
{
    explicit AttachedPlot(CTrackFile* reader) : surface(640, 480) { plot.Attach(&surface, 640, 480, reader); }
    CDrawingSurface surface;
    CTrackPlot plot;
};

std::string LongPlotQuestion(std::uint32_t q)
{
    return "This will result in plotting " + std::to_string(q) +
           " records which will take a long time, do you wish to continue?";
}
} // namespace

TEST(TrackPlot, AttachRecordsTheSizeAndClearsBlack)
{
    CDrawingSurface surface(100, 50);
    FillRandom(surface, 1);
    CTrackFile reader;
    CTrackPlot plot;
    EXPECT_NE(plot.Attach(&surface, 100, 50, &reader), 0);
    EXPECT_EQ(plot.m_nWidth, 100);
    EXPECT_EQ(plot.m_nHeight, 50);
    EXPECT_EQ(plot.m_pTrackFile, &reader);
    EXPECT_TRUE(LitPixels(surface).empty());
    EXPECT_EQ(surface.GetBkColor(), kBlack);
    EXPECT_EQ(plot.m_nDrawnRegions, 0u);
}

// Test the question's threshold: q = total / n above 10000 asks; the loop draws ceil(total / n).
TEST(TrackPlot, PlotEveryNthRecordAsksOnlyAboveTenThousand)
{
    struct Case
    {
        std::uint64_t total;
        std::uint32_t n;
        bool asks;
        std::size_t fetched;
    };
    const Case cases[] = {
        {20001, 2, false, 10001}, // q = 10000
        {20002, 2, true, 10001},  // q = 10001
        {10001, 0, true, 10001},  // n = 0 plots every record
        {100, 1000, false, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.total << " / " << c.n);
        CTempDir dir;
        CCountingTrackFile reader(dir, c.total);
        AttachedPlot p(&reader);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(p.plot.PlotEveryNthRecord(c.n), 0);
        if (c.asks)
        {
            ASSERT_EQ(sink.questions.size(), 1u);
            EXPECT_EQ(sink.questions[0].text,
                      LongPlotQuestion(static_cast<std::uint32_t>(c.total / std::max(c.n, 1u))));
        }
        else
            EXPECT_TRUE(sink.questions.empty());
        EXPECT_EQ(reader.fetched.size(), c.fetched);
        EXPECT_EQ(reader.fetched.front(), 0u);
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST(TrackPlot, OneMarkerOfRecordZeroForTotalHundredAndNThousand)
{
    CTempDir dir;
    CTrackFileBuilder builder;
    for (int i = 0; i < 100; ++i)
        builder.Add(MakeRecord(i, 50 + 5 * i, 60 + 3 * i, 7 * i));
    CTrackFile reader;
    ASSERT_EQ(reader.Open(builder.Write(dir.File("t.qtf"))), 0);
    AttachedPlot p(&reader);
    EXPECT_EQ(p.plot.PlotEveryNthRecord(1000), 0);
    AttachedPlot expected(nullptr);
    expected.plot.DrawPositionMarker(builder.Records()[0]);
    EXPECT_EQ(AllPixels(p.surface), AllPixels(expected.surface));
}

TEST(TrackPlot, NoAtTheQuestionLeavesOutlinesAndLabelsOnly)
{
    CTempDir dir;
    CCountingTrackFile reader(dir, 10001);
    AttachedPlot p(&reader);
    p.surface.SetPixelV(300, 300, kWhite);
    CRecordingMessageSink sink;
    sink.yesNoAnswers = {false};
    CScopedMessageSink scoped(sink);
    const Rect rects[2] = {{50, 50, 175, 175}, {200, 200, 260, 280}};
    EXPECT_EQ(p.plot.PlotEntireTrack(rects, 2, 1, 1), 0);
    EXPECT_TRUE(reader.fetched.empty());

    AttachedPlot expected(nullptr);
    expected.plot.RedrawRegions(rects, 2, 1);
    EXPECT_EQ(AllPixels(p.surface), AllPixels(expected.surface));
}

TEST(TrackPlot, EntireTrackShowsMarkersOverTheCurrentOutlines)
{
    CTempDir dir;
    CCountingTrackFile reader(dir, 300);
    AttachedPlot p(&reader);
    const Rect rects[1] = {{10, 10, 600, 470}};
    p.plot.RedrawRegions(rects, 1, 0); // the window keeps drawn and current lists equal
    p.plot.DrawPositionMarker(MakeRecord(1, 400, 100, 0));
    EXPECT_EQ(p.plot.PlotEntireTrack(rects, 1, 0, 60), 0);
    EXPECT_EQ(reader.fetched, (std::vector<std::uint32_t>{0, 60, 120, 180, 240}));

    AttachedPlot expected(nullptr);
    expected.plot.RedrawRegions(rects, 1, 0);
    for (std::uint32_t i = 0; i < 300; i += 60)
        expected.plot.DrawPositionMarker(MakeRecord(i, static_cast<std::int32_t>(i % 600 + 20), 240, 0));
    EXPECT_EQ(AllPixels(p.surface), AllPixels(expected.surface));
}

TEST(TrackPlot, FailedFetchEndsThePlotWithItsResult)
{
    CTempDir dir;
    CCountingTrackFile reader(dir, 50);
    reader.failAt = 30;
    AttachedPlot p(&reader);
    EXPECT_EQ(p.plot.PlotEveryNthRecord(10), -603);
    EXPECT_EQ(reader.fetched, (std::vector<std::uint32_t>{0, 10, 20, 30}));
    EXPECT_FALSE(PixelsOfColour(p.surface, Rgb{128, 0, 128}).empty());
}

TEST(TrackPlot, ShowRecordClearsDrawsTheRegionsThenTheRecord)
{
    CTempDir dir;
    CCountingTrackFile reader(dir, 10);
    const Rect rects[2] = {{50, 50, 175, 175}, {300, 300, 400, 400}};
    for (const ViewMode view : {ViewMode::Points, ViewMode::Targets})
    {
        AttachedPlot p(&reader);
        FillRandom(p.surface, 7); // whatever was shown before goes
        TrackRecord record{};
        EXPECT_EQ(p.plot.ShowRecord(record, 3, rects, 2, 1, ColorFilter{}, view), 0);
        EXPECT_EQ(record.x, 23);

        AttachedPlot expected(nullptr);
        expected.plot.RedrawRegions(rects, 2, 1);
        expected.plot.DrawRecord(MakeRecord(3, 23, 240, 0), ColorFilter{}, view);
        EXPECT_EQ(AllPixels(p.surface), AllPixels(expected.surface));
        EXPECT_EQ(p.plot.m_nDrawnRegions, 2u);
    }
}

TEST(TrackPlot, ShowRecordDrawsWhatTheReaderCopiedAndPassesItsResultOn)
{
    CTempDir dir;
    CCountingTrackFile reader(dir, 10);
    reader.failAt = 4;
    AttachedPlot p(&reader);
    TrackRecord record = MakeRecord(9, 100, 100, 0); // what a failed read leaves in place
    EXPECT_EQ(p.plot.ShowRecord(record, 4, nullptr, 0, -1, ColorFilter{}, ViewMode::Points), -603);
    EXPECT_EQ(p.surface.GetPixel(101, 101), (Rgb{128, 0, 128})); // a corner of the marker dot

    AttachedPlot noReader(nullptr);
    EXPECT_EQ(noReader.plot.ShowRecord(record, 0, nullptr, 0, -1, ColorFilter{}, ViewMode::Points), -601);
}

TEST(TrackPlot, EntireTrackWithoutAFileShowsTheOutlinesAndAsksNothing)
{
    CTrackFile reader; // nothing open: no records
    AttachedPlot p(&reader);
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    const Rect rects[1] = {{50, 50, 175, 175}};
    EXPECT_EQ(p.plot.PlotEntireTrack(rects, 1, -1, 60), 0);
    EXPECT_TRUE(sink.questions.empty());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(PixelsOfColour(p.surface, kRegionColors[0]).size(), 4u * 124u);

    AttachedPlot noReader(nullptr);
    EXPECT_EQ(noReader.plot.PlotEveryNthRecord(1), -601);
}

TEST(TrackPlot, DefaultBitmapNameDropsAThreeLetterExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"VT1.qtf", "VT1"}, {"a.qtf", "a"}, {"run.data", "run.data"}, {".bmp", ""},
        {"abc", "abc"},     {"", ""},       {"x.y.dat", "x.y"},
    };
    for (const auto& [name, want] : cases)
        EXPECT_EQ(DefaultBitmapName(name), want) << name;
}

TEST(TrackPlot, SaveAsBitmapAsksWithTheTrackNameAndWritesTheSurface)
{
    CTempDir dir;
    CTrackFileBuilder builder;
    builder.AddSequence(3);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(builder.Write(dir.File("VT1.qtf"))), 0);
    AttachedPlot p(&reader);
    p.plot.DrawPositionMarker(MakeRecord(1, 320, 240, 45));

    CRecordingMessageSink sink;
    sink.fileAnswers = {dir.File("out.bmp")};
    CScopedMessageSink scoped(sink);
    p.plot.SaveAsBitmap();
    ASSERT_EQ(sink.fileDialogs.size(), 1u);
    const FileDialogRequest& request = sink.fileDialogs[0];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, "Save Zentravox Bitmap File");
    EXPECT_EQ(request.filter, "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, ".bmp");
    EXPECT_EQ(request.initialName, "VT1");
    EXPECT_TRUE(sink.messages.empty());

    ASSERT_EQ(WriteSurfaceBitmap(p.surface, 640, 480, dir.File("direct.bmp")), 0);
    const std::string saved = ReadWholeFile(dir.File("out.bmp"));
    EXPECT_EQ(saved.size(), 54u + 640u * 3u * 480u);
    EXPECT_EQ(saved, ReadWholeFile(dir.File("direct.bmp")));
}

TEST(TrackPlot, CancelledSaveWritesAndShowsNothing)
{
    CTempDir dir;
    AttachedPlot p(nullptr);
    CRecordingMessageSink sink;
    sink.fileAnswers = {std::nullopt};
    CScopedMessageSink scoped(sink);
    p.plot.SaveAsBitmap();
    ASSERT_EQ(sink.fileDialogs.size(), 1u);
    EXPECT_EQ(sink.fileDialogs[0].initialName, "");
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(TrackPlot, SaveWithoutASurfaceReportsTheCaptureFailure)
{
    CTempDir dir;
    CTrackPlot plot;
    CRecordingMessageSink sink;
    sink.fileAnswers = {dir.File("out.bmp")};
    CScopedMessageSink scoped(sink);
    plot.SaveAsBitmap();
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"Unable to get object from bitmap",
                                                       "Unable to create .bmp file; windows error:"}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.bmp")));
}
