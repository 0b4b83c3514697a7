// CDialog: a window made from a dialog template, modeless (Create) or modal (DoModal), with the
// data exchange, the pre-translation of keys, the default Enter/Escape actions and access to its
// controls. The control classes (CControl, CScrollBar, CStatic) are light handles naming one
// control of one dialog; CMenu is the system menu. All of it talks to the screen through the host.
#pragma once

#include "base/Geometry.h"
#include "framework/Host.h"
#include "framework/Message.h"
#include "framework/ResourceLoad.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDataExchange;
class CDialog;

// The direction of a data exchange (CDialog::UpdateData).
enum class ExchangeDirection
{
    FromControls, // controls -> members, each field checked as it is read
    ToControls    // members -> controls
};

// One control of a dialog, by id. Unbound handles (no dialog) do nothing and read as empty.
class CControl
{
public:
    CControl() = default;
    CControl(CDialog* pOwner, int id) : m_pOwner(pOwner), m_nId(id) {}
    virtual ~CControl() = default;

    void Attach(CDialog& owner, int id); // binds the handle (DDX_Control does this)
    [[nodiscard]] int GetDlgCtrlID() const { return m_nId; }

    void SetWindowText(std::string_view text);
    [[nodiscard]] std::string GetWindowText() const;
    void SetFocus();
    [[nodiscard]] Rect GetClientRect() const; // (0, 0, width, height)
    void ScreenToClient(Point& point) const;  // screen -> this control's client coordinates

protected:
    CDialog* m_pOwner = nullptr; // not owned
    int m_nId = 0;
};

// A horizontal scroll bar control.
class CScrollBar : public CControl
{
public:
    using CControl::CControl;
    void SetScrollRange(int minPos, int maxPos, Redraw redraw = Redraw::Now);
    int SetScrollPos(int pos, Redraw redraw = Redraw::Now); // returns the previous position
    [[nodiscard]] int GetScrollPos() const;
};

// A static control; the plot area is one, and shows a pixel buffer.
class CStatic : public CControl
{
public:
    using CControl::CControl;
    void SetPixelSource(const IPixelSource* source); // not owned; keep it alive while shown
};

// Item flags of CMenu::AppendMenu.
enum MenuFlags : unsigned
{
    kMfString = 0x0000,
    kMfSeparator = 0x0800
};

// The window's system menu (only appending is offered). The Qt host shows the appended items in
// the window's context menu, since Qt has no access to the window manager's menu.
class CMenu
{
public:
    explicit CMenu(CDialog& owner) : m_owner(owner) {}
    bool AppendMenu(unsigned flags, unsigned id = 0, std::string_view text = {});

private:
    CDialog& m_owner;
};

