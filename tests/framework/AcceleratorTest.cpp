#include "HeadlessFixture.h"

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

// Test that with an edit focused, main-row digits and arrows act as commands and type nothing,
// while keypad digits are typed into the edit.
TEST_F(KeyRouting, DigitsActAsCommandsKeypadDigitsType)
{
    Dlg().GetDlgItem(kIdcPlotEveryNth).SetFocus();
    host.PostKey(VkDigit(3));
    host.PostKey(kVkRight);
    host.PostKey(kVkDelete);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().commands, (std::vector<int>{40013, 32774, 40060}));
    EXPECT_EQ(Window().GetControlText(kIdcPlotEveryNth), "60");

    host.PostKeypadDigit(3);
    host.RunUntilIdle();
    EXPECT_EQ(Window().GetControlText(kIdcPlotEveryNth), "603");
    EXPECT_EQ(Dlg().commands.size(), 3u);
}

// Test that Enter and Escape go to the window's (empty) OnOK and OnCancel and nothing else, and
// that Ctrl+G does nothing at all.
TEST_F(KeyRouting, EnterEscapeAndCtrlGAreInert)
{
    Dlg().GetDlgItem(kIdcMinDistance).SetFocus();
    host.PostKey(kVkReturn);
    host.PostKey(kVkEscape);
    host.PostKey(VkLetter('G'), kModControl);
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_FALSE(host.QuitPosted());
    EXPECT_TRUE(Dlg().IsWindowVisible());
    EXPECT_EQ(Window().GetControlText(kIdcMinDistance), "10");
}

// Test that Ctrl+X ends the program through the Exit command.
TEST_F(KeyRouting, CtrlXExits)
{
    host.PostKey(VkLetter('X'), kModControl);
    EXPECT_EQ(host.RunUntilIdle(), 0);
    EXPECT_EQ(Dlg().commands, (std::vector<int>{kCmdFileExit}));
}
