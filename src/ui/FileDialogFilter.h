#pragma once
// File dialog filters come as "Description (*.ext)|*.ext" pairs joined by "|", as the common
// dialog takes them; Qt wants "Description (*.ext)" entries joined by ";;".
#include <QString>

namespace melodrop::ui {

QString toQtFileFilter(const QString& filter);

}  // namespace melodrop::ui
