#pragma once

// File operations that report the operating system's error number, for the messages that end
// in "失败号为：" + number. Zero means success.

#include <QString>

namespace Platform {

bool FileExists(const QString &path);
// Copies source to target, replacing an existing target.
int CopyFileReplacing(const QString &source, const QString &target);
// Copies source to target only when no file is there yet (EEXIST otherwise).
int CopyFileNew(const QString &source, const QString &target);
int RenameFile(const QString &source, const QString &target);
// Creates the folder and any missing parents.
int MakeFolder(const QString &path);
// Replaces target by a copy of source in one step: copies to a temporary file beside the
// target, then renames it over the target. On failure the target is left as it was.
int ReplaceFileAtomically(const QString &source, const QString &target);

} // namespace Platform
