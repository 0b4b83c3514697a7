// Region layout files: loading, the fault of every kind told once with the table untouched,
// saving through a temporary file, and round trips.
#include "regions/RegionLayout.h"

#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <regex>

namespace
{
// A table the loads under test must leave alone when they fail.
CRegionTable SampleTable()
{
    CRegionTable table;
    table.m_nRegionCount = 3;
    table.m_regionRects[0] = Rect{1, 2, 3, 4};
    table.m_regionRects[1] = Rect{400, 300, 200, 100};
    table.m_regionRects[2] = Rect{-7, -8, 9, 10};
    table.m_regionNames[1] = "nest";
    table.m_regionNames[4] = "kept from a delete";
    table.m_nSelectedRegion = 1;
    table.m_ptDragAnchor = Point{5, 6};
    table.m_ptDragPoint = Point{7, 8};
    return table;
}

bool SameRegions(const CRegionTable& a, const CRegionTable& b)
{
    return a.m_nRegionCount == b.m_nRegionCount && a.m_regionRects == b.m_regionRects &&
           a.m_regionNames == b.m_regionNames && a.m_nSelectedRegion == b.m_nSelectedRegion &&
           a.m_ptDragAnchor == b.m_ptDragAnchor && a.m_ptDragPoint == b.m_ptDragPoint;
}

std::string Layout(const std::string& regions, const std::string& extra = "\"margin\": 8, ")
{
    return "{\"format\": \"trackplay-layout\", \"version\": 1, " + extra + "\"regions\": [" + regions + "]}";
}

std::string Regions(std::size_t count)
{
    std::string text;
    for (std::size_t k = 0; k < count; ++k)
        text += std::string(k == 0 ? "" : ",") + "{\"rect\": [0, 0, 10, 10]}";
    return text;
}

// Test that every fault gives one message naming the file, the entry and the fault, and leaves
// the table and the margin as they were.
TEST(RegionLayout, EveryFaultIsToldOnceAndChangesNothing)
{
    struct Case
    {
        std::string text;
        std::string problem;
    };
    const std::string box = "{\"name\": \"a\", \"rect\": [1, 2, 3, 4]}";
    const Case cases[] = {
        {"", "it is not JSON (a syntax fault at byte 1)"},
        {"{\"format\": ", "it is not JSON (a syntax fault at byte 12)"},
        {"not json", "it is not JSON (a syntax fault at byte 2)"},
        {"[1, 2]", "it is not a region layout (not a JSON object)"},
        {"{\"version\": 1, \"regions\": []}",
         "format is missing; a region layout has \"format\": \"trackplay-layout\""},
        {"{\"format\": \"trackplay-layouts\", \"version\": 1, \"regions\": []}",
         "format is not \"trackplay-layout\""},
        {"{\"format\": 7, \"version\": 1, \"regions\": []}", "format is not \"trackplay-layout\""},
        {"{\"format\": \"trackplay-layout\", \"regions\": []}", "version is missing"},
        {Layout("", "\"version\": 3, "), "version 3 is newer than this program reads (version 2)"},
        {"{\"format\": \"trackplay-layout\", \"version\": 18446744073709551615, \"regions\": []}",
         "version 18446744073709551615 is newer than this program reads (version 2)"},
        {"{\"format\": \"trackplay-layout\", \"version\": 0, \"regions\": []}",
         "version is not a whole number of 1 or more"},
        {"{\"format\": \"trackplay-layout\", \"version\": 1.0, \"regions\": []}",
         "version is not a whole number of 1 or more"},
        {"{\"format\": \"trackplay-layout\", \"version\": \"1\", \"regions\": []}",
         "version is not a whole number of 1 or more"},
        {Layout("", "\"margin\": -1, "), "margin is not a whole number from 0 to 2147483647"},
        {Layout("", "\"margin\": 8.5, "), "margin is not a whole number from 0 to 2147483647"},
        {Layout("", "\"margin\": 8.0, "), "margin is not a whole number from 0 to 2147483647"},
        {Layout("", "\"margin\": \"8\", "), "margin is not a whole number from 0 to 2147483647"},
        {Layout("", "\"margin\": 2147483648, "), "margin is not a whole number from 0 to 2147483647"},
        {Layout("", "\"margin\": null, "), "margin is not a whole number from 0 to 2147483647"},
        {"{\"format\": \"trackplay-layout\", \"version\": 1}", "regions is missing"},
        {"{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": {}}", "regions is not a list"},
        {Layout(Regions(51)), "regions has 51 entries; a layout holds at most 50"},
        {Layout(box + ", 5"), "regions[1] is not an object with a \"rect\""},
        {Layout(box + ", {\"name\": \"b\"}"), "regions[1].rect is missing"},
        {Layout("{\"rect\": [1, 2, 3]}"),
         "regions[0].rect is not a list of four whole numbers (left, top, right, bottom)"},
        {Layout("{\"rect\": [1, 2, 3, 4, 5]}"),
         "regions[0].rect is not a list of four whole numbers (left, top, right, bottom)"},
        {Layout("{\"rect\": {\"left\": 1}}"),
         "regions[0].rect is not a list of four whole numbers (left, top, right, bottom)"},
        {Layout("{\"rect\": [1, 2, 3, 2147483648]}"),
         "regions[0].rect[3] is not a whole number from -2147483648 to 2147483647"},
        {Layout("{\"rect\": [1, -2147483649, 3, 4]}"),
         "regions[0].rect[1] is not a whole number from -2147483648 to 2147483647"},
        {Layout("{\"rect\": [1.5, 2, 3, 4]}"),
         "regions[0].rect[0] is not a whole number from -2147483648 to 2147483647"},
        {Layout("{\"rect\": [1, 2, \"3\", 4]}"),
         "regions[0].rect[2] is not a whole number from -2147483648 to 2147483647"},
        {Layout(box + "," + box + ", {\"name\": \"x/y\", \"rect\": [1, 2, 3, 4]}"),
         "regions[2].name holds a \"/\""},
        {Layout("{\"name\": \"\", \"rect\": [1, 2, 3, 4]}"), "regions[0].name is empty"},
        {Layout("{\"name\": \"..\", \"rect\": [1, 2, 3, 4]}"),
         "regions[0].name is \"..\", which names a folder"},
        {Layout("{\"name\": \"a\\u0007b\", \"rect\": [1, 2, 3, 4]}"),
         "regions[0].name holds a control character"},
        {Layout("{\"name\": \"" + std::string(65, 'n') + "\", \"rect\": [1, 2, 3, 4]}"),
         "regions[0].name is longer than 64 characters"},
        {Layout("{\"name\": 3, \"rect\": [1, 2, 3, 4]}"), "regions[0].name is not a text"},
        {Layout("{\"name\": null, \"rect\": [1, 2, 3, 4]}"), "regions[0].name is not a text"},
        {Layout("{\"name\": \"\xC3\", \"rect\": [1, 2, 3, 4]}"),
         "it is not JSON (a syntax fault at byte 82)"},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table = SampleTable();
        std::int32_t margin = 13;
        EXPECT_EQ(ParseRegionLayout(c.text, "arena.json", table, margin), -1) << c.text;
        EXPECT_TRUE(SameRegions(table, SampleTable())) << c.text;
        EXPECT_EQ(margin, 13) << c.text;
        EXPECT_EQ(sink.messages, std::vector<std::string>{"The region layout arena.json cannot be loaded: " +
                                                          c.problem + "."})
            << c.text;
    }
}

// Test what a good layout gives: its regions in order, default names for unnamed slots, the
// default margin, fresh slots after the last region, the first region selected, unknown keys ignored.
TEST(RegionLayout, LoadFillsTheTableFromTheLayout)
{
    struct Case
    {
        const char* name;
        std::string text;
        std::int32_t count;
        std::vector<std::pair<Rect, std::string>> regions;
        std::int32_t margin;
    };
    const Case cases[] = {
        {"the example",
         "{\n  \"format\": \"trackplay-layout\",\n  \"version\": 1,\n  \"margin\": 8,\n  \"regions\": [\n"
         "    { \"name\": \"open arm\", \"rect\": [50, 50, 175, 175] }\n  ]\n}\n",
         1,
         {{Rect{50, 50, 175, 175}, "open arm"}},
         8},
        {"no margin, unnamed regions take their slot's name",
         Layout("{\"rect\": [1, 2, 3, 4]}, {\"name\": \"nest\", \"rect\": [5, 6, 7, 8]}, {\"rect\": [0, 0, "
                "0, 0]}",
                ""),
         3,
         {{Rect{1, 2, 3, 4}, "Box0"}, {Rect{5, 6, 7, 8}, "nest"}, {Rect{0, 0, 0, 0}, "Box2"}},
         8},
        {"reversed and extreme corners stay as given",
         Layout("{\"rect\": [400, 300, -2147483648, 2147483647]}", "\"margin\": 0, "),
         1,
         {{Rect{400, 300, INT32_MIN, INT32_MAX}, "Box0"}},
         0},
        {"unknown keys are ignored; a large margin is kept",
         Layout("{\"rect\": [1, 2, 3, 4], \"colour\": \"red\", \"name\": \"\xC3\xB1"
                "and\xC3\xBA, \\\"big\\\"\"}",
                "\"margin\": 2147483647, \"author\": {\"x\": [1]}, "),
         1,
         {{Rect{1, 2, 3, 4}, "\xC3\xB1"
                             "and\xC3\xBA, \"big\""}},
         2147483647},
        {"no regions", Layout(""), 0, {}, 8},
        {"fifty regions", Layout(Regions(50)), 50, {}, 8},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table = SampleTable();
        std::int32_t margin = 13;
        ASSERT_EQ(ParseRegionLayout(c.text, "arena.json", table, margin), 0) << c.name;
        EXPECT_TRUE(sink.messages.empty()) << c.name;
        EXPECT_EQ(table.m_nRegionCount, c.count) << c.name;
        EXPECT_EQ(table.m_nSelectedRegion, c.count > 0 ? 0 : -1) << c.name;
        EXPECT_EQ(margin, c.margin) << c.name;
        for (std::size_t j = 0; j < c.regions.size(); ++j)
        {
            EXPECT_EQ(table.m_regionRects[j], c.regions[j].first) << c.name << " " << j;
            EXPECT_EQ(table.m_regionNames[j], c.regions[j].second) << c.name << " " << j;
        }
        // Slots after the regions are as in a new table; the drag points are the caller's.
        const CRegionTable fresh;
        for (auto j = static_cast<std::size_t>(c.count); j < fresh.m_regionNames.size(); ++j)
        {
            EXPECT_EQ(table.m_regionRects[j], Rect{}) << c.name << " " << j;
            EXPECT_EQ(table.m_regionNames[j], fresh.m_regionNames[j]) << c.name << " " << j;
        }
        EXPECT_EQ(table.m_ptDragAnchor, (Point{5, 6})) << c.name;
        EXPECT_EQ(table.m_ptDragPoint, (Point{7, 8})) << c.name;
    }
}

// Test that the saved text is the documented layout, byte for byte.
TEST(RegionLayout, FormatWritesTheDocumentedText)
{
    CRegionTable table;
    table.m_nRegionCount = 2;
    table.m_regionRects[0] = Rect{50, 50, 175, 175};
    table.m_regionNames[0] = "open arm";
    table.m_regionRects[1] = Rect{300, 200, -5, 10};
    table.m_regionNames[1] = "say \"hi\", \xC3\xA9t\xC3\xA9";
    EXPECT_EQ(FormatRegionLayout(table, 12),
              "{\n"
              "  \"format\": \"trackplay-layout\",\n"
              "  \"version\": 2,\n"
              "  \"margin\": 12,\n"
              "  \"rules\": { \"merge_gap_s\": 0.0, \"min_visit_s\": 0.0 },\n"
              "  \"movement\": { \"speed_window\": 15, \"min_immobile_s\": 1.0 },\n"
              "  \"regions\": [\n"
              "    { \"name\": \"open arm\", \"rect\": [50, 50, 175, 175] },\n"
              "    { \"name\": \"say \\\"hi\\\", \xC3\xA9t\xC3\xA9\", \"rect\": "
              "[300, 200, -5, 10] }\n"
              "  ]\n"
              "}\n");
    EXPECT_EQ(FormatRegionLayout(CRegionTable(), 8), "{\n"
                                                     "  \"format\": \"trackplay-layout\",\n"
                                                     "  \"version\": 2,\n"
                                                     "  \"margin\": 8,\n"
                                                     "  \"rules\": { \"merge_gap_s\": 0.0, "
                                                     "\"min_visit_s\": 0.0 },\n"
                                                     "  \"movement\": { \"speed_window\": 15, "
                                                     "\"min_immobile_s\": 1.0 },\n"
                                                     "  \"regions\": []\n"
                                                     "}\n");
}

// Test that saving and loading gives the same table: corners as drawn, UTF-8 names, count and
// margin, over many random tables.
TEST(RegionLayout, SaveThenLoadGivesTheSameTable)
{
    const std::string names[] = {"open arm",
                                 "Box7",
                                 "\xC3\xB1"
                                 "and\xC3\xBA",
                                 "a,b \"c\"",
                                 "\xE6\x97\xA5",
                                 std::string(64, 'z'),
                                 "x:y;z",
                                 "\xF0\x9F\x90\x81 nest"};
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::int32_t> anyInt(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> plot(-50, 700);
    CTempDir dir;
    const std::string path = dir.File("arena.json");
    for (int round = 0; round < 200; ++round)
    {
        CRegionTable saved;
        saved.m_nRegionCount = static_cast<std::int32_t>(random() % 51);
        for (std::int32_t j = 0; j < saved.m_nRegionCount; ++j)
        {
            const auto slot = static_cast<std::size_t>(j);
            const bool extreme = random() % 4 == 0;
            saved.m_regionRects[slot] =
                extreme ? Rect{anyInt(random), anyInt(random), anyInt(random), anyInt(random)}
                        : Rect{plot(random), plot(random), plot(random), plot(random)};
            if (random() % 2 == 0)
                saved.m_regionNames[slot] = names[random() % std::size(names)];
        }
        const std::int32_t margin = round % 5 == 0 ? anyInt(random) & INT32_MAX : plot(random) & 63;
        ASSERT_EQ(SaveRegionLayout(path, saved, margin), 0);

        CRegionTable loaded = SampleTable();
        std::int32_t loadedMargin = -1;
        ASSERT_EQ(LoadRegionLayout(path, loaded, loadedMargin), 0);
        EXPECT_EQ(loadedMargin, margin);
        ASSERT_EQ(loaded.m_nRegionCount, saved.m_nRegionCount);
        for (std::size_t j = 0; j < static_cast<std::size_t>(saved.m_nRegionCount); ++j)
        {
            EXPECT_EQ(loaded.m_regionRects[j], saved.m_regionRects[j]) << round << " " << j;
            EXPECT_EQ(loaded.m_regionNames[j], saved.m_regionNames[j]) << round << " " << j;
        }
    }
    // Only the layout itself is left: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// Test that a table a layout could not hold is refused before anything is written, naming the
// region, and that an earlier file stays as it was.
TEST(RegionLayout, SaveRefusesWhatCouldNotBeLoadedAgain)
{
    struct Case
    {
        std::string badName;
        std::int32_t margin;
        std::string problem;
    };
    const Case cases[] = {
        {"a/b", 8, "regions[1].name holds a \"/\""},
        {"", 8, "regions[1].name is empty"},
        {"ok", -1, "the margin -1 is below 0"},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        const std::string path = dir.File("arena.json");
        ASSERT_TRUE(WriteWholeFile(path, "earlier"));
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table;
        table.m_nRegionCount = 2;
        table.m_regionNames[1] = c.badName;
        EXPECT_EQ(SaveRegionLayout(path, table, c.margin), -1) << c.problem;
        EXPECT_EQ(sink.messages, std::vector<std::string>{"The region layout " + path +
                                                          " cannot be saved: " + c.problem + "."});
        EXPECT_EQ(ReadWholeFile(path), "earlier");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    }
    // A bad name in a slot after the regions is no part of the layout.
    CTempDir dir;
    CRegionTable table;
    table.m_nRegionCount = 1;
    table.m_regionNames[1] = "a/b";
    EXPECT_EQ(SaveRegionLayout(dir.File("arena.json"), table, 8), 0);
}

// Test that files that cannot be read or written are told with the file's name and change nothing.
TEST(RegionLayout, FileProblemsAreToldAndChangeNothing)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CRegionTable table = SampleTable();
    std::int32_t margin = 13;

    const std::string missing = dir.File("missing.json");
    EXPECT_EQ(LoadRegionLayout(missing, table, margin), -601);
    EXPECT_EQ(sink.messages.back(), "Cannot open the region layout " + missing + ".");
    EXPECT_EQ(sink.reasons.back(), "No such file or directory");

    const std::string folder = dir.File("folder.json");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(LoadRegionLayout(folder, table, margin), -601);
    EXPECT_EQ(sink.messages.back(),
              "Cannot open the region layout " + folder + ".\n" + folder + " is a directory, not a file.");

    const std::string huge = dir.File("huge.json");
    ASSERT_TRUE(WriteWholeFile(huge, std::string(kMaxLayoutBytes + 1, ' ')));
    EXPECT_EQ(LoadRegionLayout(huge, table, margin), -1);
    EXPECT_EQ(sink.messages.back(), "The region layout " + huge +
                                        " cannot be loaded: it is larger than 1 MiB, far too large for a "
                                        "region layout.");
    EXPECT_EQ(sink.messages.size(), 3u);
    EXPECT_TRUE(SameRegions(table, SampleTable()));
    EXPECT_EQ(margin, 13);

    EXPECT_EQ(SaveRegionLayout(folder, SampleTable(), 8), -601);
    EXPECT_EQ(sink.messages.back(),
              "Cannot create the region layout " + folder + ".\n" + folder + " is a directory, not a file.");
    const std::string nowhere = dir.File("absent/arena.json");
    EXPECT_EQ(SaveRegionLayout(nowhere, SampleTable(), 8), -601);
    EXPECT_EQ(sink.messages.back(), "Cannot create the region layout " + nowhere + ".");
}

// Test that every failing call of the file layer while saving fails cleanly: a message, and the
// folder as it was (an earlier layout untouched, no temporary file).
TEST(RegionLayout, EverySaveFaultFailsCleanly)
{
    for (const bool earlier : {false, true})
    {
        WriterUnderTest writer;
        writer.name = earlier ? "layout over an earlier one" : "layout";
        writer.cleanupMayFail = earlier;
        writer.prepare = [earlier](const CTempDir& dir)
        {
            if (earlier)
                WriteWholeFile(dir.File("arena.json"), FormatRegionLayout(CRegionTable(), 3));
        };
        writer.run = [](const CTempDir& dir)
        { return SaveRegionLayout(dir.File("arena.json"), SampleTable(), 8); };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 3u);
    }
}
} // namespace

