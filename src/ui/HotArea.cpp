#include "ui/HotArea.h"

#include <QMouseEvent>

namespace melodrop::ui {

HotArea::HotArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void HotArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressedInside_ = true;
    emit leftPressed();
}

void HotArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool click = pressedInside_ && rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click) emit clicked();
}

void HotArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // The second press of a double-click is a press too; its release is not a click of its own.
    pressedInside_ = false;
    emit doubleClicked();
}

}  // namespace melodrop::ui
