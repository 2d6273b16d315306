#pragma once

// An installed program cannot write beside itself, so it works in a program folder of the user's
// own, made from the installed files on first start. A writable program folder (the build
// folder, a copy on a removable disk) is used as it is.

#include <QString>
#include <QStringList>

// True when a file can actually be created in folder. Permission bits alone do not tell:
// root ignores them and a read-only mount has them all set.
bool IsFolderWritable(const QString &folder);

// Brings userFolder up to date with installedFolder. Registry and ledgers are copied once, on
// the first start that finds them installed; every other file is copied when missing and replaced when the
// installed one is newer than what was copied before, unless the user changed the copy. Names in skip
// (relative to installedFolder) are left out. Returns an empty text, or what failed.
QString SeedUserProgramFolder(
    const QString &installedFolder, const QString &userFolder, const QStringList &skip = {});

struct ProgramFolderChoice {
    QString programDir; // ends with "/"
    QString error; // not empty when the user's folder could not be made
};

// The folder the program works in: installedFolder when it is writable, otherwise userFolder
// seeded from it.
ProgramFolderChoice ChooseProgramFolder(
    const QString &installedFolder, const QString &userFolder, const QStringList &skip = {});
