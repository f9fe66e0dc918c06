#include "locations/FileLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace melodrop {

namespace {

const QString kSkins = QStringLiteral("skins");
const QString kImmune = QStringLiteral("immune.txt");
const QString kCommands = QStringLiteral("commands.txt");
const QString kBridge = QStringLiteral("melodrop-bridge.exe");

QString inFolder(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

bool holdsSkinFile(const QString& folder) {
    return !QDir(folder)
                .entryList({QStringLiteral("*.mds")}, QDir::Files | QDir::Readable)
                .isEmpty();
}

}  // namespace

FileLocations::FileLocations(QString programFolder)
    : programFolder_(programFolder), shippedFolder_(programFolder), userFolder_(programFolder) {}

FileLocations::FileLocations(QString programFolder, QString shippedFolder, QString userFolder)
    : programFolder_(std::move(programFolder)),
      shippedFolder_(std::move(shippedFolder)),
      userFolder_(std::move(userFolder)),
      installed_(true) {}

FileLocations FileLocations::forProgram(const QString& programFolder) {
    const QString shipped =
        QDir::cleanPath(inFolder(programFolder, QStringLiteral(MELODROP_SHIPPED_FROM_PROGRAMS)));
    // The build tree lays the shipped files out beside the program and has no such folder.
    if (!QFileInfo(inFolder(shipped, kCommands)).isFile()) return FileLocations(programFolder);
    return FileLocations(programFolder, shipped, perUserFolder());
}

FileLocations FileLocations::forThisProgram() {
    FileLocations files = forProgram(QCoreApplication::applicationDirPath());
    // What cannot be made here fails later where it is written, with that place's message.
    files.prepareUserFolder();
    return files;
}

QString FileLocations::perUserFolder() {
    // Named explicitly rather than through the application's name, so that skinfetch finds
    // melodrop's folder too.
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
    return inFolder(data, QStringLiteral("melodrop"));
}

QStringList FileLocations::skinsFolders() const {
    QStringList folders{userSkinsFolder()};
    if (shippedFolder_ != userFolder_) folders << inFolder(shippedFolder_, kSkins);
    return folders;
}

QString FileLocations::userSkinsFolder() const {
    return inFolder(userFolder_, kSkins);
}

QString FileLocations::skinPicture(const QString& image) const {
    const QStringList folders = skinsFolders();
    for (const QString& folder : folders) {
        const QString path = inFolder(folder, image);
        if (QFileInfo(path).isFile()) return path;
    }
    return inFolder(folders.constFirst(), image);
}

QString FileLocations::skinDialogFolder() const {
    const QStringList folders = skinsFolders();
    if (folders.size() > 1 && !holdsSkinFile(folders.constFirst())) return folders.constLast();
    return folders.constFirst();
}

QString FileLocations::immuneFile() const {
    return inFolder(userFolder_, kImmune);
}

QString FileLocations::commandsFile() const {
    return inFolder(shippedFolder_, kCommands);
}

QStringList FileLocations::bridgeProgramPlaces() const {
    const auto from = [this](const char* relative) {
        return QDir::cleanPath(
            inFolder(inFolder(programFolder_, QString::fromUtf8(relative)), kBridge));
    };
    if (installed_) return {from(MELODROP_HELPERS_FROM_PROGRAMS)};
    return {inFolder(programFolder_, kBridge), from(MELODROP_WINDOWS_BUILD_FROM_PROGRAMS)};
}

bool FileLocations::prepareUserFolder() const {
    if (!installed_) return true;
    if (!QDir().mkpath(userSkinsFolder())) return false;
    const QString immune = immuneFile();
    if (QFileInfo::exists(immune)) return true;
    QFile empty(immune);
    return empty.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

}  // namespace melodrop
