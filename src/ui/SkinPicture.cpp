#include "ui/SkinPicture.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/SkinFace.h"

namespace melodrop::ui {

SkinPicture::SkinPicture(QWidget* parent) : QWidget(parent), image_(builtinFace()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinPicture::showImage(const QImage& image) {
    image_ = image.isNull() ? builtinFace() : image;
    update();
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
