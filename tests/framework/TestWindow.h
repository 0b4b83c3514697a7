// A small window of the framework tests' own: its own template (a plot area, an unsigned edit, a
// readout, two check boxes, two signed edits, a push button, a scroll bar), its own accelerator
// table and system-menu item. It records what reaches its handlers; CTestApp runs it as the main
// window. Used by the headless and the Qt host tests.
#pragma once

#include "framework/Accelerator.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework/WinApp.h"
#include "resources/VirtualKeys.h"

#include <functional>
#include <string>
#include <vector>

// --- The window's resources ---------------------------------------------------------------------

inline constexpr const char* kTestAppName = "test app"; // the caption of every box

inline constexpr int kIddTestWindow = 900;
inline constexpr int kIddTestBox = 901; // a modal box with an OK button

inline constexpr int kIdcTestPlot = 10;
inline constexpr int kIdcTestCount = 11;   // unsigned edit: "Please enter a positive integer."
inline constexpr int kIdcTestReadout = 12; // text
inline constexpr int kIdcTestCheckA = 13;
inline constexpr int kIdcTestCheckB = 14;
inline constexpr int kIdcTestHigh = 15; // signed edit, exchanged before kIdcTestLow
inline constexpr int kIdcTestLow = 16;  // signed edit
inline constexpr int kIdcTestButton = 17;
inline constexpr int kIdcTestDimmed = 18; // a readout created disabled
inline constexpr int kIdcTestBar = 19;

// Commands: the table's keys give kCmdTestFirst .. kCmdTestLast, Ctrl+X gives kCmdTestExit (the
// program ends); kCmdTestUnmapped has no handler.
inline constexpr int kCmdTestFirst = 100;
inline constexpr int kCmdTestLast = 199;
inline constexpr int kCmdTestExit = 200;
inline constexpr int kCmdTestUnmapped = 300;
inline constexpr unsigned kIdmTestItem = 32; // the system-menu item the window appends

// The plot area: 160 x 120 pixels inside a 2-pixel edge, at pixel (6, 6) of the client area.
inline constexpr PixelClientArea kTestPlotClient{160, 120, 2};

inline constexpr ControlTemplate kTestControls[] = {
    {kIdcTestPlot, ControlKind::PlotArea, "", {4, 4, 112, 80}, kStyleNone, kTestPlotClient},
    {kIdcStatic, ControlKind::Label, "Count:", {120, 6, 24, 10}, kStyleNone},
    {kIdcTestCount, ControlKind::Edit, "", {146, 4, 40, 12}, kStyleDigitsOnly | kStyleTabStop},
    {kIdcTestReadout, ControlKind::Readout, "0", {120, 20, 40, 12}, kStyleCentered | kStyleSunken},
    {kIdcTestDimmed, ControlKind::Readout, "-", {164, 20, 30, 12}, kStyleSunken | kStyleDisabled},
    {kIdcTestCheckA, ControlKind::CheckBox, "A", {120, 36, 30, 10}, kStyleTabStop},
    {kIdcTestCheckB, ControlKind::CheckBox, "B", {152, 36, 30, 10}, kStyleTabStop},
    {kIdcTestHigh, ControlKind::Edit, "", {120, 50, 30, 12}, kStyleDigitsOnly | kStyleTabStop},
    {kIdcTestLow, ControlKind::Edit, "", {160, 50, 30, 12}, kStyleDigitsOnly | kStyleTabStop},
    {kIdcTestButton, ControlKind::PushButton, "Run", {120, 66, 40, 14}, kStyleTabStop},
    {kIdcTestBar, ControlKind::HScrollBar, "", {4, 90, 112, 9}, kStyleNone},
};

// 200 x 104 dialog units: 300 x 169 pixels.
inline constexpr DialogTemplate kTestWindowTemplate{
    kIddTestWindow,
    "Test window",
    {0, 0, 200, 104},
    0,
    kDialogSystemMenu | kDialogMinimizeBox | kDialogFixedFrame | kDialogAcceptFiles | kDialogVisible,
    "MS Sans Serif",
    8,
    kTestControls};

inline constexpr ControlTemplate kTestBoxControls[] = {
    {kIdcStatic, ControlKind::Label, "A modal box", {8, 8, 100, 8}, kStyleNone},
    {kIdOk, ControlKind::PushButton, "OK", {64, 22, 50, 14}, kStyleDefault | kStyleTabStop},
};

