#pragma once
// Moves a borderless window while the left button is held on one of the watched widgets, the
// way a title bar drags a captioned window. It only watches: the widgets still get their events.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace melodrop::ui {

class WindowDragger : public QObject {
    Q_OBJECT
public:
    explicit WindowDragger(QWidget* window);
    void watch(QWidget* widget);
    bool isDragging() const { return dragging_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QPoint grabOffset_;  // pointer position minus window position at the press
    bool dragging_ = false;
};

}  // namespace melodrop::ui
