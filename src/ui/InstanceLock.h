#pragma once
// The single-instance lock: one file in the user's runtime folder, locked by the running
// program. On Linux the lock is the kernel's (flock), held by the open file and dropped by the
// kernel when the process ends however it ends, so a crash can leave the file behind but never
// the lock: whatever the file holds, it never stops the next start. The file is not inherited by
// programs melodrop starts (skinfetch).
#include <QString>
#include <memory>

class QLockFile;

namespace melodrop::ui {

// "melodrop.lock" in the user's runtime folder ($XDG_RUNTIME_DIR; the temporary folder where
// there is none).
QString instanceLockPath();

class InstanceLock {
public:
    enum class Outcome {
        Held,           // this process holds the lock
        HeldElsewhere,  // another running process holds it
        Unavailable,    // the lock file cannot be made or locked: nothing to go by
    };

    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock unless held already.
    Outcome take();
    void release();
    bool held() const;
    QString path() const { return path_; }

private:
    QString path_;
#ifdef Q_OS_WIN
    std::unique_ptr<QLockFile> lock_;
#else
    int fd_ = -1;
#endif
};

}  // namespace melodrop::ui
