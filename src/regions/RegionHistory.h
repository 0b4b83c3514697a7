// CRegionHistory: undo and redo of the window's region edits, and whether the regions differ from
// those last saved or loaded.
//
// It keeps whole copies of the table's regions (50 slots are a few kilobytes), so that every edit,
// whatever it changed, is undone the same way. An edit is recorded with the table as it was before
// it; one that changed no region (a selection, a drag with nothing selected) is no step to undo.
#pragma once

#include "regions/RegionTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

// The part of a region table an edit changes: every slot (a slot past the count keeps its name
// for the next region created into it), the count and the selection.
struct RegionSnapshot
{
    std::array<Rect, kMaxRegions> rects{};
    std::array<std::string, kMaxRegions> names;
    std::array<RegionShape, kMaxRegions> shapes{};
    std::int32_t count = 0;
    std::int32_t selected = -1;
};

[[nodiscard]] RegionSnapshot SnapshotOf(const CRegionTable& table);
void RestoreSnapshot(CRegionTable& table, const RegionSnapshot& snapshot);
// Whether the two hold the same regions: count, and the rectangle, shape and name of each region.
// The selection and the slots past the count do not count: they are not saved in a layout.
[[nodiscard]] bool SameRegions(const RegionSnapshot& a, const RegionSnapshot& b);

// How many edits can be undone; older ones are forgotten.
inline constexpr std::size_t kMaxUndoSteps = 100;

class CRegionHistory
{
public:
    // An edit has changed table from before: before becomes the step Undo goes back to, and
    // whatever was undone can no longer be redone. Nothing when the regions are the same.
    void Record(const RegionSnapshot& before, const CRegionTable& table);
    // Puts the table back as it was before the last edit (true), or does nothing (false).
    bool Undo(CRegionTable& table);
    // Does again the edit undone last (true), or nothing (false).
    bool Redo(CRegionTable& table);
    [[nodiscard]] bool CanUndo() const { return !m_undo.empty(); }
    [[nodiscard]] bool CanRedo() const { return !m_redo.empty(); }

    // The table has just been saved or loaded: its regions are the saved ones.
    void MarkSaved(const CRegionTable& table) { m_saved = SnapshotOf(table); }
    // Whether the table's regions differ from those saved or loaded last (from an empty table
    // before either).
    [[nodiscard]] bool HasUnsavedChanges(const CRegionTable& table) const;

private:
    std::deque<RegionSnapshot> m_undo;
    std::deque<RegionSnapshot> m_redo;
    RegionSnapshot m_saved;
};
