#pragma once
// Automatic ignoring: watches the room through the second scanner and ignores a member who
// sends the threshold number of lines in a row, unless an immune entry protects the member.
// The threshold is `Label1`; the ax and axoff commands set it and switch the scanner.
#include <QMetaObject>

#include "chat/FloodCounter.h"
#include "player/Context.h"

namespace melodrop {

class AutoIgnore {
public:
    explicit AutoIgnore(Context& ctx);  // listens to ctx.chat1
    ~AutoIgnore();
    AutoIgnore(const AutoIgnore&) = delete;
    AutoIgnore& operator=(const AutoIgnore&) = delete;

    // The ChatLine event of the automatic-ignore scanner (the text is not used).
    void handleLine(const QString& screenName);

    const FloodCounter& flood() const { return flood_; }

private:
    bool immune(const QString& speaker) const;

    Context& ctx_;
    FloodCounter flood_;
    QMetaObject::Connection connection_;
};

}  // namespace melodrop
