#pragma once
// Sends announcement lines into the open chat room, each kind only when its gate allows.
#include <QString>

#include "aol/Quartzline.h"
#include "base/AnnouncementLines.h"
#include "base/OptionsState.h"

namespace melodrop {

class Announcer {
public:
    Announcer(aol::Quartzline& aol, const OptionsState& state, QString downloadPage);

    // Sends the line of the kind if `advertise` is on or the kind is sent always.
    void announce(Announcement kind, const QString& value = {});
    // Sends a line as it is, whatever `advertise` says.
    void send(const QString& line);

    QString downloadPage() const { return downloadPage_; }

private:
    aol::Quartzline& aol_;
    const OptionsState& state_;
    QString downloadPage_;
};

}  // namespace melodrop
