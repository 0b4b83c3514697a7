#include "HeadlessFixture.h"

namespace
{
// A tiny window class whose map covers every kind of entry.
class CMapWindow : public CDialog
{
public:
    CMapWindow() : CDialog(kTestWindowTemplate) {}
    std::vector<std::string> calls;

    bool OnWndMsg(const Message& msg) override;

    void OnHundred() { calls.push_back("hundred"); }
    void OnRange(int id) { calls.push_back("range " + std::to_string(id)); }
    void OnButton() { calls.push_back("button"); }
    void OnScroll(unsigned code, unsigned pos, CScrollBar* bar)
    {
        calls.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos) +
                        (bar ? " bar" : " nobar"));
    }
    void OnSys(unsigned id) { calls.push_back("sys " + std::to_string(id)); }
};

constexpr MessageEntry<CMapWindow> kMap[] = {
    MapCommand(100, &CMapWindow::OnHundred),
    MapCommandRange(200, 209, &CMapWindow::OnRange),
    MapCommand(205, &CMapWindow::OnHundred), // shadowed by the range: the first entry wins
    MapButtonClicked(1002, &CMapWindow::OnButton),
    MapHScroll(&CMapWindow::OnScroll),
    MapSysCommand(&CMapWindow::OnSys),
};

bool CMapWindow::OnWndMsg(const Message& msg)
{
    return DispatchMessageMap(*this, kMap, msg) || CDialog::OnWndMsg(msg);
}

struct LookupCase
{
    Message msg;
    int expectedEntry; // index into kMap, -1 for none
};
} // namespace

// Test that lookups find the first matching entry, respect range ends and tell kinds apart.
TEST(MessageMap, LookupFindsFirstMatchingEntry)
{
    const LookupCase cases[] = {
        {MakeIdMessage(MessageKind::Command, 100), 0},
        {MakeIdMessage(MessageKind::Command, 101), -1},
        {MakeIdMessage(MessageKind::Command, 199), -1},
        {MakeIdMessage(MessageKind::Command, 200), 1},
        {MakeIdMessage(MessageKind::Command, 205), 1},
        {MakeIdMessage(MessageKind::Command, 209), 1},
        {MakeIdMessage(MessageKind::Command, 210), -1},
        {MakeIdMessage(MessageKind::Command, 1002), -1}, // a command is not a click
        {MakeIdMessage(MessageKind::ButtonClicked, 1002), 3},
        {MakeIdMessage(MessageKind::ButtonClicked, 100), -1}, // a click is not a command
        {MakeScrollMessage(1011, kSbThumbTrack, 5), 4},
        {MakeIdMessage(MessageKind::SysCommand, 16), 5},
        {MakeMessage(MessageKind::Paint), -1},
    };
    for (const LookupCase& c : cases)
    {
        const MessageEntry<CMapWindow>* entry = FindMessageEntry(kMap, c.msg);
        const int index = entry == nullptr ? -1 : static_cast<int>(entry - kMap);
        EXPECT_EQ(index, c.expectedEntry) << "message id " << c.msg.id;
    }
}

// Test that dispatch hands each handler its arguments, and reports unhandled messages.
TEST(MessageMap, DispatchPassesArguments)
{
    CMapWindow window;
    EXPECT_TRUE(DispatchMessageMap(window, kMap, MakeIdMessage(MessageKind::Command, 207)));
    EXPECT_TRUE(DispatchMessageMap(window, kMap, MakeScrollMessage(1011, kSbThumbTrack, 16000)));
    EXPECT_TRUE(DispatchMessageMap(window, kMap, MakeIdMessage(MessageKind::SysCommand, 0xF060)));
    EXPECT_FALSE(DispatchMessageMap(window, kMap, MakeIdMessage(MessageKind::Command, 40009)));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"range 207", "scroll 5 16000 nobar", "sys 61536"}));
}

using MessageRouting = HeadlessFixture;

// Test that a command without a map entry reaches no handler and changes nothing.
TEST_F(MessageRouting, UnmappedCommandDoesNothing)
{
    host.PostCommand(kCmdTestUnmapped);
    host.RunUntilIdle();
    EXPECT_TRUE(Dlg().events.empty());
    EXPECT_FALSE(host.QuitPosted());
}

// Test that a scroll handler receives the CScrollBar bound by DDX_Control.
TEST_F(MessageRouting, ScrollHandlerGetsBoundScrollBar)
{
    host.PostScroll(kIdcTestBar, kSbPageRight, 0);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"scroll 3 0 bar"}));
}

// Test that the window's own item of the system menu reaches the handler and other system
// commands get the default processing (minimise, restore with its paint, close).
TEST_F(MessageRouting, SystemCommands)
{
    host.PostSysCommand(kIdmTestItem);
    host.PostMinimize();
    host.RunUntilIdle();
    EXPECT_TRUE(Dlg().IsIconic());
    EXPECT_EQ(Dlg().paints, 0);
    host.PostRestore();
    host.RunUntilIdle();
    EXPECT_FALSE(Dlg().IsIconic());
    EXPECT_EQ(Dlg().paints, 1);
    host.PostSysCommand(kScClose);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"sys 32", "paint", "close"}));
    EXPECT_TRUE(host.QuitPosted());
}
