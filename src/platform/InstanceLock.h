#pragma once

// Keeps a second copy of the program from running in the same user session. A lock left by a
// process that died is taken over.

#include <QString>

#include <memory>

class QLockFile;

namespace Platform {

class SingleInstanceLock
{
public:
    // The lock lives in lockFolder (the user's runtime folder by default).
    explicit SingleInstanceLock(const QString &lockFolder = DefaultLockFolder());
    ~SingleInstanceLock();

    // False when another running copy holds the lock.
    bool tryAcquire();
    QString lockFilePath() const;

    static QString DefaultLockFolder();

private:
    std::unique_ptr<QLockFile> lock;
    QString path;
};

} // namespace Platform
