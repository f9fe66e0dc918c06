#include "ui/SkinPicture.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include "ui/SkinFace.h"

namespace melodrop::ui {

namespace {
// Far larger than any skin; a file claiming more is refused before it is decoded.
constexpr int kMaxPictureSide = 4096;
}  // namespace

SkinPicture::SkinPicture(QWidget* parent) : QWidget(parent), image_(builtinFace()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool SkinPicture::showPicture(const QString& path) {
    if (path.isEmpty()) {
        image_ = builtinFace();
        shownPath_.clear();
        update();
        return true;
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide))
        return false;
    QImage loaded = reader.read();
    if (loaded.isNull()) return false;
    image_ = std::move(loaded);
    shownPath_ = path;
    update();
    return true;
}

void SkinPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A picture smaller than the window leaves black around it; a larger one is cut off, as a
    // picture box that does not stretch shows it.
    p.fillRect(rect(), Qt::black);
    p.drawImage(QPoint(0, 0), image_);
}

void SkinPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit leftPressed();
    else
        event->ignore();
}

}  // namespace melodrop::ui
