#include "base/Mp3Folder.h"

#include <QFile>

#include "base/FileNames.h"

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#else
#include <QDirIterator>
#endif

namespace melodrop {

#ifdef Q_OS_UNIX

namespace {

bool endsWithMp3(const char* name, std::size_t length) {
    if (length < 4) return false;
    const char* end = name + length - 4;
    return end[0] == '.' && (end[1] | 0x20) == 'm' && (end[2] | 0x20) == 'p' && end[3] == '3';
}

}  // namespace

bool listMp3Files(const QString& folder, QStringList& names) {
    names.clear();
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return false;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (!endsWithMp3(entry->d_name, length)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // A link counts as what it leads to; a broken one is not listed.
            struct stat st {};
            regular = ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            names.append(fileNameFromBytes(
                QByteArray::fromRawData(entry->d_name, static_cast<qsizetype>(length))));
    }
    ::closedir(dir);
    return true;
}

#else

bool listMp3Files(const QString& folder, QStringList& names) {
    names.clear();
    QDirIterator it(folder, {QStringLiteral("*.mp3")}, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return true;
}

#endif

}  // namespace melodrop
