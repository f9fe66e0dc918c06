#pragma once
#include <QMap>
#include <QSet>
#include <QSettings>
#include <functional>
#include <memory>

#include "base/SettingsStore.h"

namespace melodrop {

class Desktop;

// The settings of application "melodrop", group "options".
//
// On Windows: the registry key of earlier installations, through QSettings.
// Elsewhere: an INI file in the user's configuration folder, read with QSettings (so files
// written by earlier versions read as before) and written by the store itself: the file is
// rewritten whole through the file-system seam (a temporary file beside it, flushed, renamed
// over it), so a full or read-only disk leaves the old file whole instead of cut off. A settings
// file that cannot be read (not a regular file, far too large) is left alone: nothing is written
// over it.
//
// A failed write keeps the value for this run (ReadSetting returns it), goes into the file with
// the next write that succeeds, and is told once through onWriteFailed, until a write succeeds.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    // A store in an explicit INI file (tests, the scenario runner).
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    QString ReadSetting(const QString& key) override;
    void WriteSetting(const QString& key, const QString& value) override;

    // What the last write failed on ("path: reason"), "" after a successful one.
    QString lastError() const { return lastError_; }
    std::function<void(const QString& reason)> onWriteFailed;
    // Tells a failure as a warning box "melodrop could not save its settings" with the reason,
    // once the event that wrote the setting has finished (a slider drag is not cut short).
    void tellFailuresThrough(Desktop& desktop);

    // A settings file larger than this is not read (and so not written over).
    static constexpr qsizetype kMaxFileBytes = 1024 * 1024;

private:
    void openIni(const QString& path);
    void failed(const QString& reason);

    std::unique_ptr<QSettings> native_;  // Windows: the registry
    QString path_;                       // elsewhere: the INI file
    QByteArray text_;                    // its content as last read or written
    QString unreadable_;                 // why the file was not read, "" when it was (or is new)
    QMap<QString, QString> values_;
    QSet<QString> unsaved_;  // keys whose value is not in the file yet
    QString lastError_;
    bool failureTold_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace melodrop
