#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {
const QString TemporaryTag = QStringLiteral(".quill-");
const QString TemporaryEnd = QStringLiteral(".tmp");

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int errorNumber(const std::error_code &ec)
{
    if (!ec)
        return 0;
    return ec.value() != 0 ? ec.value() : EIO;
}

// Writes all of bytes to fd; 0 or errno.
int writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= written;
    }
    return 0;
}

// Creates path, which must not exist yet, for writing; the descriptor or -errno.
int createNew(const QString &path, mode_t mode)
{
    const int fd = ::open(native(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
    return fd < 0 ? -errno : fd;
}

// close() reports a write that failed late (some file systems only find out then).
int closeChecked(int fd)
{
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that kind of rename: a second name refuses an existing target too.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    struct stat st {
    };
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

int renameFile(const QString &source, const QString &target, Replace replace)
{
    const QByteArray from = native(source);
    const QByteArray to = native(target);
    if (replace == Replace::Never)
        return renameNoReplace(from, to);
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}
} // namespace

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

int CopyFileReplacing(const QString &source, const QString &target)
{
    return CopyFileWhole(source, target, Replace::Allowed);
}

int CopyFileNew(const QString &source, const QString &target)
{
    if (QFileInfo::exists(target))
        return EEXIST;
    return CopyFileWhole(source, target, Replace::Never);
}

int RenameFile(const QString &source, const QString &target)
{
    std::error_code ec;
    fs::rename(fs::path(native(source).toStdString()), fs::path(native(target).toStdString()), ec);
    return errorNumber(ec);
}

int MakeFolder(const QString &path)
{
    std::error_code ec;
    const fs::path folder(native(path).toStdString());
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder))
        return ENOTDIR;
    return errorNumber(ec);
}

int ReplaceFileAtomically(const QString &source, const QString &target)
{
    return CopyFileWhole(source, target, Replace::Allowed);
}

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString ErrorNumberText(int error)
{
    return QString::number(error) + QStringLiteral("（") + ErrorText(error) + QStringLiteral("）");
}

QString TemporaryPathFor(const QString &target)
{
    const quint32 tag = QRandomGenerator::system()->generate();
    return target + TemporaryTag + QStringLiteral("%1").arg(tag, 8, 16, QLatin1Char('0')) + TemporaryEnd;
}

int SyncPath(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int result = ::fsync(fd) == 0 ? 0 : errno;
    // Folders of some file systems cannot be flushed; their renames are as safe as they get.
    if (result == EINVAL && QFileInfo(path).isDir())
        result = 0;
    ::close(fd);
    return result;
}

int CommitTemporary(const QString &temporary, const QString &target, Replace replace)
{
    int error = SyncPath(temporary);
    if (error == 0)
        error = renameFile(temporary, target, replace);
    if (error != 0) {
        ::unlink(native(temporary).constData());
        return error;
    }
    // The rename is done; a folder that cannot be flushed does not undo it.
    SyncPath(folderOf(target));
    return 0;
}

int WriteThroughTemporary(const QString &target,
    const std::function<int(const QString &temporary)> &writeTemporary, Replace replace)
{
    if (replace == Replace::Never && QFileInfo::exists(target))
        return EEXIST;
    const QFileInfo info(target);
    if (info.isDir())
        return EISDIR;
    // What an earlier write of the same file left behind when it was cut short.
    RemoveLeftoverTemporaries(info.absolutePath(), info.fileName());
    const QString temporary = TemporaryPathFor(target);
    const int error = writeTemporary(temporary);
    if (error != 0) {
        ::unlink(native(temporary).constData());
        return error;
    }
    return CommitTemporary(temporary, target, replace);
}

int WriteFileWhole(const QString &target, const QByteArray &bytes)
{
    // A replaced file keeps its permissions, as an editor would leave them.
    struct stat st {
    };
    const bool replacing = ::stat(native(target).constData(), &st) == 0 && S_ISREG(st.st_mode);
    return WriteThroughTemporary(target, [&](const QString &temporary) {
        const int fd = createNew(temporary, 0666);
        if (fd < 0)
            return -fd;
        int error = replacing ? (::fchmod(fd, st.st_mode & 07777) == 0 ? 0 : errno) : 0;
        if (error == 0)
            error = writeAll(fd, bytes.constData(), bytes.size());
        const int closed = closeChecked(fd);
        return error != 0 ? error : closed;
    });
}

int CopyFileWhole(const QString &source, const QString &target, Replace replace)
{
    const int in = ::open(native(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat st {
    };
    if (::fstat(in, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(in);
        return EISDIR;
    }
    const int result = WriteThroughTemporary(
        target,
        [in](const QString &temporary) {
            const int out = createNew(temporary, 0666);
            if (out < 0)
                return -out;
            QByteArray buffer(1 << 20, Qt::Uninitialized);
            int error = 0;
            for (;;) {
                const ssize_t got = ::read(in, buffer.data(), size_t(buffer.size()));
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0) {
                    error = errno;
                    break;
                }
                if (got == 0)
                    break;
                error = writeAll(out, buffer.constData(), got);
                if (error != 0)
                    break;
            }
            const int closed = closeChecked(out);
            return error != 0 ? error : closed;
        },
        replace);
    ::close(in);
    return result;
}

int MoveFile(const QString &source, const QString &target, Replace replace)
{
    const int error = renameFile(source, target, replace);
    if (error != 0)
        return error;
    SyncPath(folderOf(target));
    if (folderOf(source) != folderOf(target))
        SyncPath(folderOf(source));
    return 0;
}

bool IsLeftoverTemporary(const QString &fileName, const QString &targetName)
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.quill-[0-9a-f]{8}\\.tmp$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() && (targetName.isEmpty() || match.captured(1) == targetName);
}

int RemoveLeftoverTemporaries(const QString &folder, const QString &targetName)
{
    int removed = 0;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files) {
        // Only regular files of our own naming: a link or anything else is not ours to remove.
        if (file.isSymLink() || !IsLeftoverTemporary(file.fileName(), targetName))
            continue;
        if (::unlink(native(file.absoluteFilePath()).constData()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace Platform
