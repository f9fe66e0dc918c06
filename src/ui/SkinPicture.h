#pragma once
// `imgPic`: the picture that fills the player window. It shows the skin's picture as the logic
// decoded it, or the built-in face when there is none.
#include <QImage>
#include <QWidget>

namespace melodrop::ui {

class SkinPicture : public QWidget {
    Q_OBJECT
public:
    explicit SkinPicture(QWidget* parent = nullptr);

    // A null image shows the built-in face.
    void showImage(const QImage& image);
    const QImage& image() const { return image_; }

signals:
    void leftPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

}  // namespace melodrop::ui
