// Accelerator translation: a key-down message whose virtual key and modifiers match an entry of
// the table becomes that entry's command, sent to the target window, and the key message is
// consumed. Modifiers must match exactly (Ctrl+Shift+0 matches no entry of a table that has only
// Ctrl+0). Key-up messages are never translated and go on to the control.
#pragma once

#include "framework/Message.h"
#include "framework/ResourceLoad.h"

#include <cstdint>

class CDialog;

// The entry matching a key with the given KeyModifiers, or nullptr.
[[nodiscard]] const AcceleratorEntry* FindAccelerator(const AcceleratorTable& table, std::uint16_t virtualKey,
                                                      std::uint32_t modifiers);

// The command a key message translates to, or 0 when it does not translate.
[[nodiscard]] int TranslateToCommand(HACCEL table, const Message& msg);

// Translates msg through table; when it yields a command, routes that command to target (its
// message map) and returns true. A null table translates nothing.
bool TranslateAccelerator(CDialog& target, HACCEL table, const Message& msg);
