// Save Regions, Load Regions and Region Properties: the dialogs, a load that replaces the table,
// faulty layouts that change nothing, the loaded margin in the timestamp files, and the region
// dialog's checks.
#include "AppFixture.h"
#include "app/CommandDialogs.h"
#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"
#include "regions/RegionName.h"

#include <filesystem>

namespace
{
constexpr Rgb kRegion0Colour{175, 175, 175};
constexpr Rgb kRegion1Colour{255, 0, 0};

std::string LayoutText(const std::string& regions, int margin = 8)
{
    return "{\"format\": \"trackplay-layout\", \"version\": 1, \"margin\": " + std::to_string(margin) +
           ", \"regions\": [" + regions + "]}";
}

class LayoutCommandTest : public AppTest
{
protected:
    void SetUp() override { Start(); }

    // Five regions, region 3 selected, named and placed apart from the defaults.
    void MakeFiveRegions()
    {
        for (int i = 0; i < 5; ++i)
            host.PostKey(kVkInsert);
        host.RunUntilIdle();
        Dlg().m_regions.m_regionNames[1] = "nest";
        Dlg().m_regions.m_regionRects[4] = Rect{300, 300, 400, 400};
        Key(VkDigit(3));                                  // selects region 3 and redraws the regions
        Dlg().m_regionHistory.MarkSaved(Dlg().m_regions); // as if saved: a load asks nothing first
    }

    std::string WriteLayout(const std::string& name, const std::string& text)
    {
        EXPECT_TRUE(WriteWholeFile(temp.File(name), text));
        return temp.File(name);
    }

    void Load(const std::string& path)
    {
        host.fileDialogAnswers.push_back(path);
        Post(kCmdLoadRegions);
    }
};

// Test the two dialogs: titles, the filter and the default extension, open for loading and save for
// saving; cancelling either changes and writes nothing.
TEST_F(LayoutCommandTest, DialogsAndCancel)
{
    MakeFiveRegions();
    const CRegionTable before = Dlg().m_regions;
    Post(kCmdSaveRegions);
    Post(kCmdLoadRegions);
    ASSERT_EQ(host.fileDialogs.size(), 2u);
    struct Expected
    {
        FileDialogRequest::Kind kind;
        const char* title;
    };
    const Expected expected[] = {{FileDialogRequest::Kind::Save, "Save Regions"},
                                 {FileDialogRequest::Kind::Open, "Load Regions"}};
    for (std::size_t k = 0; k < 2; ++k)
    {
        EXPECT_EQ(host.fileDialogs[k].kind, expected[k].kind);
        EXPECT_EQ(host.fileDialogs[k].title, expected[k].title);
        EXPECT_EQ(host.fileDialogs[k].filter, "Region Layouts (*.json)|*.json|All Files (*.*)|*.*||");
        EXPECT_EQ(host.fileDialogs[k].defaultExtension, ".json");
    }
    EXPECT_EQ(Dlg().m_regions.m_regionNames, before.m_regionNames);
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 5);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 0);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a saved layout loads back into the same regions and margin, with the default extension
// added to a name typed without one.
TEST_F(LayoutCommandTest, SaveThenLoadRestoresTheRegions)
{
    MakeFiveRegions();
    Dlg().m_nRegionMargin = 11;
    const CRegionTable saved = Dlg().m_regions;
    host.fileDialogAnswers.push_back(temp.File("arena"));
    Post(kCmdSaveRegions);
    ASSERT_TRUE(std::filesystem::exists(temp.File("arena.json")));

    CRegionTable reread;
    std::int32_t margin = 0;
    ASSERT_EQ(LoadRegionLayout(temp.File("arena.json"), reread, margin), kOk);
    EXPECT_EQ(margin, 11);
    EXPECT_EQ(reread.m_nRegionCount, 5);
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(reread.m_regionRects[i], saved.m_regionRects[i]) << i;
        EXPECT_EQ(reread.m_regionNames[i], saved.m_regionNames[i]) << i;
    }

    Key(kVkDelete);
    Dlg().m_nRegionMargin = 8;
    host.messageBoxAnswers = {kIdNo}; // "Save changes to the regions?" after the delete: No
    Load(temp.File("arena.json"));
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 5);
    EXPECT_EQ(Dlg().m_regions.m_regionNames[1], "nest");
    EXPECT_EQ(Dlg().m_regions.m_regionRects[4], (Rect{300, 300, 400, 400}));
    EXPECT_EQ(Dlg().m_nRegionMargin, 11);
    ASSERT_EQ(MessageTexts(), std::vector<std::string>{"Save changes to the regions?"});
    EXPECT_EQ(host.messageBoxes[0].request.buttons, MessageBoxButtons::YesNoCancel);
}

