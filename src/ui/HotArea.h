#pragma once
// A transparent area of the player window over a button the skin draws. It paints nothing but
// its focus mark and reports the left button: pressed, clicked (pressed and released inside)
// and double-clicked; other buttons do nothing. It is a button for the keyboard too: Tab reaches
// it, Enter or Space activates it; and to assistive tools (role Button, with a press action that
// activates it).
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
    // Enter or Space while it has the focus, or the press action of an assistive tool.
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressedInside_ = false;
};

// The focus mark of the player window's controls: a dotted frame in two tones, so that it shows
// on any skin.
void paintFocusMark(QWidget& widget, const QRect& frame);

}  // namespace melodrop::ui
