#pragma once

// Settings files in the manner of the classic profile-file calls: section and key names are
// compared without regard to letter case, a missing file, section or key gives the caller's
// default, and a write creates what is missing while keeping every other line and comment.
// Files are read as UTF-8, or as GBK when they are not valid UTF-8, and written as UTF-8 in one
// atomic step.

#include <QString>

namespace Platform {

QString ReadProfileString(
    const QString &section, const QString &key, const QString &defaultValue, const QString &filePath);
bool WriteProfileString(
    const QString &section, const QString &key, const QString &value, const QString &filePath);

// Decodes the bytes of a text file that may be UTF-8 (with or without BOM) or GBK.
QString DecodeLegacyText(const QByteArray &bytes);

} // namespace Platform
