#pragma once
// The program's shared run-time state: the check marks of the options menu and the hidden text
// fields and lists. Every part of the program reads and writes these fields by name; there is no
// other copy.
#include <QDir>
#include <QString>
#include <QStringList>

namespace melodrop {

inline const QString kRollupCaption = QStringLiteral("- rollup");
inline const QString kRolldownCaption = QStringLiteral("- rolldown");

struct OptionsState {
    // Starts as an empty settings store reads (the table of base/Settings.cpp).
    OptionsState();

    // Check marks of the options menu.
    bool alwaysontop;
    bool advertise;
    bool continuous;
    bool random;
    bool chatcommands;
    bool idle = false;
    bool idlelinker = false;
    // The roll state lives in the caption of the `rollup` item.
    QString rollupCaption = kRollupCaption;

    QString txtTrigger;
    QString txtHandle;
    QString txtMP3sPath;
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