// Test that saving over an existing file asks first, about the name as the default extension
// completes it: Yes replaces the file, No leaves it byte for byte. (A new name is not asked about:
// SaveThenLoadRestoresTheRegions.)
TEST_F(LayoutCommandTest, SaveAsksBeforeReplacingAFile)
{
    MakeFiveRegions();
    const std::string old = "{\"an\": \"older file\"}";
    struct Case
    {
        const char* typed;   // what the save dialog gives back
        const char* written; // the file it names, there before
        int answer;
    };
    for (const Case& c : {Case{"keep.json", "keep.json", kIdNo}, Case{"swap.json", "swap.json", kIdYes},
                          Case{"short", "short.json", kIdNo}})
    {
        SCOPED_TRACE(c.typed);
        const std::string path = temp.File(c.written);
        ASSERT_TRUE(WriteWholeFile(path, old));
        host.messageBoxes.clear();
        host.messageBoxAnswers = {c.answer};
        host.fileDialogAnswers.push_back(temp.File(c.typed));
        Post(kCmdSaveRegions);
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_EQ(host.messageBoxes[0].request.text, path + " already exists.\nDo you want to replace it?");
        EXPECT_EQ(host.messageBoxes[0].request.buttons, MessageBoxButtons::YesNo);
        CRegionTable reread;
        std::int32_t margin = 0;
        EXPECT_EQ(LoadRegionLayout(path, reread, margin) == kOk, c.answer == kIdYes);
        EXPECT_EQ(ReadWholeFile(path) == old, c.answer == kIdNo);
    }
}

// Test that a load replaces the whole table: the layout's regions in the first slots, the default
// names in every other slot, the first region selected (none for an empty layout), and the plot
// showing the new outlines only.
TEST_F(LayoutCommandTest, LoadReplacesTheTable)
{
    MakeFiveRegions();
    ASSERT_EQ(ShownPixel(300, 350), (Rgb{255, 255, 0})) << "region 4 is on the plot";
    const std::string two =
        WriteLayout("two.json", LayoutText("{\"name\": \"open arm\", \"rect\": [20, 30, 120, 130]},"
                                           "{\"rect\": [200, 200, 260, 280]}",
                                           12));
    Load(two);
    const CRegionTable& table = Dlg().m_regions;
    EXPECT_EQ(table.m_nRegionCount, 2);
    EXPECT_EQ(table.m_nSelectedRegion, 0);
    EXPECT_EQ(table.m_regionNames[0], "open arm");
    EXPECT_EQ(table.m_regionRects[0], (Rect{20, 30, 120, 130}));
    EXPECT_EQ(table.m_regionRects[1], (Rect{200, 200, 260, 280}));
    for (std::size_t i = 1; i < 50; ++i)
        EXPECT_EQ(table.m_regionNames[i], "Box" + std::to_string(i)) << i;
    EXPECT_EQ(Dlg().m_nRegionMargin, 12);
    EXPECT_EQ(ShownPixel(20, 80), kRegion0Colour);
    EXPECT_EQ(ShownPixel(200, 240), kRegion1Colour);
    EXPECT_EQ(ShownPixel(300, 350), kBlack) << "the old region 4 is gone";

    Load(WriteLayout("empty.json", LayoutText("")));
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 0);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, -1);
    EXPECT_EQ(ShownPixel(20, 80), kBlack);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a faulty layout is told in one message and leaves the table, the margin and the plot
// as they were.
TEST_F(LayoutCommandTest, FaultyLayoutChangesNothing)
{
    MakeFiveRegions();
    Dlg().m_nRegionMargin = 9;
    std::string tooMany;
    for (int i = 0; i < 51; ++i)
        tooMany += std::string(i == 0 ? "" : ",") + "{\"rect\": [0, 0, 10, 10]}";
    const std::string cases[] = {
        "not json",
        "{\"format\": \"trackplay-layout\", \"version\": 3, \"regions\": []}",
        LayoutText("{\"name\": \"a/b\", \"rect\": [1, 2, 3, 4]}"),
        LayoutText("{\"rect\": [1, 2, 3]}"),
        LayoutText(tooMany),
    };
    const CRegionTable before = Dlg().m_regions;
    const std::vector<std::uint8_t> plot = ShownPlot();
    int n = 0;
    for (const std::string& text : cases)
    {
        SCOPED_TRACE(text.substr(0, 60));
        host.messageBoxes.clear();
        Load(WriteLayout("bad" + std::to_string(n++) + ".json", text));
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_NE(host.messageBoxes[0].request.text.find("bad"), std::string::npos) << "names the file";
        EXPECT_EQ(Dlg().m_regions.m_nRegionCount, before.m_nRegionCount);
        EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, before.m_nSelectedRegion);
        EXPECT_EQ(Dlg().m_regions.m_regionRects, before.m_regionRects);
        EXPECT_EQ(Dlg().m_regions.m_regionNames, before.m_regionNames);
        EXPECT_EQ(Dlg().m_nRegionMargin, 9);
        EXPECT_EQ(ShownPlot(), plot);
    }
    host.messageBoxes.clear();
    Load(temp.File("missing.json"));
    EXPECT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 5);
}

