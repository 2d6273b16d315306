#pragma once

// Small helpers that many tests share: controls found by object name, whole files, texts.

#include "widgets/MainPage.h"

#include <QAction>
#include <QByteArray>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QTest>

namespace TestSupport {

// Finding a control of a tab page is looking at it: a page refreshed while hidden is brought up to
// date first, as showing it would (a page's own test of that reads its controls with findChild).
inline void lookAtPageOf(const QObject *control)
{
    for (const QObject *o = control; o; o = o->parent())
        if (const auto *page = qobject_cast<const MainPage *>(o)) {
            const_cast<MainPage *>(page)->BringUpToDate();
            return;
        }
}

// The control of that object name below parent; a missing one is named in the log.
template<typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qWarning("no %s", qPrintable(name));
    else
        lookAtPageOf(found);
    return found;
}

// Triggers the action of that object name in a dialog or window.
inline void trigger(const QObject *parent, const QString &actionName)
{
    auto *action = child<QAction>(parent, actionName);
    QVERIFY2(action, qPrintable(actionName));
    action->trigger();
}

// What a person reads in the combo box or line edit of that object name.
inline QString text(const QObject *dialog, const QString &name)
{
    if (auto *combo = dialog->findChild<QComboBox *>(name))
        return combo->currentText();
    return child<QLineEdit>(dialog, name)->text();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file's content; false when it cannot be written.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

// The file's content hash, empty when it cannot be read: equal hashes, unchanged file.
inline QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// Expected texts are written with a plain blank where the full-width space U+3000 goes.
inline QString wide(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char(' '), QChar(0x3000));
}

// The temporary files that whole-or-nothing writes left in folder.
inline QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
}

} // namespace TestSupport