class CDialog
{
public:
    // templateId: the template DoModal uses (Create names its own), from the resources.
    explicit CDialog(int templateId, CDialog* pParent = nullptr);
    // A dialog with a template of its own, not in the resources (kept alive by the caller): DoModal
    // and a Create naming its id use it.
    explicit CDialog(const DialogTemplate& dialog, CDialog* pParent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // --- Creation ---------------------------------------------------------------------------
    // Modeless: makes the window from the template, runs OnInitDialog, and shows the window when
    // the template says it is visible. False when there is no host or no such template.
    bool Create(int templateId, CDialog* pParent = nullptr);
    // Modal: makes the window, runs OnInitDialog, shows it and runs it until EndDialog; returns
    // the result given to EndDialog, or -1 when the window cannot be made.
    int DoModal();
    void EndDialog(int result); // ends a modal run (hides the window)
    void DestroyWindow();       // destroys the window; the object stays
    [[nodiscard]] bool HasWindow() const { return m_pWindow != nullptr; }
    [[nodiscard]] int GetTemplateId() const { return m_nTemplateId; }

    // --- Overridables -----------------------------------------------------------------------
    // Runs once the window and its controls exist. The base exchanges the members to the controls;
    // true puts the focus on the first control that takes it.
    virtual bool OnInitDialog();
    // Binds controls to members (DataExchange.h); the base exchanges nothing.
    virtual void DoDataExchange(CDataExchange* pDX);
    // Sees every key message meant for this window or one of its controls before the control.
    // True consumes it. The base consumes a key down of Enter and of Escape. In a modal dialog Enter
    // presses the push button that has the focus (a click on it), and from anywhere else is OnOK;
    // in a modeless window (the main window) Enter is OnOK wherever the focus is. Escape is
    // OnCancel. Everything else goes on to the focused control.
    virtual bool PreTranslateMessage(Message& msg);
    // Whether PreTranslateMessage would consume this key message, answered without running
    // anything. Hosts ask before the toolkit's own shortcuts see a key, so that a key the window
    // takes is never also taken by a shortcut. The base answers for Enter and Escape; a window that
    // translates more keys answers for them first.
    [[nodiscard]] virtual bool ConsumesKey(const Message& msg) const;
    virtual void OnOK();     // base: reads the controls, and when that succeeds EndDialog(kIdOk)
    virtual void OnCancel(); // base: EndDialog(kIdCancel)
    // Handles a routed message: a class with a message map looks it up there first (MessageMap.h)
    // and then calls the base, which does the default processing: Close -> OnCancel, SysCommand ->
    // DefaultSysCommand. True when something handled it.
    virtual bool OnWndMsg(const Message& msg);

    // Default handling of system commands: minimise, restore, close (sends Close); others ignored.
    void DefaultSysCommand(unsigned id);

    // --- Data exchange ----------------------------------------------------------------------
    // Runs DoDataExchange in the given direction. False when a field read from its control failed
    // to parse (its message has been shown and it has the focus), or when there is no window.
    bool UpdateData(ExchangeDirection direction);

    // --- Window -----------------------------------------------------------------------------
    void SetWindowText(std::string_view text);
    [[nodiscard]] std::string GetWindowText() const;
    void ShowWindow(ShowCommand command);
    [[nodiscard]] bool IsIconic() const;
    [[nodiscard]] bool IsWindowVisible() const;
    void SetIcon(HICON icon, IconSize size);
    [[nodiscard]] CMenu* GetSystemMenu();    // nullptr when the template has no system menu
    void ScreenToClient(Point& point) const; // screen -> the window's client coordinates

    // --- Controls ---------------------------------------------------------------------------
    [[nodiscard]] CControl GetDlgItem(int id) { return CControl(this, id); }
    void SetDlgItemText(int id, std::string_view text);
    [[nodiscard]] std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, CheckState state);
    [[nodiscard]] bool IsDlgButtonChecked(int id) const;
    [[nodiscard]] int GetFocusId() const; // control with the keyboard focus, 0 for none
    // The CScrollBar bound to id by DDX_Control, or nullptr (handed to OnHScroll handlers).
    [[nodiscard]] CScrollBar* FindScrollBar(int id);

    // --- For the framework and the hosts ----------------------------------------------------
    [[nodiscard]] IHostWindow* GetHostWindow() const { return m_pWindow.get(); }
    [[nodiscard]] const DialogTemplate* GetTemplate() const { return m_pTemplate; }
    [[nodiscard]] bool IsModal() const { return m_bModal; }
    void RegisterBoundControl(CControl& control); // called by DDX_Control

private:
    bool MakeWindow(int templateId, CDialog* pParent, WindowMode mode);
    // The enabled push button with the focus, or 0 when the focus is elsewhere.
    [[nodiscard]] int FocusedPushButton() const;
    [[nodiscard]] const DialogTemplate* FindTemplate(int templateId) const; // own, or the resources'

    int m_nTemplateId;
    CDialog* m_pParent;
    const DialogTemplate* m_pOwnTemplate = nullptr; // given to the constructor, or none
    const DialogTemplate* m_pTemplate = nullptr;    // of the window made last
    std::unique_ptr<IHostWindow> m_pWindow;
    std::unique_ptr<CMenu> m_pSystemMenu;
    std::vector<CControl*> m_boundControls; // controls bound by DDX_Control (members of the subclass)
    bool m_bModal = false;
};
