// The windows of the Qt host by their top-level widgets, and the input block of its progress
// displays (internal to the host). The host, its windows and its progress displays all share this
// state; it lives here, below all three, so that none of them needs to include another's header.
#pragma once

#include <map>

class QWidget;
class CQtWindow;

class CQtWindowRegistry
{
public:
    // From now on topLevel stands for window (for key events and input blocking); until Remove.
    void Add(const QWidget* topLevel, CQtWindow& window);
    void Remove(const QWidget* topLevel);
    // The window a widget belongs to, or nullptr for widgets of no window of ours (menus, boxes).
    [[nodiscard]] CQtWindow* Find(const QWidget* widget) const;
    // Every window, by top-level widget.
    [[nodiscard]] const std::map<const QWidget*, CQtWindow*>& Windows() const { return m_windows; }

    // While a progress display is open (they nest), the windows take no input but paint.
    [[nodiscard]] bool IsInputBlocked() const { return m_nInputBlocks > 0; }

private:
    friend class CQtInputBlock;
    std::map<const QWidget*, CQtWindow*> m_windows;
    int m_nInputBlocks = 0; // open progress displays
};

// Blocks input to the registry's windows for its lifetime (a progress display holds one).
class CQtInputBlock
{
public:
    explicit CQtInputBlock(CQtWindowRegistry& registry) : m_registry(registry)
    {
        ++m_registry.m_nInputBlocks;
    }
    ~CQtInputBlock() { --m_registry.m_nInputBlocks; }
    CQtInputBlock(const CQtInputBlock&) = delete;
    CQtInputBlock& operator=(const CQtInputBlock&) = delete;

private:
    CQtWindowRegistry& m_registry;
};
