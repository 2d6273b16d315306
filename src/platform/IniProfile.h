#pragma once

// Settings files in the manner of the classic profile-file calls: section and key names are
// compared without regard to letter case, a missing file, section or key gives the caller's
// default, and a write creates what is missing while keeping every other line and comment.
// Each line is read as UTF-8, or as GBK when it is not valid UTF-8; files are written as UTF-8
// in one atomic step, so that a failed write leaves the file as it was.

#include <QList>
#include <QString>

#include <utility>

namespace Platform {

QString ReadProfileString(
    const QString &section, const QString &key, const QString &defaultValue, const QString &filePath);
// False when the file could not be written; *error is then the system's error number.
bool WriteProfileString(const QString &section, const QString &key, const QString &value,
    const QString &filePath, int *error = nullptr);
// Several keys of one section in one write: all of them are stored, or none.
bool WriteProfileStrings(const QString &section, const QList<std::pair<QString, QString>> &values,
    const QString &filePath, int *error = nullptr);

// Decodes the bytes of a text file that may be UTF-8 (with or without BOM) or GBK.
QString DecodeLegacyText(const QByteArray &bytes);

} // namespace Platform
