#pragma once
// What melodrop tells on its error output: one line, "melodrop: " first, written out at once.
#include <QString>
#include <cstdio>

namespace melodrop::app {

inline void sayOnErrorOutput(const QString& line) {
    std::fprintf(stderr, "melodrop: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace melodrop::app
