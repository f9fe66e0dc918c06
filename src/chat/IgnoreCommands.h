#pragma once
// The chat commands of ignoring and immunity: x and unx switch a room member's ignore box,
// imu, unimu and vimu keep the immune list ("immune.txt" beside the program), ax and axoff
// switch automatic ignoring.
#include <QString>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/ChatScanner.h"
#include "base/Desktop.h"
#include "base/OptionsState.h"
#include "locations/FileLocations.h"

namespace melodrop {

class IgnoreCommands {
public:
    IgnoreCommands(OptionsState& state, Announcer& announcer, aol::Quartzline& aol,
                   Desktop& desktop, ChatScanner& chat1, const FileLocations& files)
        : state_(state),
          announcer_(announcer),
          aol_(aol),
          desktop_(desktop),
          chat1_(chat1),
          files_(files) {}

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

    OptionsState& state_;
    Announcer& announcer_;
    aol::Quartzline& aol_;
    Desktop& desktop_;
    ChatScanner& chat1_;
    const FileLocations& files_;
};

}  // namespace melodrop
