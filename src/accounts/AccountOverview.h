#pragma once

// The account overview worked out without widgets: where each slot of a panel grid sits, the
// order of the account list, the two sums per account and the icon and colour a balance earns.

#include "storage/Sql.h"
#include "widgets/PageLayout.h"

#include <QDate>
#include <QRect>
#include <QString>

namespace Accounts {

inline const QString Mode1024 = QStringLiteral("1024 * 768");
inline const QString Mode1440 = QStringLiteral("1440 * 900");

inline constexpr int PanelCount = 40;
inline constexpr int PanelHeight = 80;
inline constexpr int PanelRowPitch = 86;
inline constexpr int PanelMargin = 8;

using ::PanelGrid;

// Where slot (0..39) sits on the accounts tab in the grid of a layout: left = (slot mod columns)
// × pitch + 8, top = (slot div columns) × 86 + 8.
QRect AccountSlotRect(const PanelGrid &grid, int slot);

// Sort choices as the two lists hold them: by 0 编号, 1 类型, 2 名称; direction 0 升序, 1 降序.
// A choice outside the lists counts as the first item.
Sql AccountOrderText(int sortBy, int direction);

// True when a page after `page` still has accounts to show.
bool AccountPageHasNext(int rowCount, int pageSize, int page);
// The page actually shown: a page past the last account falls back to the last page that has
// accounts (a search or a larger page can leave the remembered page empty).
int AccountPageShown(int rowCount, int pageSize, int page);

// The two sums of an account: its entries up to the day, and its entries in the day's month.
// ownerFilter is the session's MoneyOwnerFilter.
Sql AccountBalanceSql(qint64 accountIndex, const QDate &day, const Sql &ownerFilter);
Sql AccountMonthSql(qint64 accountIndex, const QDate &day, const Sql &ownerFilter);
QDate FirstDayOfMonth(const QDate &day);
QDate LastDayOfMonth(const QDate &day);

// The picture of an account book ("AccountType": 0, 1, 2 or 5), relative to ProgramDir; empty
// for any other value, which keeps the picture shown. Text that is no whole number is "other".
QString BookPictureFile(const QString &accountType);

// "银行帐", "现金帐", or empty for a type the dialog never stores.
QString AccountTypeText(int accountType);

enum class BalanceSign { Negative, Zero, Positive };
// The balance as the panel shows it, to the cent: a remainder below half a cent is zero.
BalanceSign SignOfBalance(double balance);
// The icon file (relative to ProgramDir) for a balance: Res/Money-.ico below zero,
// Res/Money0.ico at zero, else Res/Yellow+.ico (bank) or Res/Purple+.ico (cash) with one more
// "+" when the entries alone exceed 30000 and another when they exceed 100000.
QString AccountIconFile(int accountType, double balance, double entriesSum);

// "1500 元", "-12.5 元".
QString MoneyLabelText(double amount);

} // namespace Accounts
