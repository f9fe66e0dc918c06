#pragma once
// Pictures embedded in tracks, kept as files for the desktop's media widgets (they take a
// file's address, mpris:artUrl): each picture once, named by a hash of its bytes, in the user's
// cache folder ($XDG_CACHE_HOME/melodrop). The folder holds at most kMaxPictures of them; the
// oldest go when a new one comes.
#include <QString>

#include "tags/TrackTags.h"

namespace melodrop::tags {

class CoverArtCache {
public:
    static constexpr int kMaxPictures = 64;

    explicit CoverArtCache(QString folder = defaultFolder());
    static QString defaultFolder();

    QString folder() const { return folder_; }
    // The file that holds the picture, written whole the first time; "" for no picture or when
    // it cannot be written.
    QString fileFor(const Picture& picture);

private:
    void keepNewest();

    QString folder_;
};

}  // namespace melodrop::tags
