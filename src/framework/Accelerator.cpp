#include "framework/Accelerator.h"

#include "framework/Dialog.h"

#include <limits>

namespace
{
// The accelerator modifier flags for a key message's modifiers.
constexpr std::uint8_t ToAcceleratorModifiers(std::uint32_t modifiers)
{
    std::uint8_t flags = 0;
    if ((modifiers & kModShift) != 0)
        flags |= kAccelShift;
    if ((modifiers & kModControl) != 0)
        flags |= kAccelControl;
    if ((modifiers & kModAlt) != 0)
        flags |= kAccelAlt;
    return flags;
}

constexpr std::uint8_t kModifierMask = kAccelShift | kAccelControl | kAccelAlt;
} // namespace

const AcceleratorEntry* FindAccelerator(const AcceleratorTable& table, std::uint16_t virtualKey,
                                        std::uint32_t modifiers)
{
    const std::uint8_t wanted = ToAcceleratorModifiers(modifiers);
    for (const AcceleratorEntry& entry : table.entries)
        if ((entry.flags & kAccelVirtKey) != 0 && entry.key == virtualKey &&
            (entry.flags & kModifierMask) == wanted)
            return &entry;
    return nullptr;
}

int TranslateToCommand(HACCEL table, const Message& msg)
{
    if (table == nullptr || msg.kind != MessageKind::KeyDown || msg.id < 0 ||
        msg.id > std::numeric_limits<std::uint16_t>::max())
        return 0;
    const AcceleratorEntry* entry =
        FindAccelerator(*table, static_cast<std::uint16_t>(msg.id), msg.modifiers);
    return entry != nullptr ? entry->command : 0;
}

bool TranslateAccelerator(CDialog& target, HACCEL table, const Message& msg)
{
    const int command = TranslateToCommand(table, msg);
    if (command == 0)
        return false;
    target.OnWndMsg(MakeIdMessage(MessageKind::Command, command));
    return true;
}
