#include "HeadlessFixture.h"
#include "framework/ResourceLoad.h"
#include "resources/ResourceIds.h"

namespace
{
struct KeyCase
{
    std::uint16_t vk;
    std::uint32_t modifiers;
    int command; // 0: not translated
};

// The keys of the main window's accelerator table, written out independently of the table.
std::vector<KeyCase> ExpectedTranslations()
{
    std::vector<KeyCase> cases;
    const std::uint32_t rows[5] = {kModNone, kModShift, kModControl, kModAlt, kModControl | kModAlt};
    for (int row = 0; row < 5; ++row)
        for (int digit = 0; digit < 10; ++digit)
            cases.push_back({VkDigit(digit), rows[row], 40010 + 10 * row + digit});
    cases.push_back({VkLetter('A'), kModControl, 32773});
    cases.push_back({VkLetter('O'), kModControl, 57601});
    cases.push_back({VkLetter('S'), kModControl, 32772});
    cases.push_back({VkLetter('X'), kModControl, 40002});
    cases.push_back({kVkDelete, kModNone, 40060});
    cases.push_back({kVkInsert, kModNone, 40061});
    cases.push_back({kVkLeft, kModNone, 32775});
    cases.push_back({kVkRight, kModNone, 32774});
    cases.push_back({kVkUp, kModNone, 32776});
    cases.push_back({kVkDown, kModNone, 32777});
    return cases;
}
} // namespace

// Test that every key of the table translates to its command.
TEST(Accelerator, EveryTableKeyTranslates)
{
    const HACCEL table = LoadAccelerators(kIdrAccelerators);
    ASSERT_NE(table, nullptr);
    for (const KeyCase& c : ExpectedTranslations())
        EXPECT_EQ(TranslateToCommand(table, MakeKeyMessage(MessageKind::KeyDown, c.vk, c.modifiers)),
                  c.command)
            << "key " << c.vk << " modifiers " << c.modifiers;
}

// Test that keys outside the table, wrong modifier sets and key releases are not translated.
TEST(Accelerator, OtherKeysAreNotTranslated)
{
    const HACCEL table = LoadAccelerators(kIdrAccelerators);
    std::vector<KeyCase> cases = {
        {VkLetter('G'), kModControl, 0}, // the Tools menu names Ctrl+G; the key does nothing
        {VkLetter('A'), kModNone, 0},
        {VkLetter('A'), kModControl | kModShift, 0},
        {VkDigit(0), kModControl | kModShift, 0},
        {VkDigit(5), kModShift | kModAlt, 0},
        {kVkLeft, kModShift, 0},
        {kVkReturn, kModNone, 0},
        {kVkEscape, kModNone, 0},
    };
    for (int digit = 0; digit < 10; ++digit)
        cases.push_back({VkNumpad(digit), kModNone, 0}); // keypad digits reach the edit boxes
    for (const KeyCase& c : cases)
        EXPECT_EQ(TranslateToCommand(table, MakeKeyMessage(MessageKind::KeyDown, c.vk, c.modifiers)), 0)
            << "key " << c.vk << " modifiers " << c.modifiers;
    EXPECT_EQ(TranslateToCommand(table, MakeKeyMessage(MessageKind::KeyUp, VkDigit(3))), 0);
    EXPECT_EQ(TranslateToCommand(nullptr, MakeKeyMessage(MessageKind::KeyDown, VkDigit(3))), 0);
}

using KeyRouting = HeadlessFixture;

// Test that with an edit focused, main-row digits and arrows of the window's table act as commands
// and type nothing, while keypad digits are typed into the edit.
TEST_F(KeyRouting, DigitsActAsCommandsKeypadDigitsType)
{
    Dlg().GetDlgItem(kIdcTestCount).SetFocus();
    host.PostKey(VkDigit(3));
    host.PostKey(kVkRight);
    host.PostKey(kVkDelete);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().commands, (std::vector<int>{103, 151, 172}));
    EXPECT_EQ(Window().GetControlText(kIdcTestCount), "60");

    host.PostKeypadDigit(3);
    host.RunUntilIdle();
    EXPECT_EQ(Window().GetControlText(kIdcTestCount), "603");
    EXPECT_EQ(Dlg().commands.size(), 3u);
}

