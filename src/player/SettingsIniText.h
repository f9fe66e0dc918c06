#pragma once
// The settings file's text, edited in memory: one key of one group set to a string, in the INI
// form QSettings reads (and earlier versions wrote), every other line of the file kept as it was.
// The store writes the result itself, through the file-system seam, rather than through
// QSettings: the new text is synced to the disk before it is renamed over the old file, and a
// sync that fails keeps the old file; and the file is read with a bound, never blocking on
// anything that is not a regular file (a pipe, a device).
#include <QByteArray>
#include <QString>

namespace melodrop {

// A key as QSettings writes it: letters, digits, "-", "_" and "." as they are, others %-escaped.
QByteArray iniKeyText(const QString& key);
// A string value as QSettings reads it back unchanged: in double quotes, with backslash escapes
// for quotes, backslashes and control characters, the rest in UTF-8; a leading "@" doubled.
QByteArray iniValueText(const QString& value);

// The file text with group/key set to value: the first line of that key in the group is
// replaced (later lines of the same key are dropped), or the key is added at the end of the
// group, or the group is added at the end of the file.
QByteArray withIniValue(const QByteArray& fileText, const QString& group, const QString& key,
                        const QString& value);

}  // namespace melodrop
