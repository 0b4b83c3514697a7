// The host: the platform side of the framework. Dialogs and the application object never touch the
// screen themselves; they ask the host, which is either the Qt 6 Widgets host (framework/qt) or the
// scripted host of the tests (tests/support). The host is the truth for what the user can change
// (edit texts, check states, focus, window state); the framework reads it back.
#pragma once

#include "base/Geometry.h"
#include "base/MessageSink.h"
#include "framework/Message.h"
#include "resources/DialogIds.h"
#include "resources/ResourceTypes.h"

#include <cassert>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CDialog;

// A pixel buffer the plot area shows: 24-bit RGB, rows top to bottom, 3 bytes per pixel, no row
// padding. The app adapts its drawing surface to this (PixelSourceAdapter.h), so the framework
// does not depend on the plot code. ChangeCount grows whenever the pixels change; hosts compare it
// to decide whether to copy the pixels to the screen again.
class IPixelSource
{
public:
    virtual ~IPixelSource() = default;
    [[nodiscard]] virtual int Width() const = 0;
    [[nodiscard]] virtual int Height() const = 0;
    [[nodiscard]] virtual const std::uint8_t* Data() const = 0;
    [[nodiscard]] virtual std::uint64_t ChangeCount() const = 0;
};

enum class CursorShape
{
    Arrow,
    Wait
};

enum class ShowCommand
{
    Hide,
    Show, // show in its current state
    Minimize,
    Restore // back from minimised
};

// Which of a window's two icons: the large one (task switcher) or the small one (title bar).
enum class IconSize
{
    Big,
    Small
};

// The state a check box is given.
enum class CheckState
{
    Unchecked,
    Checked
};

// Whether a scroll bar shows a new range or position at once, or leaves it to the next repaint.
// The hosts' bars repaint themselves when they change, so both come to the same there.
enum class Redraw
{
    Now,
    Deferred
};

// How a window runs: beside the others (the main window), or alone until it ends (a dialog).
enum class WindowMode
{
    Modeless,
    Modal
};

enum class MessageBoxButtons
{
    Ok,
    YesNo,
    YesNoCancel
};

enum class MessageBoxIcon
{
    None,
    Exclamation,
    Question,
    Information
};

// What a message box shows. The result of a box is kIdOk for OK, for Yes/No boxes kIdYes or
// kIdNo, and for Yes/No/Cancel boxes one of those or kIdCancel.
struct MessageBoxRequest
{
    std::string caption;
    std::string text;
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxIcon icon = MessageBoxIcon::Exclamation;
};

// What a folder dialog shows. The folder chosen must exist.
struct FolderDialogRequest
{
    std::string title;
    std::string initialFolder; // the folder shown when the dialog opens; empty for the platform's choice
};

// The progress display of one long run on the user-interface thread (IHost::ShowProgress). It
// closes when destroyed.
class IHostProgress
{
public:
    virtual ~IHostProgress() = default;
    // Shows done of total (total 0: nothing known yet) and lets the user reach the Cancel button.
    // False once the user has pressed Cancel, and from then on.
    [[nodiscard]] virtual bool Update(std::uint64_t done, std::uint64_t total) = 0;
};

// One window made from a dialog template, as the host shows it. Control ids are those of the
// template; calls naming an id the template does not have do nothing (setters) or return an empty
// value (getters).
class IHostWindow
{
public:
    virtual ~IHostWindow() = default;

    virtual void SetTitle(std::string_view title) = 0;
    [[nodiscard]] virtual std::string GetTitle() const = 0;

    virtual void SetControlText(int id, std::string_view text) = 0;
    [[nodiscard]] virtual std::string GetControlText(int id) const = 0;
    virtual void SetCheck(int id, CheckState state) = 0;
    [[nodiscard]] virtual bool GetCheck(int id) const = 0;
    [[nodiscard]] virtual bool IsControlEnabled(int id) const = 0;
    virtual void SetFocusTo(int id) = 0;              // keyboard focus to a control
    [[nodiscard]] virtual int GetFocusId() const = 0; // control with the focus; 0 for none

    virtual void Show(ShowCommand command) = 0;
    [[nodiscard]] virtual bool IsVisible() const = 0;
    [[nodiscard]] virtual bool IsIconic() const = 0; // minimised

    // A control's client rectangle: (0, 0, width, height) in pixels.
    [[nodiscard]] virtual Rect GetControlClientRect(int id) const = 0;
    // Screen position of the top-left corner of a control's client area.
    [[nodiscard]] virtual Point GetControlScreenOrigin(int id) const = 0;
    // Screen position of the top-left corner of the window's client area.
    [[nodiscard]] virtual Point GetClientScreenOrigin() const = 0;

    virtual void SetScrollRange(int id, int minPos, int maxPos, Redraw redraw) = 0;
    virtual void SetScrollPos(int id, int pos, Redraw redraw) = 0;
    [[nodiscard]] virtual int GetScrollPos(int id) const = 0;

