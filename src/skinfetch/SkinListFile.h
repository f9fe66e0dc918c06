#pragma once
// The skin list as a file: the server's list text is saved to a temporary copy in the skins
// folder and read back from it, one entry per line.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace melodrop::skinfetch {

// Each line, whole (blanks and commas included), is one entry, as the server's bytes. Lines end
// with CR LF; a lone LF or CR also ends a line. Text after the last line end is an entry when it
// is not empty.
QList<QByteArray> splitListLines(const QByteArray& text);

// The readable name of an entry: its bytes as UTF-8 when they are valid UTF-8, else as
// Windows-1252 (the single-byte text the rest of the system speaks). The bytes themselves stay
// what is asked of the server.
QString entryName(const QByteArray& bytes);

// Creates or empties the file and writes the text followed by CR LF. Returns "" on success, or
// the text for the "Error Saving" box: "Error - " and the system's description when the folder
// does not exist, "Unknown Error - " and the description for any other failure.
QString saveListCopy(const QString& path, const QByteArray& text);

// The entries of the file (a regular file of bounded size), or nothing when it cannot be read.
std::optional<QList<QByteArray>> loadListCopy(const QString& path);

}  // namespace melodrop::skinfetch
