#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace TestSupport {

namespace {
// Runs mount or umount; empty when it worked, else what it said.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return program + QStringLiteral(" did not finish");
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
        + (said.isEmpty() ? QStringLiteral("failed") : said);
}
} // namespace

SmallDisk::SmallDisk(qint64 bytes)
{
    if (!dir.isValid()) {
        reason = QStringLiteral("no temporary folder");
        return;
    }
    reason = run(QStringLiteral("mount"),
        {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
            QStringLiteral("size=%1,mode=0755").arg(bytes), QStringLiteral("tmpfs"), dir.path()});
    mounted = reason.isEmpty();
    if (!mounted)
        reason = QStringLiteral("a small file system cannot be mounted here (") + reason + QLatin1Char(')');
}

SmallDisk::~SmallDisk()
{
    if (mounted)
        run(QStringLiteral("umount"), {QStringLiteral("-l"), dir.path()});
}

QString SmallDisk::path() const
{
    return dir.path() + QLatin1Char('/');
}

bool SmallDisk::fill()
{
    if (!mounted)
        return false;
    free();
    filler = path() + QStringLiteral("filler.bin");
    const int fd
        = ::open(QFile::encodeName(filler).constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // Large blocks first, then single bytes, until not one more fits.
    const QByteArray block(1 << 16, 'x');
    for (qsizetype size = block.size(); size >= 1; size /= 16) {
        while (::write(fd, block.constData(), size_t(size)) == size) { }
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

void SmallDisk::free()
{
    if (!filler.isEmpty())
        QFile::remove(filler);
    filler.clear();
}

ReadOnlyFile::ReadOnlyFile(const QString &path) : file(path)
{
    reason = run(QStringLiteral("mount"), {QStringLiteral("--bind"), file, file});
    if (reason.isEmpty()) {
        reason
            = run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), file});
        if (!reason.isEmpty())
            run(QStringLiteral("umount"), {file});
    }
    mounted = reason.isEmpty();
    if (!mounted)
        reason = QStringLiteral("a read-only bind mount is not allowed here (") + reason + QLatin1Char(')');
}

ReadOnlyFile::~ReadOnlyFile()
{
    // Lazily: a connection may still hold the file open.
    if (mounted)
        run(QStringLiteral("umount"), {QStringLiteral("-l"), file});
}

TemporaryFoldersIn::TemporaryFoldersIn(const QString &folder)
    : previous(qgetenv("TMPDIR")), hadPrevious(qEnvironmentVariableIsSet("TMPDIR"))
{
    qputenv("TMPDIR", QFile::encodeName(folder));
}

TemporaryFoldersIn::~TemporaryFoldersIn()
{
    if (hadPrevious)
        qputenv("TMPDIR", previous);
    else
        qunsetenv("TMPDIR");
}

} // namespace TestSupport