    // Appends an item (sending system command id) or a separator to the window's system menu.
    virtual void AppendSystemMenuItem(unsigned id, std::string_view text) = 0;
    virtual void AppendSystemMenuSeparator() = 0;
    virtual void SetIcon(const IconImage* icon, IconSize size) = 0;

    // The plot area control shows this buffer (not owned; nullptr shows black).
    virtual void SetPixelSource(int id, const IPixelSource* source) = 0;
    // Copies changed pixel sources to the screen now. The framework calls it after every handler
    // and before every modal box, so what a handler drew is on screen when it returns.
    virtual void PresentPixels() = 0;
};

// The application as a host's message loop serves it (CWinApp is the one the program has): every
// message for one of its windows goes through ProcessMessage, and the idle rule is asked whenever
// the queue has run empty.
class IMessageLoopClient
{
public:
    // Handles one message for target; true when consumed (a key) or handled (anything else).
    virtual bool ProcessMessage(CDialog& target, Message& msg) = 0;
    // Whether the idle rule wants OnQueueEmpty once the queue is empty.
    [[nodiscard]] virtual bool IsIdlePending() const = 0;
    // The queue has run empty: the idle call, when the rule says so.
    virtual void OnQueueEmpty() = 0;

protected:
    ~IMessageLoopClient() = default;
};

class IHost
{
public:
    virtual ~IHost() = default;

    // Makes the window of a template for owner (parent: nullptr or its owner window). Its controls
    // get the template texts, check boxes start unticked, the window starts hidden. nullptr when
    // it cannot be made.
    virtual std::unique_ptr<IHostWindow> CreateHostWindow(CDialog& owner, const DialogTemplate& dialog,
                                                          CDialog* parent) = 0;
    // Runs a modal window until CDialog::EndDialog ends it; returns the result given there.
    virtual int RunModal(CDialog& dialog, IHostWindow& window) = 0;
    // Ends the modal loop of window (called by EndDialog).
    virtual void EndModal(IHostWindow& window, int result) = 0;

    // The program's message loop, serving client until PostQuit; returns the exit code given there.
    virtual int RunMessageLoop(IMessageLoopClient& client) = 0;
    // Asks the loop to end with exitCode once the current message is handled.
    virtual void PostQuit(int exitCode) = 0;

    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // A modal open or save dialog; the full path chosen (default extension applied) or nothing.
    virtual std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) = 0;
    // A modal dialog that picks an existing folder; its path, or nothing.
    virtual std::optional<std::string> ShowFolderDialog(const FolderDialogRequest& request) = 0;
    // A progress display with a Cancel button over the window in front, for a run that holds the
    // user-interface thread: title is its caption, text says what runs. Runs that end within a
    // moment show nothing. Until it closes, the user can reach the Cancel button and nothing else
    // of the program's windows.
    virtual std::unique_ptr<IHostProgress> ShowProgress(std::string_view title, std::string_view text) = 0;

    // Called after every message handler has returned (and before every message box): copy
    // changed pixel sources of every window to the screen, and drop a wait cursor the handler left
    // set (a box shows the arrow over itself in any case). A handler that ends without setting
    // the arrow back must not leave the wait cursor up for good: elsewhere the next pointer move
    // would restore the arrow, and this does the same at once.
    virtual void EndOfHandler() = 0;

    virtual void SetCursor(CursorShape shape) = 0;
    // Pointer position in screen coordinates.
    [[nodiscard]] virtual Point GetCursorScreenPos() const = 0;
};

// The host in force (nullptr when none is installed; the framework then refuses to create
// windows and its message sink falls back to the base sink's stderr behaviour).
[[nodiscard]] IHost* GetHost();
IHost* SetHost(IHost* host); // returns the previous host; not owned

// Installs a host for the lifetime of the object.
class CScopedHost
{
public:
    explicit CScopedHost(IHost& host) : m_pHost(&host), m_pPrevious(SetHost(&host)) {}
    ~CScopedHost()
    {
        // Out of order, the host put back would be one that has already gone.
        assert(GetHost() == m_pHost && "CScopedHost: scopes end in the reverse order of their start");
        SetHost(m_pPrevious);
    }
    CScopedHost(const CScopedHost&) = delete;
    CScopedHost& operator=(const CScopedHost&) = delete;

private:
    [[maybe_unused]] IHost* m_pHost; // read by the assert only
    IHost* m_pPrevious;
};

// Marks a modal box or dialog as open for the lifetime of the object (they nest): CDialog::DoModal
// and the framework's message sink hold one while theirs runs. Input handled meanwhile is not
// activity for the idle rule, and no idle call is made until the last one has closed (WinApp.h).
class CModalScope
{
public:
    CModalScope();
    ~CModalScope();
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;
};

// Whether a modal box or dialog is open (a CModalScope exists).
[[nodiscard]] bool IsModalOpen();
