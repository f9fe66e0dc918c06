#pragma once
// Automatic ignoring: watches the room through the second scanner and ignores a member who
// sends the threshold number of lines in a row, unless an immune entry protects the member.
// The threshold is `Label1`; the ax and axoff commands set it and switch the scanner.
#include <QMetaObject>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/ChatScanner.h"
#include "base/OptionsState.h"
#include "chat/FloodCounter.h"

namespace melodrop {

class AutoIgnore {
public:
    AutoIgnore(ChatScanner& chat1, OptionsState& state, Announcer& announcer,
               aol::Quartzline& aol);  // listens to chat1, the automatic-ignore scanner
    ~AutoIgnore();
    AutoIgnore(const AutoIgnore&) = delete;
    AutoIgnore& operator=(const AutoIgnore&) = delete;

    // The ChatLine event of the automatic-ignore scanner (the text is not used).
    void handleLine(const QString& screenName);

    const FloodCounter& flood() const { return flood_; }

private:
    bool immune(const QString& speaker) const;

    ChatScanner& chat1_;
    OptionsState& state_;
    Announcer& announcer_;
    aol::Quartzline& aol_;
    FloodCounter flood_;
    QMetaObject::Connection connection_;
};

}  // namespace melodrop
