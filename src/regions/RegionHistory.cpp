#include "regions/RegionHistory.h"

#include <utility>

RegionSnapshot SnapshotOf(const CRegionTable& table)
{
    RegionSnapshot snapshot;
    snapshot.rects = table.m_regionRects;
    snapshot.names = table.m_regionNames;
    snapshot.shapes = table.m_regionShapes;
    snapshot.count = table.m_nRegionCount;
    snapshot.selected = table.m_nSelectedRegion;
    return snapshot;
}

void RestoreSnapshot(CRegionTable& table, const RegionSnapshot& snapshot)
{
    table.m_regionRects = snapshot.rects;
    table.m_regionNames = snapshot.names;
    table.m_regionShapes = snapshot.shapes;
    table.m_nRegionCount = snapshot.count;
    table.m_nSelectedRegion = snapshot.selected;
}

bool SameRegions(const RegionSnapshot& a, const RegionSnapshot& b)
{
    if (a.count != b.count)
        return false;
    for (std::int32_t i = 0; i < a.count; ++i)
    {
        const auto slot = static_cast<std::size_t>(i);
        if (a.rects[slot] != b.rects[slot] || a.names[slot] != b.names[slot] ||
            a.shapes[slot] != b.shapes[slot])
            return false;
    }
    return true;
}

void CRegionHistory::Record(const RegionSnapshot& before, const CRegionTable& table)
{
    if (SameRegions(before, SnapshotOf(table)))
        return;
    m_undo.push_back(before);
    if (m_undo.size() > kMaxUndoSteps)
        m_undo.pop_front();
    m_redo.clear();
}

bool CRegionHistory::Undo(CRegionTable& table)
{
    if (m_undo.empty())
        return false;
    m_redo.push_back(SnapshotOf(table));
    RestoreSnapshot(table, m_undo.back());
    m_undo.pop_back();
    return true;
}

bool CRegionHistory::Redo(CRegionTable& table)
{
    if (m_redo.empty())
        return false;
    m_undo.push_back(SnapshotOf(table));
    RestoreSnapshot(table, m_redo.back());
    m_redo.pop_back();
    return true;
}

bool CRegionHistory::HasUnsavedChanges(const CRegionTable& table) const
{
    return !SameRegions(m_saved, SnapshotOf(table));
}
