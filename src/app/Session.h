#pragma once

// What a login decides about the main window, worked out without widgets: the view filters
// every data view appends to its queries, and which tabs and command buttons the user sees.

#include "storage/ShareDM.h"
#include "storage/Sql.h"

#include <QList>
#include <QString>

inline const QString AdministratorName = QStringLiteral("管理员");

struct ViewFilters {
    Sql AccountBookFilter;
    Sql MoneyOwnerFilter;
    Sql GetPayOwnerFilter;
    // The account-book picture, relative to ProgramDir; empty keeps the picture shown.
    QString BookPicture;
};

// accountType is the stored "AccountType" text; a value that is not a whole number counts as
// "any other" (no type condition), as an unknown number does.
ViewFilters MakeViewFilters(const QString &accountType, bool rightOverview, const QString &currentUser);

// The six tabs of the main window, in their order.
enum class MainTab { Accounts, Journal, GetPay, Reports, Settings, Maintenance };
inline constexpr int MainTabCount = 6;

struct ShellVisibility {
    bool tabVisible[MainTabCount] = {};
    MainTab activeTab = MainTab::Accounts;
    bool workPanelVisible = false;
    // True for the administrator: no account or journal data, so no refresh after login.
    bool administrator = false;
};
ShellVisibility VisibilityFor(const SessionValues &session);

// The command buttons that rights gate, by object name, with their actions.
struct RightButton {
    const char *button;
    const char *action;
    bool SessionValues::*right;
};
const QList<RightButton> &RightButtons();
