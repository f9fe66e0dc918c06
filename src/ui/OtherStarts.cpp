#include "ui/OtherStarts.h"

#include <QDir>
#include <QFileInfo>

#include "program/Melodrop.h"
#include "ui/QtDesktop.h"

namespace melodrop::ui {

void bringPlayerForward(QtDesktop& desktop, Melodrop& melodrop) {
    if (melodrop.ended()) return;
    if (desktop.hiddenToTray()) melodrop.trayLeftPressed();
    desktop.restorePlayer();
}

void playFileFromOutside(QtDesktop& desktop, Melodrop& melodrop, const QString& path) {
    if (melodrop.ended()) return;
    bringPlayerForward(desktop, melodrop);
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    auto refuse = [&](const QString& why) {
        desktop.message(QStringLiteral("\"%1\" cannot be played: %2").arg(shown, why),
                        MessageIcon::Warning);
    };
    if (!file.isFile()) return refuse(QStringLiteral("there is no such file."));
    if (file.suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("melodrop plays .mp3 files."));
    melodrop.folderDialogOk(QDir::toNativeSeparators(file.absolutePath()));
    const int index = melodrop.tracks().entries().indexOf(file.fileName());
    if (index < 0) return refuse(QStringLiteral("its folder cannot be listed."));
    melodrop.playListed(index);
}

void answerOtherStart(QtDesktop& desktop, Melodrop& melodrop, const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::Play)
        playFileFromOutside(desktop, melodrop, request.file);
    else
        bringPlayerForward(desktop, melodrop);
}

}  // namespace melodrop::ui
