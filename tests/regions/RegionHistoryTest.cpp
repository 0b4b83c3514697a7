// Undo and redo of region edits, and what counts as a change since the regions were saved.
#include "regions/RegionHistory.h"

#include "FakeRegionPlot.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace
{
// One edit as the window makes it: the table before, the edit, the record.
void Edit(CRegionHistory& history, CRegionTable& table, const std::function<void(CRegionTable&)>& edit)
{
    const RegionSnapshot before = SnapshotOf(table);
    edit(table);
    history.Record(before, table);
}
} // namespace

TEST(RegionHistory, UndoAndRedoWalkBackAndForthThroughEveryKindOfEdit)
{
    CFakeRegionPlot plot;
    CRegionTable table;
    CRegionHistory history;
    std::vector<RegionSnapshot> states{SnapshotOf(table)};
    const std::function<void(CRegionTable&)> edits[] = {
        [&](CRegionTable& t) { t.CreateRectangle(plot); },
        [&](CRegionTable& t) { t.SetShape(0, RegionShape::Circle(320, 240, 40)); },
        [&](CRegionTable& t) { t.CreateRectangle(plot); },
        [&](CRegionTable& t) { t.m_regionNames[1] = "platform"; },
        [&](CRegionTable& t)
        {
            t.ButtonDown(plot, {10, 20});
            t.MouseMove(plot, {30, 40});
            t.ButtonUp(plot);
        },
        [&](CRegionTable& t)
        {
            t.SelectRectangle(plot, kCmdSelectRectangleFirst);
            t.DeleteRectangle(plot);
        },
        [&](CRegionTable& t) { t.DeleteAll(plot); },
    };
    for (const auto& edit : edits)
    {
        Edit(history, table, edit);
        states.push_back(SnapshotOf(table));
    }
    for (std::size_t i = states.size() - 1; i > 0; --i)
    {
        ASSERT_TRUE(history.Undo(table)) << i;
        EXPECT_TRUE(SameRegions(SnapshotOf(table), states[i - 1])) << i;
        EXPECT_EQ(table.m_nSelectedRegion, states[i - 1].selected) << i;
    }
    EXPECT_FALSE(history.Undo(table));
    for (std::size_t i = 1; i < states.size(); ++i)
    {
        ASSERT_TRUE(history.Redo(table)) << i;
        EXPECT_TRUE(SameRegions(SnapshotOf(table), states[i])) << i;
    }
    EXPECT_FALSE(history.Redo(table));
}

TEST(RegionHistory, UndoBringsBackTheNameAVacatedSlotHeld)
{
    CFakeRegionPlot plot;
    CRegionTable table;
    CRegionHistory history;
    for (int i = 0; i < 3; ++i)
        table.CreateRectangle(plot);
    Edit(history, table,
         [&](CRegionTable& t)
         {
             t.SelectRectangle(plot, kCmdSelectRectangleFirst);
             t.DeleteRectangle(plot);
         });
    Edit(history, table, [&](CRegionTable& t) { t.CreateRectangle(plot); });
    EXPECT_EQ(table.m_regionNames[2], "Box2"); // the slot's name moved down with the delete
    history.Undo(table);
    history.Undo(table);
    EXPECT_EQ(table.m_nRegionCount, 3);
    EXPECT_EQ(table.m_regionNames[0], "Box0");
    EXPECT_EQ(table.m_regionNames[1], "Box1");
}

