// The Qt 6 Widgets host: the real screen. Windows with a menu become a QMainWindow (menu bar from
// the template's menu resource, central widget holding the controls at their template pixel
// positions, fixed size, opened at the top-left corner); modal templates become a QDialog.
// Controls: QLabel (readouts with a sunken panel frame), QLineEdit (digits-only validator),
// QCheckBox, QPushButton, QScrollBar, QGroupBox, and the plot widget (a sunken frame whose client
// area, as large as its template says, shows the pixel source and lets mouse input through to the
// window).
//
// Input: an application-wide event filter hands every key press and release aimed at one of our
// windows to CWinApp::ProcessMessage before any widget sees it, so accelerators act whichever
// control has the focus; a key it does not consume goes on to the widget (keypad digits are typed
// into the edits). A key the window says it consumes (CDialog::ConsumesKey) comes before any Qt
// shortcut. Menu items show their shortcut text but register no shortcut. Mouse presses,
// moves and releases over the window background and the plot area, button clicks, scroll bar
// actions, drops, closing and exposure become framework messages.
//
// Paint messages: Qt keeps a window's pixels in its backing store, so being uncovered needs no
// repaint; the window gets its paint message when it is first shown and when it is restored from
// minimised (as OnPaint expects: clear the plot, redraw the regions).
// The system menu: Qt cannot reach the window manager's menu, so items appended to it appear in
// the context menu of the window's background (right click), sending their system command.
// Files: paths are passed on in the local 8-bit encoding (QFile::encodeName); only local files of
// a drop are passed on. Open dialogs take any typed name; save dialogs never ask before replacing
// one. Default extensions are applied by ResolveFileDialogName, as in the tests' scripted host.
// Cursor: the wait cursor is an application override cursor, dropped after each handler.
// Long runs: the progress display is a window-modal QProgressDialog (QtProgress.h); while one is
// open, no input reaches the program's windows (keys are swallowed, clicks and commands dropped),
// only paint. Folders are picked with a QFileDialog in directory mode.
//
// Only this folder includes Qt.
#pragma once

#include "framework/Host.h"
#include "framework/qt/QtWindowRegistry.h"

#include <memory>

class QWidget;
class CDialog;

class CQtHost final : public IHost
{
public:
    CQtHost(); // needs a QApplication to exist; installs the application-wide key filter
    ~CQtHost() override;
    CQtHost(const CQtHost&) = delete;
    CQtHost& operator=(const CQtHost&) = delete;

    std::unique_ptr<IHostWindow> CreateHostWindow(CDialog& owner, const DialogTemplate& dialog,
                                                  CDialog* parent) override;
    int RunModal(CDialog& dialog, IHostWindow& window) override;
    void EndModal(IHostWindow& window, int result) override;
    int RunMessageLoop(IMessageLoopClient& client) override;
    void PostQuit(int exitCode) override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> ShowFolderDialog(const FolderDialogRequest& request) override;
    std::unique_ptr<IHostProgress> ShowProgress(std::string_view title, std::string_view text) override;
    void EndOfHandler() override;
    void SetCursor(CursorShape shape) override;
    [[nodiscard]] Point GetCursorScreenPos() const override;

    // For tests: the top-level widget of a window and the widget of one of its controls.
    [[nodiscard]] static QWidget* WindowWidget(const CDialog& dialog);
    [[nodiscard]] static QWidget* ControlWidget(const CDialog& dialog, int controlId);

    [[nodiscard]] bool QuitPosted() const { return m_bQuit; }

private:
    class CKeyFilter;
    CQtWindowRegistry m_registry; // the windows and progress displays of this host, which it outlives
    std::unique_ptr<CKeyFilter> m_pKeyFilter;
    bool m_bQuit = false;
    int m_nExitCode = 0;
    bool m_bWaitCursor = false;
};

// The GUI program's main: makes the QApplication and the host and runs AfxWinMain.
int RunQtApplication(int argc, char** argv);
