// Qt key events as the framework's key messages: virtual-key codes and modifier flags.
#pragma once

#include <cstdint>

class QKeyEvent;

// The virtual key of a Qt key event; 0 for keys the framework has no code for.
//  - Main-row digits are kVk0..; with Shift held, Qt reports the shifted symbol (")" for Shift+0 on
//    a US layout), which is mapped back to its digit; on X11 the key's scan code decides as well,
//    so other layouts work too.
//  - Keypad digits (Qt's keypad modifier with a digit key, i.e. Num Lock on) are kVkNumpad0..;
//    keypad keys with Num Lock off report as the navigation keys they are.
//  - Letters are their upper-case codes; Return and the keypad's Enter are kVkReturn.
[[nodiscard]] std::uint16_t VirtualKeyFromQt(const QKeyEvent& event);
// Shift, Ctrl and Alt of a Qt key event as KeyModifiers (Meta and the keypad flag are dropped).
[[nodiscard]] std::uint32_t ModifiersFromQt(const QKeyEvent& event);
