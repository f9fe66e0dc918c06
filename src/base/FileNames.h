#pragma once
// File names as the program shows them, and the bytes the file system holds.
//
// On Linux a file name is a string of bytes. A name that is valid UTF-8 is read as UTF-8, as Qt
// does; any other name (made on a system with an 8-bit code page) is read as Windows-1252, so
// that it reads well ("caf\xE9.mp3" shows as "café.mp3"). That reading keeps every byte: the five
// bytes the code page leaves undefined stand for the control character of the same value, so the
// bytes can be had back from the name to open the file.
#include <QByteArray>
#include <QString>

namespace melodrop {

// A file name (no folder) as shown.
QString fileNameFromBytes(const QByteArray& bytes);

// The name's Windows-1252 bytes; false when a character has none.
bool fileNameToWindows1252(const QString& name, QByteArray& bytes);

// The bytes to open a path with: its UTF-8 bytes, unless no such file exists and the path's last
// part, written in Windows-1252, names a file whose name is not valid UTF-8 (a name this program
// read as Windows-1252); then those bytes.
QByteArray nativeFilePath(const QString& path);

}  // namespace melodrop
