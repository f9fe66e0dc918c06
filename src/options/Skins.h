#pragma once
// Skins: an INI file in the skins folder names a picture and the file list's colours.
#include "player/Context.h"

namespace melodrop {

class Skins {
public:
    explicit Skins(Context& ctx) : ctx_(ctx) {}

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

    Context& ctx_;
};

}  // namespace melodrop
