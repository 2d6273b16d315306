-- Ledger database (.ddb). The empty-ledger template is built from this file at build time;
-- the program itself never creates tables. Dates are ISO text (yyyy-MM-dd), yes/no is 0/1.

CREATE TABLE Account (
    AccountIndex  INTEGER PRIMARY KEY AUTOINCREMENT,
    AccountName   TEXT,
    AccountBase   REAL DEFAULT 0,
    AccountRemark TEXT,
    AccountType   INTEGER DEFAULT 0,
    AccountPower  TEXT
);

CREATE TABLE MoneyTable (
    MoneyIndex      INTEGER PRIMARY KEY AUTOINCREMENT,
    MoneyKind       TEXT,
    MoneyGetPay     INTEGER DEFAULT 0,
    MoneySerial     TEXT,
    MoneyAccount    INTEGER DEFAULT 0,
    MoneyUser       TEXT,
    MoneyRecordTime TEXT,
    MoneyCreateTime TEXT,
    MoneyIn         REAL DEFAULT 0,
    MoneyOut        REAL DEFAULT 0,
    MoneySum        REAL DEFAULT 0,
    MoneyReason     TEXT,
    MoneyMan        TEXT,
    MoneyType       TEXT,
    MoneyToken      TEXT,
    MoneyRemark     TEXT,
    MoneyPower      TEXT
);

CREATE TABLE GetPay (
    GetPayIndex  INTEGER PRIMARY KEY AUTOINCREMENT,
    GetPayTime   TEXT,
    GetPayUser   TEXT,
    GetPayKind   TEXT,
    GetPaySum    REAL DEFAULT 0,
    GetPaySum2   REAL DEFAULT 0,
    GetPaySum3   REAL DEFAULT 0,
    GetPayReason TEXT,
    GetPayRemark TEXT,
    GetPayMan    TEXT,
    GetPayPower  TEXT
);

CREATE TABLE Parameter (
    ParameterIndex INTEGER PRIMARY KEY AUTOINCREMENT,
    ParameterType  INTEGER DEFAULT 0,
    ParameterValue TEXT
);

CREATE TABLE Power (
    PowerIndex INTEGER PRIMARY KEY AUTOINCREMENT,
    PowerName  TEXT,
    PowerKey   TEXT DEFAULT '',
    PowerRange TEXT DEFAULT ''
);

CREATE TABLE PrintTable (
    PrintIndex   INTEGER PRIMARY KEY,
    PrintEnable  INTEGER DEFAULT 0,
    PrintValue1  TEXT,
    PrintValue2  TEXT,
    PrintValue3  TEXT,
    PrintValue4  TEXT,
    PrintValue5  TEXT,
    PrintValue6  TEXT,
    PrintValue7  TEXT,
    PrintValue8  TEXT,
    PrintValue9  TEXT,
    PrintValue10 TEXT
);

CREATE TABLE PrintDay (
    DayIndex   INTEGER PRIMARY KEY AUTOINCREMENT,
    DayEnable  INTEGER DEFAULT 0,
    DayName    TEXT,
    DayGetNum  TEXT,
    DayGetSum  TEXT,
    DayPayNum  TEXT,
    DayPaySum  TEXT,
    DayBalance TEXT
);

-- Indexes for the hot conditions. An older ledger gets any missing one when it is opened.
-- The balance sums of the account panels read only this index (a covering index scan).
CREATE INDEX IF NOT EXISTS IdxMoneyAccountDay ON MoneyTable (MoneyAccount, MoneyCreateTime, MoneyPower, MoneySum);
CREATE INDEX IF NOT EXISTS IdxMoneyDay ON MoneyTable (MoneyCreateTime);
CREATE INDEX IF NOT EXISTS IdxMoneyGetPay ON MoneyTable (MoneyGetPay);
CREATE INDEX IF NOT EXISTS IdxGetPayKindTime ON GetPay (GetPayKind, GetPayTime);
CREATE INDEX IF NOT EXISTS IdxParameterTypeValue ON Parameter (ParameterType, ParameterValue);
CREATE INDEX IF NOT EXISTS IdxAccountName ON Account (AccountName);