// Test that the loaded margin decides the visits of Generate Timestamp Files: a track that goes 10
// pixels into a region makes a visit with the margin of 8 and none with a layout's margin of 12,
// and the enter and leave files differ accordingly.
TEST_F(LayoutCommandTest, LoadedMarginDecidesTheTimestampFiles)
{
    // Along y = 100: in from x = 40 to 60 (10 pixels past the left edge at 50), then out again.
    CTrackFileBuilder builder;
    std::int64_t t = 7000;
    for (std::int32_t x = 40; x <= 60; ++x)
        builder.Add(MakeRecord(t++, x, 100));
    for (std::int32_t x = 59; x >= 40; --x)
        builder.Add(MakeRecord(t++, x, 100));
    OpenThroughMenu(builder.Write(temp.File("dip.qtf")));
    const std::string rect = "{\"name\": \"arm\", \"rect\": [50, 50, 175, 175]}";
    struct Case
    {
        int margin;
        std::size_t visits;
    };
    for (const Case c : {Case{8, 1}, Case{12, 0}, Case{10, 1}, Case{11, 0}})
    {
        SCOPED_TRACE(c.margin);
        Load(WriteLayout("m" + std::to_string(c.margin) + ".json", LayoutText(rect, c.margin)));
        ASSERT_EQ(Dlg().m_nRegionMargin, c.margin);
        {
            CScopedCurrentDirectory inTemp(temp.Path());
            Post(kCmdGenerateTimestampFiles);
        }
        EXPECT_EQ(ReadWholeFile(temp.File("dip.qtf_arm_Enter.qsf")).size(), 16384u + 8u * c.visits);
        EXPECT_EQ(ReadWholeFile(temp.File("dip.qtf_arm_Leave.qsf")).size(), 16384u + 8u * c.visits);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test Region Properties with no region selected: the message, and no dialog.
TEST_F(LayoutCommandTest, PropertiesWithoutASelectionSaySo)
{
    Post(kCmdRegionProperties);
    Key(kVkInsert);
    Key(kVkDelete); // no regions left, the selection 0
    Post(kCmdRegionProperties);
    EXPECT_TRUE(host.modalDialogs.empty());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{std::string(kMsgNoRegionSelected),
                                                        std::string(kMsgNoRegionSelected)}));
}

// Test that Region Properties shows the selected region, and OK puts the typed name and corners in
// the table and on the plot.
TEST_F(LayoutCommandTest, PropertiesChangeTheSelectedRegion)
{
    MakeFiveRegions();
    Key(VkDigit(1));
    std::vector<std::string> shown;
    NextDialog(
        [&shown](CHeadlessHost& h, CDialog& d)
        {
            for (int id : {kIdcRegionName, kIdcRegionLeft, kIdcRegionTop, kIdcRegionRight, kIdcRegionBottom})
                shown.push_back(d.GetDlgItemText(id));
            h.TypeText(kIdcRegionName, "open arm", &d);
            h.TypeText(kIdcRegionLeft, "-5", &d);
            h.TypeText(kIdcRegionTop, "10", &d);
            h.TypeText(kIdcRegionRight, "300", &d);
            h.TypeText(kIdcRegionBottom, "200", &d);
            h.PostKey(kVkReturn, kModNone, &d);
        });
    Post(kCmdRegionProperties);
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddRegionProperties}));
    EXPECT_EQ(shown, (std::vector<std::string>{"nest", "50", "50", "175", "175"}));
    EXPECT_EQ(Dlg().m_regions.m_regionNames[1], "open arm");
    EXPECT_EQ(Dlg().m_regions.m_regionRects[1], (Rect{-5, 10, 300, 200}));
    EXPECT_EQ(ShownPixel(299, 100), kRegion1Colour);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 1);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that Region Properties refuses what the layouts refuse, and a corner that is no integer,
// with the field's message and the focus on it; the table stays as it was when the dialog is then
// cancelled.
TEST_F(LayoutCommandTest, PropertiesRefuseBadFields)
{
    MakeFiveRegions();
    struct Case
    {
        int field;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {kIdcRegionName, "", CheckRegionName("").value()},
        {kIdcRegionName, "a/b", CheckRegionName("a/b").value()},
        {kIdcRegionName, "..", CheckRegionName("..").value()},
        {kIdcRegionName, "tab\there", CheckRegionName("tab\there").value()},
        {kIdcRegionName, std::string(65, 'x'), CheckRegionName(std::string(65, 'x')).value()},
        {kIdcRegionTop, "abc", "Please enter an integer."},
        {kIdcRegionBottom, "", "Please enter an integer."},
        {kIdcRegionRight, "2147483648", "Please enter an integer."},
    };
    const CRegionTable before = Dlg().m_regions;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        host.messageBoxes.clear();
        int focus = 0;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                h.TypeText(kIdcRegionLeft, "1", &d);
                h.TypeText(c.field, c.text, &d);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
                focus = d.GetFocusId();
                h.PostKey(kVkEscape, kModNone, &d);
            });
        Post(kCmdRegionProperties);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(focus, c.field);
        EXPECT_EQ(Dlg().m_regions.m_regionNames, before.m_regionNames);
        EXPECT_EQ(Dlg().m_regions.m_regionRects, before.m_regionRects);
    }
}
} // namespace
