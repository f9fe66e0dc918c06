#pragma once
// A transparent area of the player window over a button the skin draws. It paints nothing and
// reports the left button: pressed, clicked (pressed and released inside) and double-clicked.
// Other buttons do nothing.
#include <QWidget>

namespace melodrop::ui {

class HotArea : public QWidget {
    Q_OBJECT
public:
    explicit HotArea(QWidget* parent = nullptr);

signals:
    void leftPressed();
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressedInside_ = false;
};

}  // namespace melodrop::ui
