#include "app/UserProgramFolder.h"

#include "platform/FileOps.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

namespace {

// What was copied into the user's folder: per file the installed file's time and the digest of
// the copy ("-" for books, which are never compared), so a later start sees a newer installed
// file, a copy the user changed and a book the user removed.
const QString ManifestName = QStringLiteral(".installed-files");

struct Copied {
    qint64 installedTime = 0;
    QByteArray digest;
};

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Registry and ledgers hold the user's books: never replaced once there.
bool isUserData(const QString &relative)
{
    const QString lower = relative.toLower();
    return lower.endsWith(QLatin1String(".mdb")) || lower.endsWith(QLatin1String(".ddb"));
}

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

QHash<QString, Copied> readManifest(const QString &path)
{
    QHash<QString, Copied> copied;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return copied;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split('\t');
        if (fields.size() == 3)
            copied.insert(QString::fromUtf8(fields[0]), {fields[1].toLongLong(), fields[2]});
    }
    return copied;
}

int writeManifest(const QString &path, const QHash<QString, Copied> &copied)
{
    QStringList names = copied.keys();
    names.sort();
    QByteArray bytes;
    for (const QString &name : names)
        bytes += name.toUtf8() + '\t' + QByteArray::number(copied[name].installedTime) + '\t'
            + copied[name].digest + '\n';
    return Platform::WriteFileWhole(path, bytes);
}

} // namespace

bool IsFolderWritable(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withSlash(folder) + QStringLiteral(".write-probe-XXXXXX"));
    return probe.open();
}

QString SeedUserProgramFolder(
    const QString &installedFolder, const QString &userFolder, const QStringList &skip)
{
    const QString from = withSlash(installedFolder);
    const QString to = withSlash(userFolder);
    if (const int error = Platform::MakeFolder(to))
        return QStringLiteral("%1：%2").arg(to, Platform::ErrorNumberText(error));

    const QString manifestPath = to + ManifestName;
    QHash<QString, Copied> copied = readManifest(manifestPath);
    bool changed = false;
    QString failure;

    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(from.size());
        if (skip.contains(relative))
            continue;
        const QString target = to + relative;
        const bool present = QFileInfo::exists(target);
        // Books are copied once: one the user deleted stays deleted.
        if (isUserData(relative) && (present || copied.contains(relative)))
            continue;

        const qint64 installedTime = it.fileInfo().lastModified().toMSecsSinceEpoch();
        if (present) {
            const auto known = copied.constFind(relative);
            // Without a record only a newer installed file replaces the copy.
            const bool newer = known == copied.cend()
                ? installedTime > QFileInfo(target).lastModified().toMSecsSinceEpoch()
                : installedTime > known->installedTime;
            if (!newer)
                continue;
            // A template the user edited in the designer stays theirs.
            if (known != copied.cend() && digestOf(target) != known->digest)
                continue;
        }

        int error = Platform::MakeFolder(QFileInfo(target).absolutePath());
        if (!error)
            error = Platform::CopyFileWhole(source, target);
        if (error) {
            failure = QStringLiteral("%1：%2").arg(target, Platform::ErrorNumberText(error));
            break;
        }
        copied.insert(relative, {installedTime, isUserData(relative) ? QByteArray("-") : digestOf(target)});
        changed = true;
    }

    // Also after a failure, so that what was copied counts as copied on the next start.
    if (changed)
        if (const int error = writeManifest(manifestPath, copied); error && failure.isEmpty())
            failure = QStringLiteral("%1：%2").arg(manifestPath, Platform::ErrorNumberText(error));
    return failure;
}

ProgramFolderChoice ChooseProgramFolder(
    const QString &installedFolder, const QString &userFolder, const QStringList &skip)
{
    if (IsFolderWritable(installedFolder))
        return {withSlash(installedFolder), {}};
    return {withSlash(userFolder), SeedUserProgramFolder(installedFolder, userFolder, skip)};
}
