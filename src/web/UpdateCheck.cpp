#include "web/UpdateCheck.h"

#include "net/DownloadToFolder.h"
#include "net/SafeFileName.h"

namespace melodrop {

namespace {

const QString kTitle = QStringLiteral("melodrop");
const QString kReleaseFilePath = QStringLiteral("/zeph/melodrop/updates.txt");
const QString kArchivePath = QStringLiteral("/zeph/melodrop/melodrop update.zip");

QString withoutTrailingSlash(QString base) {
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    return base;
}

}  // namespace

UpdateCheck::UpdateCheck(Desktop& desktop, WebTransfer& transfer, Clock& clock,
                         const FileLocations& files, QString serverBase, QString runningVersion)
    : desktop_(desktop),
      transfer_(transfer),
      programFolder_(files.programFolder()),
      saveFolder_(files.userFolder()),
      serverBase_(withoutTrailingSlash(std::move(serverBase))),
      runningVersion_(std::move(runningVersion)),
      timer2_(clock.createTimer()) {
    timer2_->setInterval(100);
    timer2_->setEnabled(false);
    timer2_->onTick = [this] {
        timer2_->setEnabled(false);
        check();
    };
}

QString UpdateCheck::runningVersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(MELODROP_VERSION_MAJOR)
        .arg(MELODROP_VERSION_MINOR)
        .arg(MELODROP_VERSION_PATCH);
}

QString UpdateCheck::defaultServerBase() {
    return QStringLiteral(MELODROP_UPDATE_SERVER);
}

void UpdateCheck::start() {
    desktop_.showUpdateNotice();
    timer2_->setEnabled(true);
}

void UpdateCheck::startSkinfetch() {
#ifdef Q_OS_WIN
    desktop_.startProgram(programFolder_ + QStringLiteral("/skinfetch.exe"));
#else
    desktop_.startProgram(programFolder_ + QStringLiteral("/skinfetch"));
#endif
}

void UpdateCheck::check() {
    const FetchResult release = transfer_.fetch(serverBase_ + kReleaseFilePath);
    if (!release.ok) {
        stopSilently();
        return;
    }

    // The release file holds the version text and nothing else; anything different, a trailing
    // line break or an empty body included, counts as an update.
    if (QString::fromUtf8(release.body) != runningVersion_) return askAndDownload();

    desktop_.hideUpdateNotice();
    desktop_.minimizePlayer();
    desktop_.messageBox(QStringLiteral("no updates for melodrop were found."), kTitle,
                        MessageIcon::Information, MessageButtons::Ok);
    desktop_.restorePlayer();
}

void UpdateCheck::askAndDownload() {
    desktop_.minimizePlayer();
    desktop_.hideUpdateNotice();
    const MessageAnswer answer = desktop_.messageBox(
        QStringLiteral("a update of melodrop has been found, would you like to download it?"),
        kTitle, MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        stopSilently();
        return;
    }

    const QString chosen = desktop_.saveFileDialog(QStringLiteral("Choose where to save melodrop"),
                                                   QStringLiteral("(*.zip)|*zip"),
                                                   QStringLiteral("melodrop update"), saveFolder_);
    // Only the folder is used; the archive keeps its own name.
    const QString folder = folderOfChosenPath(chosen);
    if (folder.isEmpty()) {
        stopSilently();
        return;
    }

    desktop_.messageBox(QStringLiteral("melodrop will download update in the background and will "
                                       "inform you when the download is complete."),
                        kTitle, MessageIcon::Information, MessageButtons::Ok);
    desktop_.restorePlayer();

    const DownloadResult stored = downloadToFolder(transfer_, serverBase_ + kArchivePath, folder);

    // The user was promised word when the download is done, so a failure is said as such rather
    // than reported as complete.
    desktop_.minimizePlayer();
    if (stored.ok()) {
        desktop_.messageBox(QStringLiteral("melodrop download complete."), kTitle,
                            MessageIcon::Information, MessageButtons::Ok);
    } else {
        desktop_.messageBox(QStringLiteral("melodrop download failed: ") + stored.error, kTitle,
                            MessageIcon::Warning, MessageButtons::Ok);
    }
    desktop_.hideUpdateNotice();
    desktop_.restorePlayer();
}

void UpdateCheck::stopSilently() {
    desktop_.hideUpdateNotice();
    desktop_.restorePlayer();
}

}  // namespace melodrop
