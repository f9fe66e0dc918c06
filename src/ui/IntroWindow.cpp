#include "ui/IntroWindow.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

#include "ui/AppIcon.h"
#include "ui/PlayerLayout.h"
#include "ui/SkinFace.h"

namespace melodrop::ui {

namespace {

constexpr int kIntroWidth = 300;
constexpr int kIntroHeight = 200;

void drawNotes(QPainter& p, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.save();
    p.translate(36, 44);
    p.drawEllipse(QRectF(0, 46, 22, 17));
    p.drawEllipse(QRectF(34, 38, 22, 17));
    p.drawRect(QRectF(17, 8, 5, 48));
    p.drawRect(QRectF(51, 0, 5, 48));
    QPainterPath beam;
    beam.moveTo(17, 8);
    beam.lineTo(56, 0);
    beam.lineTo(56, 11);
    beam.lineTo(17, 19);
    beam.closeSubpath();
    p.drawPath(beam);
    p.restore();
}

// Falling drops of sound under the notes: a row of level bars.
void drawLevels(QPainter& p, const QColor& colour) {
    const int heights[] = {6, 11, 17, 9, 22, 14, 27, 19, 12, 24, 16, 8, 13, 20, 10, 5};
    for (int i = 0; i < 16; ++i) {
        QColor c = colour;
        c.setAlpha(90 + i * 9);
        const int h = heights[i];
        p.fillRect(QRect(124 + i * 10, 150 - h, 6, h), c);
    }
}

}  // namespace

QImage drawIntroPicture() {
    const SkinTheme theme = midnightTheme();
    QImage image(kIntroWidth, kIntroHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient body(0, 0, 0, kIntroHeight);
    body.setColorAt(0, theme.bodyTop.lighter(115));
    body.setColorAt(1, theme.bodyBottom);
    p.fillRect(image.rect(), body);
    QRadialGradient glow(QPointF(70, 80), 120);
    glow.setColorAt(0, QColor(0x4a, 0x86, 0xc4, 120));
    glow.setColorAt(1, QColor(0x4a, 0x86, 0xc4, 0));
    p.fillRect(image.rect(), glow);

    // The title band across the top, as on the player.
    QLinearGradient band(0, 0, 0, 26);
    band.setColorAt(0, theme.bandTop);
    band.setColorAt(1, theme.bandBottom);
    p.fillRect(QRect(0, 0, kIntroWidth, 26), band);
    p.setPen(QColor(255, 255, 255, 80));
    p.drawLine(0, 0, kIntroWidth, 0);

    drawNotes(p, theme.accent);
    drawLevels(p, theme.accent);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(33);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRect(114, 52, 182, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("melodrop"));
    p.setPen(theme.title);
    p.drawText(QRect(112, 50, 182, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("melodrop"));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(11);
    p.setFont(small);
    p.setPen(theme.glyph);
    p.drawText(QRect(114, 96, 180, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("mp3 player for your chat room"));
    p.setPen(theme.accent);
    p.drawText(QRect(12, 170, 276, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("beta 1 [build %1.%2.%3]")
                   .arg(MELODROP_VERSION_MAJOR)
                   .arg(MELODROP_VERSION_MINOR)
                   .arg(MELODROP_VERSION_PATCH));
    p.setPen(theme.glyph);
    p.drawText(QRect(12, 170, 276, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("by zeph"));

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(theme.bodyBottom.darker(200));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

IntroWindow::IntroWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), picture_(drawIntroPicture()) {
    setObjectName(QStringLiteral("frmIntro"));
    setWindowTitle(QStringLiteral("melodrop"));
    setWindowIcon(appIcon());
    setFixedSize(toPixels(0, 0, 4500, 3000).size());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void IntroWindow::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void IntroWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), picture_);
}

}  // namespace melodrop::ui
