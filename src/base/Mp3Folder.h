#pragma once
// Reading the MP3 files of a folder: the names of the regular files (or links to them) that match
// "*.MP3" without regard to case, hidden ones too, in the folder's own order. Whether a file can
// be read is not asked: an unreadable file is listed and fails to open like any other file that
// cannot be played.
//
// On Linux the folder is read directly, so that names that are not valid UTF-8 (which Qt's folder
// reading leaves out) are listed too, read as FileNames.h says.
#include <QString>
#include <QStringList>

namespace melodrop {

// false when the folder cannot be read (names is then empty).
bool listMp3Files(const QString& folder, QStringList& names);

}  // namespace melodrop
