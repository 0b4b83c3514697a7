// One framework window on Qt Widgets (internal to the Qt host): the top-level widget built from a
// dialog template, its controls by id, and the translation of widget events into messages.
#pragma once

#include "framework/Host.h"
#include "framework/Message.h"
#include "framework/qt/QtWidgets.h"

#include <QPointer>
#include <map>
#include <memory>

class QEventLoop;
class QMainWindow;
class QMenu;
class QWidget;
class CQtWindowRegistry;

class CQtWindow final : public IHostWindow, public IQtWidgetEvents
{
public:
    // Registers itself with windows (which outlives it) for as long as it exists.
    CQtWindow(CQtWindowRegistry& windows, CDialog& owner, const DialogTemplate& dialog, QWidget* parentWidget,
              WindowMode mode);
    ~CQtWindow() override;
    CQtWindow(const CQtWindow&) = delete;
    CQtWindow& operator=(const CQtWindow&) = delete;

    [[nodiscard]] QWidget* TopLevel() const;
    [[nodiscard]] QWidget* Control(int id) const;
    [[nodiscard]] CDialog& Owner() const { return m_owner; }

    // Hands a message to the application for this window (ProcessMessage); true when handled.
    bool Deliver(Message msg) override;
    // Queues a paint message (the window was shown or restored).
    void PostPaint() override;

    // The modal run of RunModal / EndModal.
    int RunModalLoop();
    void ExitModalLoop(int result);

    // IHostWindow
    void SetTitle(std::string_view title) override;
    [[nodiscard]] std::string GetTitle() const override;
    void SetControlText(int id, std::string_view text) override;
    [[nodiscard]] std::string GetControlText(int id) const override;
    void SetCheck(int id, CheckState state) override;
    [[nodiscard]] bool GetCheck(int id) const override;
    [[nodiscard]] bool IsControlEnabled(int id) const override;
    void SetFocusTo(int id) override;
    [[nodiscard]] int GetFocusId() const override;
    void Show(ShowCommand command) override;
    [[nodiscard]] bool IsVisible() const override;
    [[nodiscard]] bool IsIconic() const override;
    [[nodiscard]] Rect GetControlClientRect(int id) const override;
    [[nodiscard]] Point GetControlScreenOrigin(int id) const override;
    [[nodiscard]] Point GetClientScreenOrigin() const override;
    void SetScrollRange(int id, int minPos, int maxPos, Redraw redraw) override;
    void SetScrollPos(int id, int pos, Redraw redraw) override;
    [[nodiscard]] int GetScrollPos(int id) const override;
    void AppendSystemMenuItem(unsigned id, std::string_view text) override;
    void AppendSystemMenuSeparator() override;
    void SetIcon(const IconImage* icon, IconSize size) override;
    void SetPixelSource(int id, const IPixelSource* source) override;
    void PresentPixels() override;

private:
    void BuildMenuBar(int menuId);
    void BuildControls(const DialogTemplate& dialog);

    CQtWindowRegistry& m_windows;
    CDialog& m_owner;
    const DialogTemplate& m_template;
    std::unique_ptr<CTopWindow> m_pTop;
    QWidget* m_pClient = nullptr;        // central widget holding the controls
    std::map<int, QWidget*> m_controls;  // by id (children of m_pClient)
    std::map<int, CPlotWidget*> m_plots; // plot areas by id
    QMenu* m_pSystemMenu = nullptr;      // appended system-menu items (context menu)
    QEventLoop* m_pModalLoop = nullptr;  // while RunModalLoop runs
    bool m_bEverShown = false;
};
