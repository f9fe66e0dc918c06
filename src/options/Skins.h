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
    // The start-up step: applies the stored skin. A stored skin file that is gone (the program
    // was moved or installed elsewhere) is looked for by its file name in the skins folders, the
    // per-user one first; a user's own skin elsewhere is used where it lies. When no usable skin
    // is found the built-in look stays. Returns what the user is to be told ("" when the skin
    // showed whole); start-up goes on either way.
    QString applyAtStartup();

private:
    struct SkinKeys {
        QString image, back, fore;
        bool usable() const { return !image.isEmpty() && !back.isEmpty() && !fore.isEmpty(); }
    };
    SkinKeys readKeys(const QString& skinFile);
    // The stored skin file where it lies, or a skin file of the same name in the skins folders;
    // "" when there is none.
    QString findStoredSkin(const QString& stored) const;
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
