#pragma once
// `frmIntro`: the borderless 300 x 200 splash shown at start-up, centred, with one fixed picture.
#include <QImage>
#include <QWidget>

namespace melodrop::ui {

// The splash picture, 300 x 200 pixels.
QImage drawIntroPicture();

class IntroWindow : public QWidget {
    Q_OBJECT
public:
    explicit IntroWindow(QWidget* parent = nullptr);
    void showCentred();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace melodrop::ui