inline constexpr DialogTemplate kTestBoxTemplate{
    kIddTestBox,     "Test box", {0, 0, 120, 42}, 0, kDialogSystemMenu | kDialogModalFrame,
    "MS Sans Serif", 8,          kTestBoxControls};

inline constexpr std::uint8_t kV = kAccelVirtKey;
inline constexpr AcceleratorEntry kTestKeys[] = {
    {kV, VkDigit(3), 103},
    {kV | kAccelShift, VkDigit(0), 110},
    {kV | kAccelControl, VkDigit(5), 125},
    {kV | kAccelAlt, VkDigit(7), 137},
    {kV | kAccelControl | kAccelAlt, VkDigit(9), 149},
    {kV, kVkRight, 151},
    {kV, kVkLeft, 152},
    {kV, kVkUp, 153},
    {kV, kVkDown, 154},
    {kV | kAccelControl, VkLetter('A'), 161},
    {kV | kAccelControl, VkLetter('S'), 162},
    {kV, kVkInsert, 171},
    {kV, kVkDelete, 172},
    {kV | kAccelControl, VkLetter('X'), kCmdTestExit},
};
inline constexpr AcceleratorTable kTestAccelerators{0, kTestKeys};

inline constexpr std::uint8_t kTestIconPixels[2 * 2 * 4] = {255, 0, 0,   255, 0,   255, 0,   255,
                                                            0,   0, 255, 255, 255, 255, 255, 255};
inline constexpr IconImage kTestIcon{0, 2, 2, kTestIconPixels};

// A modal box of the test's own.
class CTestBox : public CDialog
{
public:
    explicit CTestBox(CDialog* pParent = nullptr) : CDialog(kTestBoxTemplate, pParent) {}
};

// --- The window ---------------------------------------------------------------------------------

class CTestWindow : public CDialog
{
public:
    CTestWindow() : CDialog(kTestWindowTemplate) {}

    // What reached the handlers, in order: "cmd 103", "click 17", "scroll 5 16000 bar",
    // "down 10,20 1", "move ...", "up ...", "drop a|b|c", "paint", "close", "sys 32", "ok", "cancel".
    std::vector<std::string> events;
    std::vector<int> commands;       // the commands among them
    int paints = 0;                  // paint messages handled
    std::vector<Point> cursorInPlot; // the cursor in plot coordinates at each mouse message
    std::function<void()> onButton;  // extra work of the push button

    // Fields, in the order of the exchange.
    CScrollBar m_scrollBar;
    CStatic m_plotArea;
    std::uint32_t m_nCount = 60;
    std::string m_strReadout = "0";
    bool m_bCheckA = true;
    bool m_bCheckB = true;
    std::int32_t m_nHigh = 100;
    std::int32_t m_nLow = 10;

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kIdcTestBar, m_scrollBar);
        DDX_Control(pDX, kIdcTestPlot, m_plotArea);
        DDX_Text(pDX, kIdcTestCount, m_nCount);
        DDX_Text(pDX, kIdcTestReadout, m_strReadout);
        DDX_Check(pDX, kIdcTestCheckA, m_bCheckA);
        DDX_Check(pDX, kIdcTestCheckB, m_bCheckB);
        DDX_Text(pDX, kIdcTestHigh, m_nHigh);
        DDX_Text(pDX, kIdcTestLow, m_nLow);
    }

    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (CMenu* menu = GetSystemMenu())
        {
            menu->AppendMenu(kMfSeparator);
            menu->AppendMenu(kMfString, kIdmTestItem, "&About the test...");
        }
        SetIcon(&kTestIcon, IconSize::Big);
        SetIcon(&kTestIcon, IconSize::Small);
        return true;
    }

    // The table before anything else, whichever control has the focus.
    bool PreTranslateMessage(Message& msg) override
    {
        return TranslateAccelerator(*this, &kTestAccelerators, msg) || CDialog::PreTranslateMessage(msg);
    }
    [[nodiscard]] bool ConsumesKey(const Message& msg) const override
    {
        return TranslateToCommand(&kTestAccelerators, msg) != 0 || CDialog::ConsumesKey(msg);
    }

    void OnOK() override { events.push_back("ok"); }
    void OnCancel() override { events.push_back("cancel"); }

    bool OnWndMsg(const Message& msg) override
    {
        static constexpr MessageEntry<CTestWindow> kMessageMap[] = {
            MapCommandRange(kCmdTestFirst, kCmdTestLast, &CTestWindow::OnCommand),
            MapCommand(kCmdTestExit, &CTestWindow::OnExit),
            MapButtonClicked(kIdcTestButton, &CTestWindow::OnButton),
            MapButtonClicked(kIdcTestCheckA, &CTestWindow::OnCheckA),
            MapButtonClicked(kIdcTestCheckB, &CTestWindow::OnCheckB),
            MapHScroll(&CTestWindow::OnHScroll),
            MapLButtonDown(&CTestWindow::OnLButtonDown),
            MapLButtonUp(&CTestWindow::OnLButtonUp),
            MapMouseMove(&CTestWindow::OnMouseMove),
            MapDropFiles(&CTestWindow::OnDropFiles),
            MapPaint(&CTestWindow::OnPaint),
            MapClose(&CTestWindow::OnClose),
            MapSysCommand(&CTestWindow::OnSysCommand),
        };
        return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
    }

