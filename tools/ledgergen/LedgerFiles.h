#pragma once

#include <QString>

// Creates an empty database file at path from the schema statements; false with *error set.
bool CreateDatabase(const QString &path, const QStringList &statements, QString *error);

// Fills the open ledger with what every new ledger brings: the reserved first rows, the users
// 管理员 and 出纳, the PrintTable row pool and the preset pick lists.
bool FillTemplateRows(QString *error);

// Fills the open master database: reserved row 1, the demonstration ledger and the everyday
// ledger.
bool FillMasterRows(QString *error);

inline constexpr int PrintTablePoolSize = 200;
