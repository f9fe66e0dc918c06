#pragma once
// `imgPic`: the picture that fills the player window. It shows the skin's picture file, or the
// built-in face when there is none. A picture file that cannot be read leaves the picture that
// was shown before.
#include <QImage>
#include <QWidget>

namespace melodrop::ui {

class SkinPicture : public QWidget {
    Q_OBJECT
public:
    explicit SkinPicture(QWidget* parent = nullptr);

    // An empty path shows the built-in face. Returns false when the file could not be read.
    bool showPicture(const QString& path);
    const QImage& image() const { return image_; }
    QString shownPath() const { return shownPath_; }

signals:
    void leftPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QString shownPath_;
};

}  // namespace melodrop::ui
