#pragma once

// Checking a user of the open ledger and starting the session's user part.

#include <QString>

// Looks the user up in Power and compares the password exactly (letter case counts). On
// success writes setting UserName, sets CurrentUser and the six rights of the session and
// removes the temporary copies an interrupted run left, then has the day's automatic copy made
// once the main window is drawn; otherwise shows why and changes nothing.
bool LogInUser(const QString &userName, const QString &password);

// The notice page the login window shows: NoticeNew.html when present, else Notice.html.
QString NoticePagePath(const QString &programDir);
QString HelpPagePath(const QString &programDir);

// Why 使用说明 opened nothing: the page is missing, the desktop has no opener, or the opener
// refused the page.
enum class HelpOpenFailure { PageMissing, NoDesktopOpener, NotOpened };
QString HelpOpenFailedText(const QString &page, HelpOpenFailure failure);
