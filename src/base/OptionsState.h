#pragma once
// The program's shared run-time state: the check marks of the options menu and the hidden text
// fields and lists. Every part of the program reads and writes these fields by name; there is no
// other copy.
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace melodrop {

inline QString defaultMp3Folder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\My Downloads");
#else
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() + QStringLiteral("/Downloads") : downloads;
#endif
}

inline const QString kNoTrack = QStringLiteral("mp3 name");
inline const QString kRollupCaption = QStringLiteral("- rollup");
inline const QString kRolldownCaption = QStringLiteral("- rolldown");

struct OptionsState {
    // Check marks of the options menu.
    bool alwaysontop = true;
    bool advertise = true;
    bool continuous = false;
    bool random = false;
    bool chatcommands = true;
    bool idle = false;
    bool idlelinker = false;
    // The roll state lives in the caption of the `rollup` item.
    QString rollupCaption = kRollupCaption;

    QString txtTrigger;
    QString txtHandle = QStringLiteral("user");
    QString txtMP3sPath = defaultMp3Folder();
    QString lblMP3Name = kNoTrack;
    QString lblReason;
    QString lblDays = QStringLiteral("0");
    QString lblHours = QStringLiteral("0");
    QString lblMins = QStringLiteral("0");
    QString lblURL;
    QString lblURLText;
    QStringList lstImmune;
    QStringList lstRoom;
    QStringList lstRandom;
    QString Label1;  // automatic-ignoring threshold, "" when off
    // The hidden folder list that relays the MP3 folder to the track list.
    QString dirMP3s = QDir::currentPath();
};

}  // namespace melodrop
