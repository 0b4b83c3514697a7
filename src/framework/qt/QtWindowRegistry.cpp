#include "framework/qt/QtWindowRegistry.h"

#include <QWidget>
#include <cassert>

void CQtWindowRegistry::Add(const QWidget* topLevel, CQtWindow& window)
{
    assert(topLevel != nullptr && !m_windows.contains(topLevel) &&
           "CQtWindowRegistry::Add: each top-level widget stands for one window");
    m_windows[topLevel] = &window;
}

void CQtWindowRegistry::Remove(const QWidget* topLevel)
{
    m_windows.erase(topLevel);
}

CQtWindow* CQtWindowRegistry::Find(const QWidget* widget) const
{
    if (widget == nullptr)
        return nullptr;
    const auto it = m_windows.find(widget->window());
    return it != m_windows.end() ? it->second : nullptr;
}
