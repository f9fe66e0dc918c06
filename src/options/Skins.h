#pragma once
// Skins: an INI file in the skins folder names a picture and the file list's colours.
#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/Desktop.h"
#include "base/Options.h"
#include "base/PlayerWindowModel.h"
#include "locations/FileLocations.h"

namespace melodrop {

class Skins {
public:
    Skins(Desktop& desktop, PlayerWindowModel& window, Options& options, Announcer& announcer,
          aol::Quartzline& aol, const FileLocations& files)
        : desktop_(desktop),
          window_(window),
          options_(options),
          announcer_(announcer),
          aol_(aol),
          files_(files) {}

    // The "- change skin" item: choose a skin file, apply it, remember it, announce it.
    void changeSkin();
    // The start-up step. Returns false when the saved skin is not usable, which ends the
    // start-up sequence there.
    bool applyAtStartup();

private:
    struct SkinKeys {
        QString image, back, fore;
        bool usable() const { return !image.isEmpty() && !back.isEmpty() && !fore.isEmpty(); }
    };
    SkinKeys readKeys(const QString& skinFile);
    QString ini(const QString& key, const QString& skinFile);
    // Each returns whether it took effect.
    bool showPicture(const QString& image);
    bool setBackColor(const QString& text);
    bool setForeColor(const QString& text);

    Desktop& desktop_;
    PlayerWindowModel& window_;
    Options& options_;
    Announcer& announcer_;
    aol::Quartzline& aol_;
    const FileLocations& files_;
};

}  // namespace melodrop
