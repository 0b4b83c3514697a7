#include "support/QtScrollBarActions.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

QRect ScrollBarPart(const QScrollBar& bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

QString ChooseFirstContextMenuItem(QScrollBar& bar, double fraction)
{
    const QRect groove = ScrollBarPart(bar, QStyle::SC_ScrollBarGroove);
    const QPoint at(groove.left() + static_cast<int>(fraction * (groove.width() - 1)), groove.center().y());
    QString picked;
    // The menu runs a loop of its own; the choice is made from inside it.
    QTimer::singleShot(0,
                       [&picked]
                       {
                           auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                           if (menu == nullptr || menu->actions().isEmpty())
                               return;
                           QAction* first = menu->actions().front();
                           picked = first->text();
                           menu->setActiveAction(first);
                           QTest::keyClick(menu, Qt::Key_Return);
                       });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar.mapToGlobal(at));
    QApplication::sendEvent(&bar, &event);
    return picked;
}
