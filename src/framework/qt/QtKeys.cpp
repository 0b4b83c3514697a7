#include "framework/qt/QtKeys.h"

#include "framework/Message.h"
#include "resources/VirtualKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace
{
// Shift+digit symbols of the US layout, indexed by digit.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

int DigitOfShiftedSymbol(int qtKey)
{
    for (int d = 0; d < 10; ++d)
        if (qtKey == kShiftedDigits[d])
            return d;
    return -1;
}

// X11 key codes of the main-row digits on PC keyboards: 10 is '1' ... 18 is '9', 19 is '0'.
constexpr quint32 kX11KeyCodeOf1 = 10;
constexpr quint32 kX11KeyCodeOf9 = 18;
constexpr quint32 kX11KeyCodeOf0 = 19;

int DigitOfX11ScanCode(quint32 scanCode)
{
    if (scanCode >= kX11KeyCodeOf1 && scanCode <= kX11KeyCodeOf9)
        return static_cast<int>(scanCode - kX11KeyCodeOf1) + 1;
    if (scanCode == kX11KeyCodeOf0)
        return 0;
    return -1;
}

struct KeyPair
{
    int qt;
    std::uint16_t vk;
};

constexpr KeyPair kNamedKeys[] = {
    {Qt::Key_Backspace, kVkBack}, {Qt::Key_Tab, kVkTab},      {Qt::Key_Backtab, kVkTab},
    {Qt::Key_Return, kVkReturn},  {Qt::Key_Enter, kVkReturn}, {Qt::Key_Escape, kVkEscape},
    {Qt::Key_Space, kVkSpace},    {Qt::Key_Left, kVkLeft},    {Qt::Key_Up, kVkUp},
    {Qt::Key_Right, kVkRight},    {Qt::Key_Down, kVkDown},    {Qt::Key_Insert, kVkInsert},
    {Qt::Key_Delete, kVkDelete},  {Qt::Key_Shift, kVkShift},  {Qt::Key_Control, kVkControl},
    {Qt::Key_Alt, kVkMenu},       {Qt::Key_F4, kVkF4},
};
} // namespace

std::uint16_t VirtualKeyFromQt(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? VkNumpad(key - Qt::Key_0) : VkDigit(key - Qt::Key_0);
    if (!keypad && (event.modifiers() & Qt::ShiftModifier) != 0)
    {
        int digit = -1;
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            digit = DigitOfX11ScanCode(event.nativeScanCode());
        if (digit < 0)
            digit = DigitOfShiftedSymbol(key);
        if (digit >= 0)
            return VkDigit(digit);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return VkLetter(static_cast<char>('A' + (key - Qt::Key_A)));
    for (const KeyPair& pair : kNamedKeys)
        if (pair.qt == key)
            return pair.vk;
    return 0;
}

std::uint32_t ModifiersFromQt(const QKeyEvent& event)
{
    std::uint32_t modifiers = kModNone;
    const Qt::KeyboardModifiers qt = event.modifiers();
    if ((qt & Qt::ShiftModifier) != 0)
        modifiers |= kModShift;
    if ((qt & Qt::ControlModifier) != 0)
        modifiers |= kModControl;
    if ((qt & Qt::AltModifier) != 0)
        modifiers |= kModAlt;
    return modifiers;
}