// Test that a circle or polygon entry that is not a usable shape is told once, naming the entry
// and the fault, and that a region has exactly one shape.
TEST(RegionLayout, ShapeFaultsAreToldOnceAndChangeNothing)
{
    const std::pair<std::string, std::string> cases[] = {
        {"{\"rect\": [1, 2, 3, 4], \"circle\": [5, 5, 2]}",
         "regions[0] has more than one of \"rect\", \"circle\" and \"polygon\"; a region has one shape"},
        {"{\"circle\": [5, 5, 2], \"polygon\": [[0, 0], [9, 0], [0, 9]]}",
         "regions[0] has more than one of \"rect\", \"circle\" and \"polygon\"; a region has one shape"},
        {"{\"circle\": [5, 5]}",
         "regions[0].circle is not a list of three whole numbers (centre x, centre y, radius)"},
        {"{\"circle\": [5, 5, 2.5]}",
         "regions[0].circle[2] is not a whole number from -1073741824 to 1073741824"},
        {"{\"circle\": [1073741825, 5, 2]}",
         "regions[0].circle[0] is not a whole number from -1073741824 to 1073741824"},
        {"{\"circle\": [5, 5, 0]}", "regions[0].circle has radius 0; a circle's radius is at least 1"},
        {"{\"polygon\": [[0, 0], [9, 0]]}", "regions[0].polygon has 2 points; a polygon has 3 to 64"},
        {"{\"polygon\": 7}", "regions[0].polygon is not a list of points [x, y]"},
        {"{\"polygon\": [[0, 0], [9, 0], [0]]}", "regions[0].polygon[2] is not a point [x, y]"},
        {"{\"polygon\": [[0, 0], [9, 0], [0, \"9\"]]}",
         "regions[0].polygon[2][1] is not a whole number from -1073741824 to 1073741824"},
        {"{\"polygon\": [[0, 0], [9, 0], [0, 9], [0, 0]]}",
         "regions[0].polygon repeats its first point (0, 0) at its end; a polygon closes by itself"},
    };
    for (const auto& [region, problem] : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table = SampleTable();
        table.SetShape(2, RegionShape::Circle(1, 2, 3));
        const CRegionTable before = table;
        std::int32_t margin = 13;
        EXPECT_EQ(
            ParseRegionLayout(Layout("{\"rect\": [0, 0, 5, 5]}, " + region), "arena.json", table, margin), -1)
            << region;
        EXPECT_TRUE(SameRegions(table, before) && table.m_regionShapes == before.m_regionShapes) << region;
        const std::string entryOne = std::regex_replace(problem, std::regex("regions\\[0\\]"), "regions[1]");
        EXPECT_EQ(sink.messages, std::vector<std::string>{"The region layout arena.json cannot be loaded: " +
                                                          entryOne + "."})
            << region;
    }
}

