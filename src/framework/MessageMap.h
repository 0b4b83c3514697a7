// The one static table per window class that sends commands and window messages to member
// handlers. A window class lists its entries in a constexpr array inside its OnWndMsg override
// (a static local, so it can name private handlers) and hands it to DispatchMessageMap:
//
//   bool CPlaybackDlg::OnWndMsg(const Message& msg)
//   {
//       static constexpr MessageEntry<CPlaybackDlg> kMessageMap[] = {
//           MapCommand(kCmdNextFrame, &CPlaybackDlg::OnNextFrame),
//           MapCommandRange(kCmdSelectRectangle0, kCmdSelectRectangle49, &CPlaybackDlg::OnSelectRectangle),
//           MapButtonClicked(kIdcPlotNow, &CPlaybackDlg::OnPlotNow),
//           MapHScroll(&CPlaybackDlg::OnHScroll),
//           MapClose(&CPlaybackDlg::OnFileExit),
//       };
//       return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
//   }
//
// The first entry that matches wins; a message no entry matches is not handled (and a command
// without an entry, such as 40009 "......", does nothing).
#pragma once

#include "base/Geometry.h"
#include "framework/Message.h"

#include <cassert>
#include <cstddef>
#include <span>
#include <string>
#include <variant>
#include <vector>

class CScrollBar;

// What a map entry listens for.
enum class MapSource
{
    Command,       // one command id
    CommandRange,  // a range of command ids, handler gets the id
    ButtonClicked, // button click of one control id
    HScroll,       // any horizontal scroll bar of the window
    LButtonDown,
    LButtonUp,
    MouseMove,
    DropFiles,
    Paint,
    Close,
    SysCommand
};

// Handler shapes, one per kind of entry.
template <class T> struct MessageHandlers
{
    using Plain = void (T::*)();        // command, click, paint, close
    using WithId = void (T::*)(int id); // command range
    using Scroll = void (T::*)(unsigned code, unsigned pos, CScrollBar* pScrollBar); // HScroll
    using Mouse = void (T::*)(unsigned flags, Point point);                          // mouse down / up / move
    using Drop = void (T::*)(const std::vector<std::string>& paths);                 // files dropped
    using SysCommand = void (T::*)(unsigned id);                                     // system command
    using Any = std::variant<Plain, WithId, Scroll, Mouse, Drop, SysCommand>;
};

template <class T> struct MessageEntry
{
    MapSource source = MapSource::Command;
    int firstId = 0; // command or control id; first of a range
    int lastId = 0;  // last of a range (inclusive); equal to firstId otherwise
    typename MessageHandlers<T>::Any handler;
};

// --- Entry builders (the rows of a message map) ----------------------------------------------

