#include "ui/HotArea.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace melodrop::ui {

namespace {

// A hot area as assistive tools see it: a button whose press action activates it.
class HotAreaAccessible : public QAccessibleWidget {
public:
    explicit HotAreaAccessible(HotArea* area) : QAccessibleWidget(area, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) emit static_cast<HotArea*>(widget())->activated();
    }
};

QAccessibleInterface* hotAreaAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("melodrop::ui::HotArea") && object && object->isWidgetType())
        return new HotAreaAccessible(static_cast<HotArea*>(object));
    return nullptr;
}

}  // namespace

HotArea::HotArea(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(hotAreaAccessible);
        return true;
    }();
    (void)factoryInstalled;
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // Tab reaches it; a click does not take the focus from the list.
    setFocusPolicy(Qt::TabFocus);
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

void HotArea::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (plain && !event->isAutoRepeat()) {
                emit activated();
                return;
            }
            break;
        default:
            break;
    }
    event->ignore();
}

void HotArea::paintEvent(QPaintEvent*) {
    if (hasFocus()) paintFocusMark(*this, rect());
}

void paintFocusMark(QWidget& widget, const QRect& frame) {
    QPainter painter(&widget);
    const QRect edge = frame.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(edge);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(edge);
}

}  // namespace melodrop::ui
