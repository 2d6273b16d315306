#pragma once

// File operations that report the operating system's error number, for the messages that end
// in "失败号为：" + number. Zero means success.
//
// Every file the program writes goes through a temporary file beside its target that is
// written whole, flushed to the disk and then renamed onto the target: a failure (a full disk,
// a missing folder, a kill) leaves the old file as it was. The temporaries are named
// "<target>.quill-XXXXXXXX.tmp"; only names of that form are ever removed as left-overs.

#include <QByteArray>
#include <QString>

#include <functional>

namespace Platform {

bool FileExists(const QString &path);
// Copies source to target, replacing an existing target only once the copy is complete.
int CopyFileReplacing(const QString &source, const QString &target);
// Copies source to target only when no file is there yet (EEXIST otherwise).
int CopyFileNew(const QString &source, const QString &target);
int RenameFile(const QString &source, const QString &target);
// Creates the folder and any missing parents.
int MakeFolder(const QString &path);
// Replaces target by a copy of source in one step: copies to a temporary file beside the
// target, then renames it over the target. On failure the target is left as it was.
int ReplaceFileAtomically(const QString &source, const QString &target);

// The system's own text for an error number.
QString ErrorText(int error);
// The number with its text, as failure messages show it: "28（No space left on device）".
QString ErrorNumberText(int error);

enum class Replace { Allowed, Never };

// Writes bytes as the whole new content of target. A file that is replaced keeps its
// permissions; a new one gets what the umask gives.
int WriteFileWhole(const QString &target, const QByteArray &bytes);
// Copies source to target. The copy gets the permissions the umask gives a new file, never
// the source's. With Replace::Never an existing target stays and the result is EEXIST.
int CopyFileWhole(const QString &source, const QString &target, Replace replace = Replace::Allowed);
// For writers that produce the file themselves (a database, a spreadsheet library):
// writeTemporary is handed a path beside target that does not exist yet and returns 0 or an
// error number; the file it wrote then replaces target as above. Temporaries that an earlier,
// interrupted write of the same target left are removed first.
int WriteThroughTemporary(const QString &target,
    const std::function<int(const QString &temporary)> &writeTemporary, Replace replace = Replace::Allowed);
// A fresh temporary name beside target, and the last step of a write through it: flushes the
// temporary, renames it onto target and flushes the folder. On failure the temporary is gone.
QString TemporaryPathFor(const QString &target);
int CommitTemporary(const QString &temporary, const QString &target, Replace replace = Replace::Allowed);
// Renames a file and flushes both folders, so that the new name survives a power cut.
int MoveFile(const QString &source, const QString &target, Replace replace = Replace::Never);
// Flushes a file or a folder to the disk.
int SyncPath(const QString &path);

// True for a temporary name this program makes (for any target, or for targetName only).
bool IsLeftoverTemporary(const QString &fileName, const QString &targetName = QString());
// Removes what interrupted writes left in folder: regular files with a temporary name, of any
// target or of targetName only. The number of files removed.
int RemoveLeftoverTemporaries(const QString &folder, const QString &targetName = QString());

} // namespace Platform
