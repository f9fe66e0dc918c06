#include "scenario/WidgetInput.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <initializer_list>

namespace melodrop::scenario {

namespace {

// Sends one mouse event; false once the widget is gone (a handler may close or delete it).
bool send(QPointer<QWidget> widget, QEvent::Type type, QPoint at) {
    if (!widget) return false;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return !widget.isNull();
}

void sendAll(QWidget* widget, QPoint at, std::initializer_list<QEvent::Type> types) {
    const QPointer<QWidget> target(widget);
    for (const QEvent::Type type : types)
        if (!send(target, type, at)) return;
}

}  // namespace

void leftClick(QWidget* widget, QPoint at) {
    sendAll(widget, at, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
}

void leftDoubleClick(QWidget* widget, QPoint at) {
    sendAll(widget, at,
            {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
             QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease});
}

}  // namespace melodrop::scenario