// Test that Enter and Escape go to the window's OnOK and OnCancel and nothing else, also with the
// focus on a push button (the main window is no box that its buttons end), and that a key outside
// the table (Ctrl+G) does nothing at all.
TEST_F(KeyRouting, EnterEscapeAndCtrlGAreInert)
{
    for (const int focus : {kIdcTestLow, kIdcTestButton})
    {
        Dlg().GetDlgItem(focus).SetFocus();
        host.PostKey(kVkReturn);
        host.PostKey(kVkEscape);
        host.RunUntilIdle();
    }
    host.PostKey(VkLetter('G'), kModControl);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"ok", "cancel", "ok", "cancel"}));
    EXPECT_FALSE(host.QuitPosted());
    EXPECT_TRUE(Dlg().IsWindowVisible());
    EXPECT_EQ(Window().GetControlText(kIdcTestLow), "10");
}

// Test Enter in a modal dialog of the resources: it presses the push button that has the focus, and
// from an edit, or when the focused button was disabled, it is the default action (OK).
TEST_F(KeyRouting, EnterInABoxPressesTheFocusedButton)
{
    struct Case
    {
        int focus;
        bool disable;
        int result;
    };
    const Case cases[] = {{kIdCancel, false, kIdCancel},
                          {kIdOk, false, kIdOk},
                          {kIdcRegionLeft, false, kIdOk},
                          {kIdCancel, true, kIdOk}};
    for (const Case& c : cases)
    {
        host.modalScripts.emplace_back(
            [c](CHeadlessHost& h, CDialog& d)
            {
                d.GetDlgItem(c.focus).SetFocus();
                h.FindWindow(d)->FindControl(c.focus)->enabled = !c.disable;
                h.PostKey(kVkReturn, kModNone, &d);
            });
        CDialog box(kIddRegionProperties, &Dlg());
        EXPECT_EQ(box.DoModal(), c.result) << "focus " << c.focus;
    }
}

// Test that Ctrl+X ends the program through the window's exit command.
TEST_F(KeyRouting, CtrlXExits)
{
    host.PostKey(VkLetter('X'), kModControl);
    EXPECT_EQ(host.RunUntilIdle(), 0);
    EXPECT_EQ(Dlg().commands, (std::vector<int>{kCmdTestExit}));
}

// Test that what a window says it would consume is what its pre-translation consumes: the table's
// keys and Enter and Escape for the test window, only Enter and Escape for a dialog without a
// table; key releases, keypad digits and keys outside the table for neither.
TEST_F(KeyRouting, ConsumesKeyAnswersAsThePreTranslationActs)
{
    struct Case
    {
        Message msg;
        bool window; // the test window consumes it
        bool box;    // a dialog with the base pre-translation consumes it
    };
    const Case cases[] = {
        {MakeKeyMessage(MessageKind::KeyDown, VkDigit(3)), true, false},
        {MakeKeyMessage(MessageKind::KeyDown, VkDigit(0), kModShift), true, false},
        {MakeKeyMessage(MessageKind::KeyDown, VkDigit(0), kModShift | kModControl), false, false},
        {MakeKeyMessage(MessageKind::KeyDown, VkLetter('A'), kModControl), true, false},
        {MakeKeyMessage(MessageKind::KeyDown, VkLetter('G'), kModControl), false, false},
        {MakeKeyMessage(MessageKind::KeyDown, VkNumpad(3)), false, false},
        {MakeKeyMessage(MessageKind::KeyDown, kVkReturn), true, true},
        {MakeKeyMessage(MessageKind::KeyDown, kVkEscape), true, true},
        {MakeKeyMessage(MessageKind::KeyDown, kVkReturn, kModShift), false, false},
        {MakeKeyMessage(MessageKind::KeyUp, kVkReturn), false, false},
        {MakeKeyMessage(MessageKind::KeyUp, VkDigit(3)), false, false},
    };
    CTestBox box;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "key " << c.msg.id << " modifiers " << c.msg.modifiers);
        Message forWindow = c.msg;
        EXPECT_EQ(Dlg().ConsumesKey(c.msg), c.window);
        EXPECT_EQ(Dlg().PreTranslateMessage(forWindow), c.window);
        Message forBox = c.msg;
        EXPECT_EQ(box.ConsumesKey(c.msg), c.box);
        EXPECT_EQ(box.PreTranslateMessage(forBox), c.box);
    }
}
