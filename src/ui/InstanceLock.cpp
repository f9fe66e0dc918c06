#include "ui/InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QLockFile>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace melodrop::ui {

QString instanceLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("melodrop.lock"));
}

InstanceLock::InstanceLock(QString path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock() {
    release();
}

#ifdef Q_OS_WIN

InstanceLock::Outcome InstanceLock::take() {
    if (held()) return Outcome::Held;
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return Outcome::Held;
    return lock_->error() == QLockFile::LockFailedError ? Outcome::HeldElsewhere
                                                        : Outcome::Unavailable;
}

void InstanceLock::release() {
    if (lock_) lock_->unlock();
    lock_.reset();
}

bool InstanceLock::held() const {
    return lock_ && lock_->isLocked();
}

#else

InstanceLock::Outcome InstanceLock::take() {
    if (held()) return Outcome::Held;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unavailable;
    }
    fd_ = fd;
    // The holder's process id, for a person looking; only the kernel's lock counts.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(fd_, 0) == 0 && ::write(fd_, pid.constData(), size_t(pid.size())) < 0) {
        // The content is only informative.
    }
    return Outcome::Held;
}

void InstanceLock::release() {
    if (fd_ < 0) return;
    // The file stays: removing it could let a starting process lock a file of the same name
    // that is no longer this one.
    ::close(fd_);
    fd_ = -1;
}

bool InstanceLock::held() const {
    return fd_ >= 0;
}

#endif

}  // namespace melodrop::ui
