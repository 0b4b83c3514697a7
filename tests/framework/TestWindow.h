// A window class shaped like the program's main window (template 102, the same exchange order,
// accelerator pre-translation, empty OnOK/OnCancel) that records what reaches its handlers, and
// an application object around it. Used by the headless and the Qt host tests.
#pragma once

#include "framework/Accelerator.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework/WinApp.h"
#include "resources/Resources.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class CTestWindow : public CDialog
{
public:
    CTestWindow() : CDialog(kIddPlayback) {}

    // What reached the handlers, in order: "cmd 32774", "click 1004", "scroll 5 16000 bar",
    // "down 10,20 1", "move ...", "up ...", "drop a|b|c", "paint", "close", "sys 16", "ok", "cancel".
    std::vector<std::string> events;
    std::vector<int> commands;
    int paints = 0;
    std::vector<Point> cursorInPlot; // cursor position in plot coordinates at each mouse message
    bool quitOnClose = true;

    // Fields in the order of the exchange.
    CScrollBar m_scrollBar;
    CStatic m_plotArea;
    std::uint32_t m_plotEveryNth = 60;
    std::string m_strRecordNumber = "0";
    std::string m_strTimeStamp = "0";
    std::string m_strX, m_strY, m_strAngle, m_strLastRecord;
    std::array<bool, 7> m_colorFilter{true, true, true, true, true, true, true};
    std::int32_t m_maxTargetDistance = 100;
    std::int32_t m_minTargetDistance = 10;
    HACCEL m_hAccel = nullptr;
    HICON m_hIcon = nullptr;

    static constexpr int kColorIds[7] = {kIdcCheckRR, kIdcCheckPR, kIdcCheckRG, kIdcCheckPG,
                                         kIdcCheckRB, kIdcCheckPB, kIdcCheckLum};

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kIdcScrollBar, m_scrollBar);
        DDX_Control(pDX, kIdcPlotArea, m_plotArea);
        DDX_Text(pDX, kIdcPlotEveryNth, m_plotEveryNth);
        DDX_Text(pDX, kIdcRecordNumber, m_strRecordNumber);
        DDX_Text(pDX, kIdcTimeStamp, m_strTimeStamp);
        DDX_Text(pDX, kIdcX, m_strX);
        DDX_Text(pDX, kIdcY, m_strY);
        DDX_Text(pDX, kIdcAngle, m_strAngle);
        DDX_Text(pDX, kIdcLastRecord, m_strLastRecord);
        for (int i = 0; i < 7; ++i)
            DDX_Check(pDX, kColorIds[i], m_colorFilter[static_cast<std::size_t>(i)]);
        DDX_Text(pDX, kIdcMaxDistance, m_maxTargetDistance);
        DDX_Text(pDX, kIdcMinDistance, m_minTargetDistance);
    }

    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_hIcon = LoadIcon(kIdiProgramIcon);
        m_hAccel = LoadAccelerators(kIdrAccelerators);
        if (CMenu* menu = GetSystemMenu())
        {
            const std::string about = LoadString(kIdsAboutBox);
            if (!about.empty())
            {
                menu->AppendMenu(kMfSeparator);
                menu->AppendMenu(kMfString, kIdmAboutBox, about);
            }
        }
        SetIcon(m_hIcon, true);
        SetIcon(m_hIcon, false);
        return true;
    }

    bool PreTranslateMessage(Message& msg) override
    {
        if (IsKeyMessage(msg.kind) && m_hAccel != nullptr && TranslateAccelerator(*this, m_hAccel, msg))
            return true;
        return CDialog::PreTranslateMessage(msg);
    }
    bool ConsumesKey(const Message& msg) const override
    {
        return TranslateToCommand(m_hAccel, msg) != 0 || CDialog::ConsumesKey(msg);
    }

    void OnOK() override { events.push_back("ok"); }
    void OnCancel() override { events.push_back("cancel"); }

    bool OnWndMsg(const Message& msg) override
    {
        static constexpr MessageEntry<CTestWindow> kMessageMap[] = {
            MapCommand(kCmdFileOpen, &CTestWindow::OnAnyCommand),
            MapCommand(kCmdFileExit, &CTestWindow::OnFileExit),
            MapCommandRange(kCmdGenerateTimestampFiles, kCmdCalculateNewCenter, &CTestWindow::OnCommandId),
            MapCommand(kCmdAbout, &CTestWindow::OnAnyCommand),
            MapCommandRange(kCmdSelectRectangle0, kCmdSelectRectangle49, &CTestWindow::OnCommandId),
            MapCommand(kCmdDeleteRectangle, &CTestWindow::OnAnyCommand),
            MapCommand(kCmdCreateRectangle, &CTestWindow::OnAnyCommand),
            MapButtonClicked(kIdcPlotNow, &CTestWindow::OnPlotNow),
            MapButtonClicked(kIdcCheckRR, &CTestWindow::OnColorCheck),
            MapButtonClicked(kIdcCheckPR, &CTestWindow::OnColorCheck),
            MapHScroll(&CTestWindow::OnHScroll),
            MapLButtonDown(&CTestWindow::OnLButtonDown),
            MapLButtonUp(&CTestWindow::OnLButtonUp),
            MapMouseMove(&CTestWindow::OnMouseMove),
            MapDropFiles(&CTestWindow::OnDropFiles),
            MapPaint(&CTestWindow::OnPaint),
            MapClose(&CTestWindow::OnFileExit),
            MapSysCommand(&CTestWindow::OnSysCommand),
        };
        m_pLastMessage = &msg;
        return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
    }

    std::function<void()> onPlotNow; // extra work of the Plot Now button

private:
    void RecordCommand(int id)
    {
        commands.push_back(id);
        events.push_back("cmd " + std::to_string(id));
    }
    void OnAnyCommand() { RecordCommand(m_pLastMessage->id); }
    void OnCommandId(int id) { RecordCommand(id); }
    void OnFileExit()
    {
        events.push_back(m_pLastMessage->kind == MessageKind::Close ? "close" : "cmd 40002");
        if (m_pLastMessage->kind == MessageKind::Command)
            commands.push_back(kCmdFileExit);
        if (quitOnClose)
            PostQuitMessage(0);
    }
    void OnPlotNow()
    {
        events.push_back("click 1002");
        UpdateData(true);
        if (onPlotNow)
            onPlotNow();
    }
    void OnColorCheck()
    {
        events.push_back("click " + std::to_string(m_pLastMessage->id));
        UpdateData(true);
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
        if ((id & 0xFFF0u) == kIdmAboutBox)
            events.push_back("sys " + std::to_string(id));
        else
            DefaultSysCommand(id);
    }

    const Message* m_pLastMessage = nullptr;
};

class CTestApp : public CWinApp
{
public:
    CTestWindow m_dlg;
    int idleCalls = 0;
    std::vector<long> idleCounts;
    int idleReturnsTrueTimes = 0; // OnIdle returns true this many times first
    std::function<void()> onIdle; // extra work in OnIdle (a message box, a quit)

    bool InitInstance() override
    {
        if (!m_dlg.Create(kIddPlayback))
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
