// Accelerator table 132 of the main window. Every entry is a virtual-key entry. There is no entry
// for Ctrl+G (the Tools menu names it, the key does nothing), none for the keypad digits (they
// reach the edit boxes), and none for commands 32778 and 32779. Of the later commands only undo
// and redo of region edits have keys.
#include "resources/Resources.h"

#include <array>

namespace
{
constexpr std::uint8_t kV = kAccelVirtKey;

// The five rows of rectangle keys: digit d with the row's modifiers selects rectangle 10 * row + d.
constexpr std::uint8_t kRowModifiers[5] = {0, kAccelShift, kAccelControl, kAccelAlt,
                                           kAccelControl | kAccelAlt};

constexpr std::size_t kNamedEntries = 12;
constexpr std::size_t kEntryCount = 50 + kNamedEntries;

constexpr std::array<AcceleratorEntry, kEntryCount> MakeTable()
{
    std::array<AcceleratorEntry, kEntryCount> table{};
    std::size_t n = 0;
    for (int row = 0; row < 5; ++row)
        for (int digit = 0; digit < 10; ++digit)
            table[n++] = {static_cast<std::uint8_t>(kV | kRowModifiers[row]), VkDigit(digit),
                          kCmdSelectRectangle0 + 10 * row + digit};
    table[n++] = {kV | kAccelControl, VkLetter('A'), kCmdEntireTrack};
    table[n++] = {kV | kAccelControl, VkLetter('O'), kCmdFileOpen};
    table[n++] = {kV | kAccelControl, VkLetter('S'), kCmdSaveBitmap};
    table[n++] = {kV | kAccelControl, VkLetter('X'), kCmdFileExit};
    table[n++] = {kV | kAccelControl, VkLetter('Z'), kCmdUndoRegionEdit};
    table[n++] = {kV | kAccelControl, VkLetter('Y'), kCmdRedoRegionEdit};
    table[n++] = {kV, kVkDelete, kCmdDeleteRectangle};
    table[n++] = {kV, kVkInsert, kCmdCreateRectangle};
    table[n++] = {kV, kVkLeft, kCmdPreviousFrame};
    table[n++] = {kV, kVkRight, kCmdNextFrame};
    table[n++] = {kV, kVkUp, kCmdOneSecondForward};
    table[n++] = {kV, kVkDown, kCmdOneSecondBack};
    return table;
}

constexpr std::array<AcceleratorEntry, kEntryCount> kMainEntries = MakeTable();

constexpr AcceleratorTable kTables[] = {
    {kIdrAccelerators, kMainEntries},
};
} // namespace

const AcceleratorTable* FindAcceleratorTable(int id)
{
    for (const AcceleratorTable& table : kTables)
        if (table.id == id)
            return &table;
    return nullptr;
}