private:
    void OnCommand(int id)
    {
        commands.push_back(id);
        events.push_back("cmd " + std::to_string(id));
    }
    void OnExit()
    {
        OnCommand(kCmdTestExit);
        PostQuitMessage(0);
    }
    void OnClose()
    {
        events.push_back("close");
        PostQuitMessage(0);
    }
    void OnButton()
    {
        events.push_back("click " + std::to_string(kIdcTestButton));
        UpdateData(ExchangeDirection::FromControls);
        if (onButton)
            onButton();
    }
    void OnCheckA() { OnCheck(kIdcTestCheckA); }
    void OnCheckB() { OnCheck(kIdcTestCheckB); }
    void OnCheck(int id)
    {
        events.push_back("click " + std::to_string(id));
        UpdateData(ExchangeDirection::FromControls);
    }
    void OnHScroll(unsigned code, unsigned pos, CScrollBar* bar)
    {
        events.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos) +
                         (bar == &m_scrollBar ? " bar" : " nobar"));
    }
    void RecordMouse(const char* what, unsigned flags, Point point)
    {
        events.push_back(std::string(what) + " " + std::to_string(point.x) + "," + std::to_string(point.y) +
                         " " + std::to_string(flags));
        Point cursor = GetCursorPos();
        m_plotArea.ScreenToClient(cursor);
        cursorInPlot.push_back(cursor);
    }
    void OnLButtonDown(unsigned flags, Point point) { RecordMouse("down", flags, point); }
    void OnLButtonUp(unsigned flags, Point point) { RecordMouse("up", flags, point); }
    void OnMouseMove(unsigned flags, Point point) { RecordMouse("move", flags, point); }
    void OnDropFiles(const std::vector<std::string>& paths)
    {
        std::string joined;
        for (const std::string& path : paths)
            joined += (joined.empty() ? "" : "|") + path;
        events.push_back("drop " + joined);
    }
    void OnPaint()
    {
        ++paints;
        events.push_back("paint");
    }
    void OnSysCommand(unsigned id)
    {
        if ((id & 0xFFF0u) == kIdmTestItem)
            events.push_back("sys " + std::to_string(id));
        else
            DefaultSysCommand(id);
    }
};

// The application around the window; its idle hook counts and can be scripted.
class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(kTestAppName) {}

    CTestWindow m_dlg;
    int idleCalls = 0;
    std::vector<long> idleCounts;
    int idleReturnsTrueTimes = 0; // OnIdle returns true this many times first
    std::function<void()> onIdle; // extra work in OnIdle (a message box, a quit)

    bool InitInstance() override
    {
        if (!m_dlg.Create(kIddTestWindow))
            return false;
        m_dlg.ShowWindow(ShowCommand::Show);
        m_pMainWnd = &m_dlg;
        return true;
    }

    bool OnIdle(long count) override
    {
        ++idleCalls;
        idleCounts.push_back(count);
        if (onIdle)
            onIdle();
        if (idleReturnsTrueTimes > 0)
        {
            --idleReturnsTrueTimes;
            return true;
        }
        return false;
    }
};
