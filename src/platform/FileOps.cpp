#include "platform/FileOps.h"

#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace Platform {

namespace {
fs::path native(const QString &path)
{
    return fs::path(path.toStdString());
}

int errorNumber(const std::error_code &ec)
{
    if (!ec)
        return 0;
    return ec.value() != 0 ? ec.value() : EIO;
}
} // namespace

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

int CopyFileReplacing(const QString &source, const QString &target)
{
    std::error_code ec;
    fs::copy_file(native(source), native(target), fs::copy_options::overwrite_existing, ec);
    return errorNumber(ec);
}

int CopyFileNew(const QString &source, const QString &target)
{
    std::error_code ec;
    if (fs::exists(native(target), ec))
        return EEXIST;
    fs::copy_file(native(source), native(target), fs::copy_options::none, ec);
    return errorNumber(ec);
}

int RenameFile(const QString &source, const QString &target)
{
    std::error_code ec;
    fs::rename(native(source), native(target), ec);
    return errorNumber(ec);
}

int MakeFolder(const QString &path)
{
    std::error_code ec;
    fs::create_directories(native(path), ec);
    if (!ec && !fs::is_directory(native(path)))
        return ENOTDIR;
    return errorNumber(ec);
}

int ReplaceFileAtomically(const QString &source, const QString &target)
{
    const QString temporary = target + QLatin1String(".") + QUuid::createUuid().toString(QUuid::Id128).left(8)
        + QLatin1String(".tmp");
    int error = CopyFileNew(source, temporary);
    if (error == 0)
        error = RenameFile(temporary, target);
    if (error != 0) {
        std::error_code ignored;
        fs::remove(native(temporary), ignored);
    }
    return error;
}

} // namespace Platform
