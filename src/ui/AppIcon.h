#pragma once
// The program's icon (window and tray): a note on a rounded blue tile, drawn at run time.
#include <QIcon>

namespace melodrop::ui {

QIcon appIcon();

}  // namespace melodrop::ui
