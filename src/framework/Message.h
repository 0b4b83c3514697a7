// Window messages as the framework routes them: what the hosts turn their platform events into,
// and what the message maps of the window classes dispatch. One plain struct for every kind keeps
// the loop, the pre-translation and the tests simple.
#pragma once

#include "base/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

enum class MessageKind
{
    KeyDown,       // a key pressed (repeats included); id = virtual key, modifiers = held modifiers
    KeyUp,         // a key released; id = virtual key (typed characters ride on KeyDown in the hosts)
    Command,       // a menu or accelerator command; id = command id
    ButtonClicked, // a push button or check box clicked; id = control id
    HScroll,       // horizontal scroll bar notification; id = control id, code, pos
    LButtonDown,   // left button pressed over the window; point, flags
    LButtonUp,     // left button released over the window; point, flags
    MouseMove,     // pointer moved over the window; point, flags
    DropFiles,     // files dropped on the window; paths
    Paint,         // the window was exposed or restored and must repaint
    Close,         // the close box, Alt+F4 or the system menu's Close
    SysCommand,    // a system-menu command; id = system command id
    Timer          // a timer tick (no handler in this program; it only matters to the idle rule)
};

// Modifier flags of key messages.
enum KeyModifiers : std::uint32_t
{
    kModNone = 0,
    kModShift = 1u << 0,
    kModControl = 1u << 1,
    kModAlt = 1u << 2
};

// Mouse message flags: whether the left button is held (the one flag the window reads).
enum MouseFlags : std::uint32_t
{
    kMkLButton = 0x0001
};

// Scroll bar notification codes: the standard codes 0-8, as scroll handlers receive them.
enum ScrollCode : int
{
    kSbLineLeft = 0,
    kSbLineRight = 1,
    kSbPageLeft = 2,
    kSbPageRight = 3,
    kSbThumbPosition = 4,
    kSbThumbTrack = 5,
    kSbLeft = 6,
    kSbRight = 7,
    kSbEndScroll = 8
};

// System command ids of the default system-menu items (low four bits are reserved).
inline constexpr unsigned kScCommandMask = 0xFFF0; // an id without its reserved low four bits
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScMaximize = 0xF030;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScRestore = 0xF120;

struct Message
{
    MessageKind kind = MessageKind::Command;
    int id = 0;                     // virtual key, character, command, control or system command id
    std::uint32_t modifiers = 0;    // KeyModifiers of key messages
    int code = 0;                   // scroll code of HScroll
    int pos = 0;                    // thumb position of HScroll (track and position codes)
    std::uint32_t flags = 0;        // MouseFlags of mouse messages
    Point point;                    // mouse position in the window's client coordinates
    Point screenPoint;              // the same position in screen coordinates (idle rule)
    std::vector<std::string> paths; // DropFiles: local paths of the dropped files, in order
};

// Builders of the messages hosts and tests post.
[[nodiscard]] inline Message MakeKeyMessage(MessageKind kind, int virtualKey,
                                            std::uint32_t modifiers = kModNone)
{
    Message msg;
    msg.kind = kind;
    msg.id = virtualKey;
    msg.modifiers = modifiers;
    return msg;
}
[[nodiscard]] inline Message MakeIdMessage(MessageKind kind, int id) // Command, ButtonClicked, SysCommand
{
    Message msg;
    msg.kind = kind;
    msg.id = id;
    return msg;
}
[[nodiscard]] inline Message MakeScrollMessage(int scrollBarId, int code, int pos)
{
    Message msg;
    msg.kind = MessageKind::HScroll;
    msg.id = scrollBarId;
    msg.code = code;
    msg.pos = pos;
    return msg;
}
[[nodiscard]] inline Message MakeMouseMessage(MessageKind kind, Point clientPoint, Point screenPoint,
                                              std::uint32_t flags)
{
    Message msg;
    msg.kind = kind;
    msg.point = clientPoint;
    msg.screenPoint = screenPoint;
    msg.flags = flags;
    return msg;
}
[[nodiscard]] inline Message MakeMessage(MessageKind kind) // Paint, Close, Timer
{
    Message msg;
    msg.kind = kind;
    return msg;
}

// True for the key messages that go through the pre-translation (key down, key up).
[[nodiscard]] constexpr bool IsKeyMessage(MessageKind kind)
{
    return kind == MessageKind::KeyDown || kind == MessageKind::KeyUp;
}
