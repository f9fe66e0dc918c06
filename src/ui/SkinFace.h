#pragma once
// The player's built-in face: a 148 x 90 picture drawn with QPainter, with every button drawn
// exactly under its hot area, and the colours the file list uses until a skin sets its own.
// The same drawing with other colour themes made the sample skins shipped in data/skins.
#include <QColor>
#include <QImage>
#include <QString>

namespace melodrop::ui {

struct SkinTheme {
    QString name;
    QColor bodyTop, bodyBottom;  // the face's background gradient
    QColor bandTop, bandBottom;  // the title band
    QColor title;                // the title text
    QColor chip, chipEdge;       // button faces and their rims
    QColor glyph;                // the symbols on the buttons
    QColor accent;               // small highlights (the note, the volume slot)
    QColor listBack, listFore;   // the file list
};

SkinTheme midnightTheme();  // the built-in look
SkinTheme sunsetTheme();
SkinTheme graphiteTheme();

// The face, kFaceWidth x kFaceHeight pixels.
inline constexpr int kFaceWidth = 148;
inline constexpr int kFaceHeight = 90;
QImage drawSkinFace(const SkinTheme& theme);

// The built-in face and list colours (the midnight theme).
const QImage& builtinFace();
QColor builtinListBack();
QColor builtinListFore();

}  // namespace melodrop::ui