template <class T> constexpr MessageEntry<T> MapCommand(int id, void (T::*handler)())
{
    return {MapSource::Command, id, id, handler};
}
template <class T> constexpr MessageEntry<T> MapCommandRange(int firstId, int lastId, void (T::*handler)(int))
{
    assert(firstId <= lastId && "MapCommandRange: an empty range would never match");
    return {MapSource::CommandRange, firstId, lastId, handler};
}
template <class T> constexpr MessageEntry<T> MapButtonClicked(int controlId, void (T::*handler)())
{
    return {MapSource::ButtonClicked, controlId, controlId, handler};
}
template <class T> constexpr MessageEntry<T> MapHScroll(void (T::*handler)(unsigned, unsigned, CScrollBar*))
{
    return {MapSource::HScroll, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapLButtonDown(void (T::*handler)(unsigned, Point))
{
    return {MapSource::LButtonDown, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapLButtonUp(void (T::*handler)(unsigned, Point))
{
    return {MapSource::LButtonUp, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapMouseMove(void (T::*handler)(unsigned, Point))
{
    return {MapSource::MouseMove, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapDropFiles(void (T::*handler)(const std::vector<std::string>&))
{
    return {MapSource::DropFiles, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapPaint(void (T::*handler)())
{
    return {MapSource::Paint, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapClose(void (T::*handler)())
{
    return {MapSource::Close, 0, 0, handler};
}
template <class T> constexpr MessageEntry<T> MapSysCommand(void (T::*handler)(unsigned))
{
    return {MapSource::SysCommand, 0, 0, handler};
}

// --- Lookup and dispatch ----------------------------------------------------------------------

// Whether one entry takes the message.
template <class T> [[nodiscard]] constexpr bool EntryMatches(const MessageEntry<T>& entry, const Message& msg)
{
    switch (entry.source)
    {
    case MapSource::Command:
        return msg.kind == MessageKind::Command && msg.id == entry.firstId;
    case MapSource::CommandRange:
        return msg.kind == MessageKind::Command && entry.firstId <= msg.id && msg.id <= entry.lastId;
    case MapSource::ButtonClicked:
        return msg.kind == MessageKind::ButtonClicked && msg.id == entry.firstId;
    case MapSource::HScroll:
        return msg.kind == MessageKind::HScroll;
    case MapSource::LButtonDown:
        return msg.kind == MessageKind::LButtonDown;
    case MapSource::LButtonUp:
        return msg.kind == MessageKind::LButtonUp;
    case MapSource::MouseMove:
        return msg.kind == MessageKind::MouseMove;
    case MapSource::DropFiles:
        return msg.kind == MessageKind::DropFiles;
    case MapSource::Paint:
        return msg.kind == MessageKind::Paint;
    case MapSource::Close:
        return msg.kind == MessageKind::Close;
    case MapSource::SysCommand:
        return msg.kind == MessageKind::SysCommand;
    }
    return false;
}

// The first entry of the map that takes the message, or nullptr.
template <class T>
[[nodiscard]] constexpr const MessageEntry<T>* FindMessageEntry(std::span<const MessageEntry<T>> map,
                                                                const Message& msg)
{
    for (const MessageEntry<T>& entry : map)
        if (EntryMatches(entry, msg))
            return &entry;
    return nullptr;
}

template <class T, std::size_t N>
[[nodiscard]] constexpr const MessageEntry<T>* FindMessageEntry(const MessageEntry<T> (&map)[N],
                                                                const Message& msg)
{
    return FindMessageEntry(std::span<const MessageEntry<T>>(map), msg);
}

// Calls the handler of the first matching entry on window; false when no entry matched. A scroll
// handler gets the CScrollBar bound to the sending control (CDialog::FindScrollBar), or nullptr.
template <class T>
bool DispatchMessageMap(T& window, std::span<const MessageEntry<T>> map, const Message& msg)
{
    const MessageEntry<T>* entry = FindMessageEntry(map, msg);
    if (entry == nullptr)
        return false;
    using H = MessageHandlers<T>;
    const auto& handler = entry->handler;
    if (const auto* plain = std::get_if<typename H::Plain>(&handler))
        (window.**plain)();
    else if (const auto* withId = std::get_if<typename H::WithId>(&handler))
        (window.**withId)(msg.id);
    else if (const auto* scroll = std::get_if<typename H::Scroll>(&handler))
        (window.**scroll)(static_cast<unsigned>(msg.code), static_cast<unsigned>(msg.pos),
                          window.FindScrollBar(msg.id));
    else if (const auto* mouse = std::get_if<typename H::Mouse>(&handler))
        (window.**mouse)(msg.flags, msg.point);
    else if (const auto* drop = std::get_if<typename H::Drop>(&handler))
        (window.**drop)(msg.paths);
    else if (const auto* sys = std::get_if<typename H::SysCommand>(&handler))
        (window.**sys)(static_cast<unsigned>(msg.id));
    return true;
}

template <class T, std::size_t N>
bool DispatchMessageMap(T& window, const MessageEntry<T> (&map)[N], const Message& msg)
{
    return DispatchMessageMap(window, std::span<const MessageEntry<T>>(map), msg);
}
