// What a user does to a Qt scroll bar, for the tests of the Qt host and the program's window.
#pragma once

#include <QRect>
#include <QString>
#include <QStyle>

class QScrollBar;

// Where one part of the bar (arrows, page areas, groove, thumb) is, in the bar's coordinates.
[[nodiscard]] QRect ScrollBarPart(const QScrollBar& bar, QStyle::SubControl part);

// Opens the bar's own context menu at a fraction (0 to 1) of its groove's width and picks the
// menu's first item, as a user does for "Scroll here"; returns that item's text (empty when no
// menu opened). Returns once the menu has closed and the bar has acted on the choice.
QString ChooseFirstContextMenuItem(QScrollBar& bar, double fraction);