TEST(RegionHistory, WhatIsNoStepAndWhatEndsRedo)
{
    CFakeRegionPlot plot;
    CRegionTable table;
    CRegionHistory history;
    Edit(history, table, [&](CRegionTable& t) { t.SelectRectangle(plot, kCmdSelectRectangleFirst + 3); });
    Edit(history, table, [&](CRegionTable& t) { t.DeleteRectangle(plot); }); // nothing to delete
    EXPECT_FALSE(history.CanUndo());

    Edit(history, table, [&](CRegionTable& t) { t.CreateRectangle(plot); });
    Edit(history, table, [&](CRegionTable& t) { t.CreateRectangle(plot); });
    Edit(history, table, [&](CRegionTable& t) { t.SelectRectangle(plot, kCmdSelectRectangleFirst); });
    ASSERT_TRUE(history.Undo(table));
    EXPECT_EQ(table.m_nRegionCount, 1) << "the selection was no step: the create before it is undone";
    EXPECT_TRUE(history.CanRedo());
    Edit(history, table, [&](CRegionTable& t) { t.SetShape(0, RegionShape::Circle(1, 1, 1)); });
    EXPECT_FALSE(history.CanRedo()) << "a new edit ends what could be redone";
}

TEST(RegionHistory, KeepsTheLastHundredSteps)
{
    CFakeRegionPlot plot;
    CRegionTable table;
    CRegionHistory history;
    table.CreateRectangle(plot);
    for (std::int32_t i = 1; i <= static_cast<std::int32_t>(kMaxUndoSteps) + 5; ++i)
        Edit(history, table, [&](CRegionTable& t) { t.SetShape(0, RegionShape::Circle(100, 100, i)); });
    std::size_t undone = 0;
    while (history.Undo(table))
        ++undone;
    EXPECT_EQ(undone, kMaxUndoSteps);
    EXPECT_EQ(table.ShapeOf(0), RegionShape::Circle(100, 100, 5));
}

TEST(RegionHistory, UnsavedChangesCompareTheRegionsWithTheSavedOnes)
{
    struct Case
    {
        const char* what;
        std::function<void(CRegionTable&, CRegionHistory&, CFakeRegionPlot&)> steps;
        bool unsaved;
    };
    const Case cases[] = {
        {"a new table", [](CRegionTable&, CRegionHistory&, CFakeRegionPlot&) {}, false},
        {"a region added", [](CRegionTable& t, CRegionHistory&, CFakeRegionPlot& p) { t.CreateRectangle(p); },
         true},
        {"added and deleted again",
         [](CRegionTable& t, CRegionHistory&, CFakeRegionPlot& p)
         {
             t.CreateRectangle(p);
             t.DeleteRectangle(p);
         },
         false},
        {"saved after adding",
         [](CRegionTable& t, CRegionHistory& h, CFakeRegionPlot& p)
         {
             t.CreateRectangle(p);
             h.MarkSaved(t);
         },
         false},
        {"only the selection changed since saving",
         [](CRegionTable& t, CRegionHistory& h, CFakeRegionPlot& p)
         {
             t.CreateRectangle(p);
             t.CreateRectangle(p);
             h.MarkSaved(t);
             t.SelectRectangle(p, kCmdSelectRectangleFirst);
         },
         false},
        {"renamed since saving",
         [](CRegionTable& t, CRegionHistory& h, CFakeRegionPlot& p)
         {
             t.CreateRectangle(p);
             h.MarkSaved(t);
             t.m_regionNames[0] = "pool";
         },
         true},
        {"a rectangle that became a circle with the same box",
         [](CRegionTable& t, CRegionHistory& h, CFakeRegionPlot& p)
         {
             t.CreateRectangle(p);
             t.SetShape(0, RegionShape::Rectangle(Rect{0, 0, 20, 20}));
             h.MarkSaved(t);
             t.SetShape(0, RegionShape::Circle(10, 10, 10));
         },
         true},
        {"undone back to the saved regions",
         [](CRegionTable& t, CRegionHistory& h, CFakeRegionPlot& p)
         {
             h.MarkSaved(t);
             const RegionSnapshot before = SnapshotOf(t);
             t.CreateRectangle(p);
             h.Record(before, t);
             h.Undo(t);
         },
         false},
    };
    for (const Case& c : cases)
    {
        CFakeRegionPlot plot;
        CRegionTable table;
        CRegionHistory history;
        c.steps(table, history, plot);
        EXPECT_EQ(history.HasUnsavedChanges(table), c.unsaved) << c.what;
    }
}
