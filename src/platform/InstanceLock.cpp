#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace Platform {

SingleInstanceLock::SingleInstanceLock(const QString &lockFolder)
    : path(QDir(lockFolder).filePath(QStringLiteral("Quillbrook.lock")))
{
    QDir().mkpath(lockFolder);
    lock = std::make_unique<QLockFile>(path);
    // Never stale by age: a running copy keeps it for as long as it runs. A lock whose process
    // is gone is recognised by QLockFile and taken over.
    lock->setStaleLockTime(0);
}

SingleInstanceLock::~SingleInstanceLock() = default;

bool SingleInstanceLock::tryAcquire()
{
    if (lock->isLocked())
        return true;
    return lock->tryLock(0);
}

QString SingleInstanceLock::lockFilePath() const
{
    return path;
}

QString SingleInstanceLock::DefaultLockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace Platform
