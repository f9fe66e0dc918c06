#pragma once
// File names that come from a server (the last segment of a download address, a skin name) are
// not trusted: they must name a plain file inside the folder they are stored in.
#include <QString>

namespace melodrop {

// Why the name cannot be used as a file name inside a folder, or "" when it can. Refused: an
// empty name, "." and "..", a path separator ("/" or "\"), a drive prefix ("C:"; on Windows any
// colon), control characters. Other names, "my..skin" among them, are fine.
QString unsafeFileNameReason(const QString& name);

// The folder part of a path chosen in a save dialog: everything before its last separator ("/" or
// "\"). The file name typed in the dialog is not used. "" when the path has no separator.
QString folderOfChosenPath(const QString& chosenPath);

}  // namespace melodrop
