#pragma once

// File systems for the fault tests: a small disk that can be filled to the last byte, and a
// file made read-only with a read-only bind mount (the tests run as root, who ignores
// permission bits). Both need the right to mount; without it they say why, for QSKIP.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

class SmallDisk
{
public:
    // A tmpfs of that many bytes on a fresh folder.
    explicit SmallDisk(qint64 bytes = 4 << 20);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return mounted; }
    QString whyNot() const { return reason; }
    // The mounted folder, ending with "/".
    QString path() const;

    // Takes every free byte, so that the next write meets a full disk; free() gives it back.
    bool fill();
    void free();

private:
    QTemporaryDir dir;
    bool mounted = false;
    QString reason;
    QString filler;
};

// Makes one file read-only while it lives: a read-only bind mount of the file onto itself.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isReadOnly() const { return mounted; }
    QString whyNot() const { return reason; }

private:
    QString file;
    bool mounted = false;
    QString reason;
};

// While it lives, temporary folders (QTemporaryDir, and so the program folders of the
// fixtures) are made inside folder.
class TemporaryFoldersIn
{
public:
    explicit TemporaryFoldersIn(const QString &folder);
    ~TemporaryFoldersIn();

private:
    QByteArray previous;
    bool hadPrevious = false;
};

} // namespace TestSupport
