#pragma once
// The chat commands of ignoring and immunity: x and unx switch a room member's ignore box,
// imu, unimu and vimu keep the immune list ("immune.txt" beside the program), ax and axoff
// switch automatic ignoring.
#include <QString>

#include "player/Context.h"

namespace melodrop {

class IgnoreCommands {
public:
    explicit IgnoreCommands(Context& ctx) : ctx_(ctx) {}

    // x and unx do the same: the client's ignore box of the member is clicked; they differ only
    // in the line they announce.
    void ignore(const QString& part, Announcement line);
    void immune(const QString& name);
    void unimmune(const QString& part);
    void viewImmune();
    void autoIgnoreOn(const QString& count);
    void autoIgnoreOff();

private:
    void saveImmuneList();

    Context& ctx_;
};

}  // namespace melodrop
