#include "ui/SkinFace.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "ui/PlayerLayout.h"

namespace melodrop::ui {

SkinTheme midnightTheme() {
    return {QStringLiteral("midnight"), QColor(0x2a, 0x34, 0x44), QColor(0x10, 0x15, 0x1d),
            QColor(0x4a, 0x86, 0xc4),   QColor(0x1c, 0x3b, 0x63), QColor(0xf4, 0xf8, 0xff),
            QColor(0x1b, 0x24, 0x31),   QColor(0x5a, 0x6b, 0x80), QColor(0xcf, 0xe6, 0xff),
            QColor(0x8d, 0xe0, 0xc0),   QColor(0x0b, 0x11, 0x18), QColor(0x8d, 0xe0, 0xc0)};
}

SkinTheme sunsetTheme() {
    return {QStringLiteral("sunset"), QColor(0x5b, 0x2a, 0x52), QColor(0x24, 0x0f, 0x26),
            QColor(0xff, 0x9a, 0x4d), QColor(0xc8, 0x3a, 0x5a), QColor(0xff, 0xf6, 0xe8),
            QColor(0x3a, 0x17, 0x35), QColor(0xb0, 0x5a, 0x7a), QColor(0xff, 0xe0, 0xb8),
            QColor(0xff, 0xb0, 0x60), QColor(0x1c, 0x0a, 0x1e), QColor(0xff, 0xc8, 0x90)};
}

SkinTheme graphiteTheme() {
    return {QStringLiteral("graphite"), QColor(0xe4, 0xe7, 0xeb), QColor(0xa9, 0xb0, 0xb9),
            QColor(0x5c, 0x63, 0x6d),   QColor(0x2c, 0x31, 0x38), QColor(0xff, 0xff, 0xff),
            QColor(0xf3, 0xf4, 0xf6),   QColor(0x70, 0x78, 0x84), QColor(0x26, 0x2b, 0x33),
            QColor(0xd9, 0x48, 0x3b),   QColor(0xfa, 0xfb, 0xfc), QColor(0x1d, 0x2b, 0x4a)};
}

namespace {

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A small rounded button face inside the given pixel area.
void drawChip(QPainter& p, const SkinTheme& t, const QRectF& area) {
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(t.chipEdge, 1));
    p.setBrush(vertical(r, t.chip.lighter(125), t.chip));
    p.drawRoundedRect(r, 2, 2);
}

void drawBackground(QPainter& p, const SkinTheme& t) {
    const QRectF all(0, 0, kFaceWidth, kFaceHeight);
    p.fillRect(all, vertical(all, t.bodyTop, t.bodyBottom));
    // Fine horizontal brushing, very faint.
    p.setPen(QColor(255, 255, 255, 10));
    for (int y = 18; y < kFaceHeight; y += 2) p.drawLine(1, y, kFaceWidth - 2, y);
    // Bevelled outer edge.
    p.setPen(t.bodyTop.lighter(150));
    p.drawLine(1, 1, kFaceWidth - 2, 1);
    p.drawLine(1, 1, 1, kFaceHeight - 2);
    p.setPen(t.bodyBottom.darker(160));
    p.drawRect(QRect(0, 0, kFaceWidth - 1, kFaceHeight - 1));
}

void drawTitleBand(QPainter& p, const SkinTheme& t) {
    const QRectF band(0, 0, kFaceWidth, 15);
    QLinearGradient g = vertical(band, t.bandTop, t.bandBottom);
    g.setColorAt(0.48, t.bandTop.darker(108));
    g.setColorAt(0.52, t.bandBottom.lighter(115));
    p.fillRect(band, g);
    p.setPen(t.bandBottom.darker(170));
    p.drawLine(0, 15, kFaceWidth, 15);
    p.setPen(QColor(255, 255, 255, 70));
    p.drawLine(1, 0, kFaceWidth - 2, 0);

    // A beamed pair of notes and the name, centred on the title band's hot area.
    const QRect title = hotArea(HotAction::TitleBar).pixels();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(font);
    const QString name = QStringLiteral("melodrop");
    const int textWidth = p.fontMetrics().horizontalAdvance(name);
    const int noteWidth = 9;
    const int x0 = title.center().x() - (textWidth + noteWidth + 3) / 2;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(t.accent);
    p.drawEllipse(QRectF(x0, 8.5, 3.6, 3));
    p.drawEllipse(QRectF(x0 + 5, 7.5, 3.6, 3));
    p.fillRect(QRectF(x0 + 2.6, 3, 1, 7), t.accent);
    p.fillRect(QRectF(x0 + 7.6, 2, 1, 7), t.accent);
    p.fillRect(QRectF(x0 + 2.6, 2, 6, 1.6), t.accent);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(QRect(x0 + noteWidth + 3, 1, textWidth + 2, 14), Qt::AlignVCenter, name);
    p.setPen(t.title);
    p.drawText(QRect(x0 + noteWidth + 3, 0, textWidth + 2, 14), Qt::AlignVCenter, name);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawOptionsButton(QPainter& p, const SkinTheme& t) {
    const QRect r = hotArea(HotAction::Options).pixels().adjusted(2, 2, -3, -1);
    drawChip(p, t, r);
    for (int i = 0; i < 3; ++i)
        p.fillRect(QRect(r.left() + 3, r.top() + 2 + i * 2, r.width() - 6, 1), t.glyph);
}

void drawExitButton(QPainter& p, const SkinTheme& t) {
    const QRect r = hotArea(HotAction::Exit).pixels().adjusted(2, 2, -2, -4);
    drawChip(p, t, r);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(t.glyph, 1.4, Qt::SolidLine, Qt::RoundCap));
    const QRectF x = QRectF(r).adjusted(3.5, 3, -3.5, -3);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawListWell(QPainter& p, const SkinTheme& t) {
    const QRect list = trackListRect();
    const QRect well = list.adjusted(-1, -1, 1, 1);
    p.fillRect(well, t.listBack);
    p.setPen(t.bodyBottom.darker(200));
    p.drawLine(well.topLeft(), well.topRight());
    p.drawLine(well.topLeft(), well.bottomLeft());
    p.setPen(t.bodyTop.lighter(140));
    p.drawLine(well.bottomLeft(), well.bottomRight());
    p.drawLine(well.topRight(), well.bottomRight());
    // A thin accent rule between the list and the transport row.
    p.fillRect(QRect(list.left() + 1, list.bottom() + 3, list.width() - 2, 1),
               QColor(t.accent.red(), t.accent.green(), t.accent.blue(), 90));
}

// Symbols, drawn in a glyph box of the button's centre.
void triangle(QPainter& p, QPointF tip, double w, double h, bool right) {
    const double dx = right ? -w : w;
    const QPointF pts[3] = {tip, {tip.x() + dx, tip.y() - h / 2}, {tip.x() + dx, tip.y() + h / 2}};
    p.drawPolygon(pts, 3);
}

void drawTransport(QPainter& p, const SkinTheme& t) {
    // One segmented strip under the transport areas; the dividers fall midway between
    // neighbouring areas (some overlap by a pixel or two).
    std::vector<QRect> areas;
    for (const HotAreaSpec& area : kHotAreas)
        if (area.event == HotEvent::Click) areas.push_back(area.pixels());
    std::sort(areas.begin(), areas.end(),
              [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
    int top = areas.front().top(), bottom = areas.front().bottom();
    for (const QRect& r : areas) {
        top = std::min(top, r.top());
        bottom = std::max(bottom, r.bottom());
    }
    const QRectF strip(areas.front().left() + 1.5, top - 0.5,
                       areas.back().right() - areas.front().left() - 1, bottom - top + 1);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(t.chipEdge, 1));
    p.setBrush(vertical(strip, t.chip.lighter(130), t.chip));
    p.drawRoundedRect(strip, 2, 2);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i + 1 < areas.size(); ++i) {
        const int x = (areas[i].right() + 1 + areas[i + 1].left()) / 2;
        p.setPen(t.chipEdge);
        p.drawLine(x, qRound(strip.top()) + 1, x, qRound(strip.bottom()) - 1);
    }

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(t.glyph);
    auto centre = [&](HotAction a) {
        const QRectF r = hotArea(a).pixels();
        return QPointF(r.center().x() + 0.5, strip.center().y() + 0.5);
    };
    const double h = 5;
    QPointF c = centre(HotAction::Play);
    triangle(p, {c.x() + 2.3, c.y()}, 4.6, h, true);
    c = centre(HotAction::Pause);
    p.drawRect(QRectF(c.x() - 2, c.y() - 2.5, 1.5, h));
    p.drawRect(QRectF(c.x() + 0.5, c.y() - 2.5, 1.5, h));
    c = centre(HotAction::Stop);
    p.drawRect(QRectF(c.x() - 2.3, c.y() - 2.3, 4.6, 4.6));
    c = centre(HotAction::Rewind);
    triangle(p, {c.x() - 3.2, c.y()}, 3.2, h, false);
    triangle(p, {c.x() + 0.0, c.y()}, 3.2, h, false);
    c = centre(HotAction::Previous);
    p.drawRect(QRectF(c.x() - 2.4, c.y() - 2.5, 1.2, h));
    triangle(p, {c.x() - 1.2, c.y()}, 3.6, h, false);
    c = centre(HotAction::Next);
    triangle(p, {c.x() + 1.2, c.y()}, 3.6, h, true);
    p.drawRect(QRectF(c.x() + 1.2, c.y() - 2.5, 1.2, h));
    c = centre(HotAction::FastForward);
    triangle(p, {c.x() + 0.0, c.y()}, 3.2, h, true);
    triangle(p, {c.x() + 3.2, c.y()}, 3.2, h, true);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// Where the volume slider runs: a row of rising level bars that its handle slides over.
void drawVolumePlace(QPainter& p, const SkinTheme& t) {
    const QRect slot = volumeSliderRect();
    const int bars = 16;
    const double pitch = static_cast<double>(slot.width() - 2) / bars;
    for (int i = 0; i < bars; ++i) {
        const int height = 2 + (slot.height() - 3) * i / (bars - 1);
        QColor c = t.accent;
        c.setAlpha(70 + 110 * i / (bars - 1));
        const int x = slot.left() + 1 + qRound(i * pitch);
        p.fillRect(QRect(x, slot.bottom() - height + 1, qMax(1, qRound(pitch) - 2), height), c);
    }
}

}  // namespace

QImage drawSkinFace(const SkinTheme& theme) {
    QImage image(kFaceWidth, kFaceHeight, QImage::Format_RGB32);
    QPainter p(&image);
    drawBackground(p, theme);
    drawTitleBand(p, theme);
    drawOptionsButton(p, theme);
    drawExitButton(p, theme);
    drawListWell(p, theme);
    drawTransport(p, theme);
    drawVolumePlace(p, theme);
    return image;
}

const QImage& builtinFace() {
    static const QImage face = drawSkinFace(midnightTheme());
    return face;
}

QColor builtinListBack() {
    return midnightTheme().listBack;
}
QColor builtinListFore() {
    return midnightTheme().listFore;
}

}  // namespace melodrop::ui
