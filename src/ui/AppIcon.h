#pragma once
// The program's icon (window and tray): a note on a rounded blue tile, drawn at run time. The
// installed icon theme's pictures are drawn by the same code (melodrop-icon, at build time).
#include <QIcon>
#include <QImage>

namespace melodrop::ui {

QIcon appIcon();
// The icon drawn size × size pixels.
QImage appIconImage(int size);

}  // namespace melodrop::ui