// Test that circles and polygons are written as the layout documents them and come back as they
// were, beside rectangles, and that a slot a layout leaves empty holds no old shape.
TEST(RegionLayout, ShapesAreWrittenAndReadBack)
{
    CRegionTable table;
    table.SetShape(0, RegionShape::Rectangle(Rect{50, 50, 175, 175}));
    table.SetShape(1, RegionShape::Circle(320, 240, 40));
    table.SetShape(2, RegionShape::Polygon({{300, 0}, {340, 0}, {340, 200}, {300, 200}}));
    table.m_regionNames[1] = "platform";
    table.m_nRegionCount = 3;
    const std::string text = FormatRegionLayout(table, 8);
    EXPECT_NE(
        text.find("    { \"name\": \"Box0\", \"rect\": [50, 50, 175, 175] },\n"
                  "    { \"name\": \"platform\", \"circle\": [320, 240, 40] },\n"
                  "    { \"name\": \"Box2\", \"polygon\": [[300, 0], [340, 0], [340, 200], [300, 200]] }\n"),
        std::string::npos)
        << text;

    CRegionTable loaded;
    loaded.SetShape(3, RegionShape::Circle(9, 9, 9)); // beyond the layout's regions: cleared
    std::int32_t margin = 0;
    ASSERT_EQ(ParseRegionLayout(text, "arena.json", loaded, margin), 0);
    ASSERT_EQ(loaded.m_nRegionCount, 3);
    for (std::int32_t j = 0; j < 4; ++j)
        EXPECT_EQ(loaded.ShapeOf(j), table.ShapeOf(j)) << j;
    EXPECT_EQ(loaded.m_regionRects[1], (Rect{280, 200, 360, 280})); // the circle's box
    EXPECT_EQ(loaded.m_regionRects[2], (Rect{300, 0, 340, 200}));
}
