#include "ui/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace melodrop::ui {

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(0x4a, 0x86, 0xc4));
    tile.setColorAt(1, QColor(0x1c, 0x3b, 0x63));
    p.setPen(QPen(QColor(0x0e, 0x1c, 0x30), 1));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    // Two beamed notes.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8d, 0xe0, 0xc0));
    p.drawEllipse(QRectF(6, 19, 8, 6.5));
    p.drawEllipse(QRectF(17, 16.5, 8, 6.5));
    p.drawRect(QRectF(12, 8, 2.2, 14));
    p.drawRect(QRectF(23, 5.5, 2.2, 14));
    QPainterPath beam;
    beam.moveTo(12, 8);
    beam.lineTo(25.2, 5.5);
    beam.lineTo(25.2, 9.5);
    beam.lineTo(12, 12);
    beam.closeSubpath();
    p.drawPath(beam);
    p.end();
    return image;
}

QIcon appIcon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int size : {16, 22, 32, 48, 64}) i.addPixmap(QPixmap::fromImage(appIconImage(size)));
        return i;
    }();
    return icon;
}

}  // namespace melodrop::ui
