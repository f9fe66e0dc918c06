#pragma once
// The user's mouse on a widget: press, release and double-click events with the left button,
// delivered the way the window system delivers them (press, release, press, double-click,
// release for a double click).
#include <QPoint>

class QWidget;

namespace melodrop::scenario {

void leftClick(QWidget* widget, QPoint at);
void leftDoubleClick(QWidget* widget, QPoint at);

}  // namespace melodrop::scenario
