#include "skinfetch/Skinfetch.h"

#include <QCoreApplication>
#include <QFile>

#include "net/DownloadToFolder.h"
#include "net/SafeFileName.h"
#include "skinfetch/SkinListFile.h"

namespace melodrop::skinfetch {

namespace {

const QString kListPath = QStringLiteral("/zeph/melodrop/skins/skins.txt");
const QString kSkinsPath = QStringLiteral("/zeph/melodrop/skins/");
const QString kProgramTitle = QStringLiteral("skinfetch");

}  // namespace

QString unsafeSkinNameReason(const QString& name) {
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" is not a skin name").arg(name);
    return unsafeFileNameReason(name + QStringLiteral(".zip"));
}

Skinfetch::Skinfetch(WebTransfer& transfer, SkinfetchDialogs& dialogs, QString programFolder,
                     QString serverBase)
    : transfer_(transfer),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      serverBase_(std::move(serverBase)) {
    while (serverBase_.endsWith(QLatin1Char('/'))) serverBase_.chop(1);
}

void Skinfetch::setSelectedIndex(int index) {
    selected_ = (index >= 0 && index < entries_.size()) ? index : -1;
}

void Skinfetch::refreshList() {
    if (working_) return;
    setWorking(true);
    setStatus(QStringLiteral("status: getting list..."));

    // Without an answer the text is empty, and the list becomes one empty entry.
    const FetchResult fetched = transfer_.fetch(serverBase_ + kListPath);
    const QByteArray text = fetched.ok ? fetched.body : QByteArray();

    const QString copyPath = programFolder_ + QStringLiteral("/skins/skins.txt");
    if (const QString error = saveListCopy(copyPath, text); !error.isEmpty())
        dialogs_.messageBox(error, QStringLiteral("Error Saving"), BoxIcon::Warning);

    setEntries({});
    if (std::optional<QList<QByteArray>> loaded = loadListCopy(copyPath))
        setEntries(std::move(*loaded));
    QFile::remove(copyPath);

    setStatus(QStringLiteral("status: get list complete."));
    setWorking(false);
    QCoreApplication::processEvents();
}

void Skinfetch::downloadSelected() {
    if (working_ || selected_ < 0 || selected_ >= entries_.size()) return;
    const QString entry = entries_.at(selected_);
    if (entry.isEmpty()) return;
    if (const QString why = unsafeSkinNameReason(entry); !why.isEmpty()) {
        setStatus(QStringLiteral("status: skin name refused: ") + why);
        return;
    }
    setWorking(true);
    download(entry, entryBytes_.at(selected_));
    setWorking(false);
}

void Skinfetch::download(const QString& entry, const QByteArray& bytes) {
    const QString chosen =
        dialogs_.saveFileDialog(QStringLiteral("Save skin to"), QStringLiteral("(*.zip)|*zip"),
                                entry, programFolder_ + QStringLiteral("/skins"));
    // Only the folder of the chosen path is used; the archive keeps the skin's name.
    if (!chosen.contains(QLatin1Char('/')) && !chosen.contains(QLatin1Char('\\'))) return;
    const QString folder = folderOfChosenPath(chosen);
    dialogs_.messageBox(folder, kProgramTitle, BoxIcon::None);
    if (folder.isEmpty()) return;

    setStatus(QStringLiteral("status: downloading skin."));
    // The server is asked for the name exactly as its list wrote it; the archive is stored
    // under the readable name.
    const QString url = serverBase_ + kSkinsPath + QString::fromLatin1(bytes.toPercentEncoding()) +
                        QStringLiteral(".zip");
    const DownloadResult stored =
        downloadToFolder(transfer_, url, folder, entry + QStringLiteral(".zip"));
    setStatus(stored.ok() ? QStringLiteral("status: skin download complete.")
                          : QStringLiteral("status: skin download failed."));
}

void Skinfetch::setStatus(const QString& text) {
    status_ = text;
    if (onStatusChanged) onStatusChanged();
}

void Skinfetch::setEntries(QList<QByteArray> bytes) {
    entries_.clear();
    for (const QByteArray& line : bytes) entries_ << entryName(line);
    entryBytes_ = std::move(bytes);
    selected_ = -1;
    if (onEntriesChanged) onEntriesChanged();
}

void Skinfetch::setWorking(bool working) {
    working_ = working;
    if (onWorkingChanged) onWorkingChanged();
}

}  // namespace melodrop::skinfetch
