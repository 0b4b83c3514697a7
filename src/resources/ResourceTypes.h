// The shapes of the window resources: dialog templates, menus, accelerator tables and icons.
// Everything is constexpr data with static storage (string_views into literals), so a table can
// be handed around as a span and never needs freeing.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// ---------------------------------------------------------------------------------------------
// Dialog templates
// ---------------------------------------------------------------------------------------------

// Dialog-unit base units of the template font (8-point sans serif): a dialog unit is a quarter of
// the average character width horizontally and an eighth of the character height vertically.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// Dialog units to pixels, truncating (x = dlu * 6 / 4, y = dlu * 13 / 8). Positions and sizes are
// converted separately, so a control's size never depends on where it sits.
constexpr int DluToPixelsX(int dlu)
{
    return dlu * kBaseUnitX / 4;
}
constexpr int DluToPixelsY(int dlu)
{
    return dlu * kBaseUnitY / 8;
}

// A rectangle in dialog units: position and size.
struct DluRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A rectangle in pixels: position and size.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

constexpr PixelRect DluToPixels(const DluRect& r)
{
    return PixelRect{DluToPixelsX(r.x), DluToPixelsY(r.y), DluToPixelsX(r.width), DluToPixelsY(r.height)};
}

enum class ControlKind
{
    PlotArea,   // black frame with a client edge showing a pixel buffer; lets mouse input through
    Label,      // static text, left aligned
    Readout,    // static text showing a value (see the style flags for centring and edges)
    GroupBox,   // titled frame around other controls
    PushButton, // sends a button click
    CheckBox,   // toggles itself when clicked, then sends a button click
    Edit,       // single-line text entry
    HScrollBar, // horizontal scroll bar, range and position set by the window
    TextBox     // multi-line read-only text in a fixed-pitch font, scrolls; the window sets it
};

// Style flags of a control (bit set).
enum ControlStyle : std::uint32_t
{
    kStyleNone = 0,
    kStyleCentered = 1u << 0,    // text centred
    kStyleSunken = 1u << 1,      // sunken static edge and client edge
    kStyleDisabled = 1u << 2,    // created disabled (greyed)
    kStyleDigitsOnly = 1u << 3,  // edit accepts typed digits only
    kStyleAutoHScroll = 1u << 4, // edit scrolls horizontally when the text is longer than the box
    kStyleTransparent = 1u << 5, // group box draws no background of its own
    kStyleDefault = 1u << 6,     // the default push button (Enter)
    kStyleTabStop = 1u << 7      // reachable with Tab
};

// The pixel geometry of a plot area. It shows a pixel buffer one pixel to one, so its size cannot
// follow the font the way dialog units do: its client area is exactly width x height pixels, inside
// a sunken edge of edge pixels on every side, placed at the top-left corner of its rectangle.
struct PixelClientArea
{
    int width = 0;
    int height = 0;
    int edge = 0;
};

struct ControlTemplate
{
    int id = 0; // control id; kIdcStatic (-1) for labels nobody addresses
    ControlKind kind = ControlKind::Label;
    std::string_view text; // initial text ("" for none)
    DluRect rect;          // position and size in dialog units
    std::uint32_t style = kStyleNone;
    PixelClientArea pixelClient{}; // plot areas only: their client area and edge in pixels
};

// Where a control sits in its window's client area, in pixels: its rectangle in dialog units
// converted, except that a plot area is as large as its pixel client area and edges make it.
constexpr PixelRect ControlPixelRect(const ControlTemplate& control)
{
    PixelRect r = DluToPixels(control.rect);
    if (control.kind == ControlKind::PlotArea)
    {
        r.width = control.pixelClient.width + 2 * control.pixelClient.edge;
        r.height = control.pixelClient.height + 2 * control.pixelClient.edge;
    }
    return r;
}

// The width of the edge around a control's client area: a plot area's sunken edge, 0 for others.
constexpr int ControlEdge(const ControlTemplate& control)
{
    return control.kind == ControlKind::PlotArea ? control.pixelClient.edge : 0;
}

// Window style flags of a dialog template (bit set).
enum DialogStyle : std::uint32_t
{
    kDialogNone = 0,
    kDialogSystemMenu = 1u << 0,  // title bar with a system menu
    kDialogMinimizeBox = 1u << 1, // minimise box
    kDialogMaximizeBox = 1u << 2, // maximise box (has no effect on a fixed-size frame)
    kDialogFixedFrame = 1u << 3,  // no sizing
    kDialogAcceptFiles = 1u << 4, // files may be dropped on it
    kDialogAppWindow = 1u << 5,   // shown in the task bar
    kDialogVisible = 1u << 6,     // visible from its creation
    kDialogModalFrame = 1u << 7   // modal box frame (About)
};

struct DialogTemplate
{
    int id = 0;
    std::string_view caption;
    DluRect rect;   // position on screen and client size, in dialog units
    int menuId = 0; // menu resource shown in the window, 0 for none
    std::uint32_t style = kDialogNone;
    std::string_view fontName; // the template's font; hosts use the platform's default font
    int fontPointSize = 0;
    std::span<const ControlTemplate> controls;
};

// ---------------------------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------------------------

// One item of a drop-down menu. A separator has command 0 and no text. The text may hold a tab:
// the part after it is the shortcut shown at the right of the item (display only).
struct MenuItem
{
    int command = 0;
    std::string_view text;
    [[nodiscard]] constexpr bool IsSeparator() const { return command == 0 && text.empty(); }
};

// One drop-down menu of the menu bar.
struct MenuPopup
{
    std::string_view text;
    std::span<const MenuItem> items;
};

struct MenuResource
{
    int id = 0;
    std::span<const MenuPopup> popups;
};

// ---------------------------------------------------------------------------------------------
// Accelerators
// ---------------------------------------------------------------------------------------------

// Modifier flags of an accelerator entry; all our entries are virtual-key entries.
enum AcceleratorFlags : std::uint8_t
{
    kAccelVirtKey = 0x01,
    kAccelShift = 0x04,
    kAccelControl = 0x08,
    kAccelAlt = 0x10
};

struct AcceleratorEntry
{
    std::uint8_t flags = kAccelVirtKey; // kAccelVirtKey plus the modifiers that must be held
    std::uint16_t key = 0;              // virtual-key code (VirtualKeys.h)
    int command = 0;                    // command sent when the key matches
};

struct AcceleratorTable
{
    int id = 0;
    std::span<const AcceleratorEntry> entries;
};

// ---------------------------------------------------------------------------------------------
// Icons
// ---------------------------------------------------------------------------------------------

// A square icon as 32-bit RGBA pixels, rows top to bottom, 4 bytes per pixel.
struct IconImage
{
    int id = 0;
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> rgba;
};
