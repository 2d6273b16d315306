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

-- Money totals per account, period and owner: a balance before a day is the opening amounts
-- plus the years before the day's year, the months of that year before the day's month and the
-- month's own entries before the day, so its cost does not grow with the ledger. The triggers
-- below keep the totals in every writer's own transaction. Amounts are counted in whole fen
-- (INTEGER), so sums are exact; a period is the first 4 or 7 characters of MoneyCreateTime.
-- An entry without owner is kept under an empty blob, which no owner filter matches.
-- A ledger that lacks any of these objects gets all of them, filled, when it is opened.
CREATE TABLE MoneyYearTotal (
    MoneyAccount INTEGER NOT NULL,
    MoneyYear    TEXT NOT NULL,
    MoneyPower   TEXT NOT NULL,
    MoneyFen     INTEGER NOT NULL,
    PRIMARY KEY (MoneyAccount, MoneyYear, MoneyPower)
) WITHOUT ROWID;

CREATE TABLE MoneyMonthTotal (
    MoneyAccount INTEGER NOT NULL,
    MoneyMonth   TEXT NOT NULL,
    MoneyPower   TEXT NOT NULL,
    MoneyFen     INTEGER NOT NULL,
    PRIMARY KEY (MoneyAccount, MoneyMonth, MoneyPower)
) WITHOUT ROWID;

INSERT INTO MoneyYearTotal (MoneyAccount, MoneyYear, MoneyPower, MoneyFen)
    SELECT MoneyAccount, substr(MoneyCreateTime, 1, 4), ifnull(MoneyPower, X''),
           Sum(CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER))
    FROM MoneyTable WHERE MoneyAccount IS NOT NULL AND MoneyCreateTime IS NOT NULL
    GROUP BY 1, 2, 3 HAVING Sum(CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER)) <> 0;

INSERT INTO MoneyMonthTotal (MoneyAccount, MoneyMonth, MoneyPower, MoneyFen)
    SELECT MoneyAccount, substr(MoneyCreateTime, 1, 7), ifnull(MoneyPower, X''),
           Sum(CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER))
    FROM MoneyTable WHERE MoneyAccount IS NOT NULL AND MoneyCreateTime IS NOT NULL
    GROUP BY 1, 2, 3 HAVING Sum(CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER)) <> 0;

CREATE TRIGGER MoneyTotalsInsert AFTER INSERT ON MoneyTable
BEGIN
    INSERT INTO MoneyYearTotal (MoneyAccount, MoneyYear, MoneyPower, MoneyFen)
        SELECT new.MoneyAccount, substr(new.MoneyCreateTime, 1, 4), ifnull(new.MoneyPower, X''),
               CAST(round(ifnull(new.MoneySum, 0) * 100) AS INTEGER)
        WHERE new.MoneyAccount IS NOT NULL AND new.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyYearTotal WHERE MoneyFen = 0 AND MoneyAccount = new.MoneyAccount
        AND MoneyYear = substr(new.MoneyCreateTime, 1, 4) AND MoneyPower = ifnull(new.MoneyPower, X'');
    INSERT INTO MoneyMonthTotal (MoneyAccount, MoneyMonth, MoneyPower, MoneyFen)
        SELECT new.MoneyAccount, substr(new.MoneyCreateTime, 1, 7), ifnull(new.MoneyPower, X''),
               CAST(round(ifnull(new.MoneySum, 0) * 100) AS INTEGER)
        WHERE new.MoneyAccount IS NOT NULL AND new.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyMonthTotal WHERE MoneyFen = 0 AND MoneyAccount = new.MoneyAccount
        AND MoneyMonth = substr(new.MoneyCreateTime, 1, 7) AND MoneyPower = ifnull(new.MoneyPower, X'');
END;

CREATE TRIGGER MoneyTotalsDelete AFTER DELETE ON MoneyTable
BEGIN
    INSERT INTO MoneyYearTotal (MoneyAccount, MoneyYear, MoneyPower, MoneyFen)
        SELECT old.MoneyAccount, substr(old.MoneyCreateTime, 1, 4), ifnull(old.MoneyPower, X''),
               -CAST(round(ifnull(old.MoneySum, 0) * 100) AS INTEGER)
        WHERE old.MoneyAccount IS NOT NULL AND old.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyYearTotal WHERE MoneyFen = 0 AND MoneyAccount = old.MoneyAccount
        AND MoneyYear = substr(old.MoneyCreateTime, 1, 4) AND MoneyPower = ifnull(old.MoneyPower, X'');
    INSERT INTO MoneyMonthTotal (MoneyAccount, MoneyMonth, MoneyPower, MoneyFen)
        SELECT old.MoneyAccount, substr(old.MoneyCreateTime, 1, 7), ifnull(old.MoneyPower, X''),
               -CAST(round(ifnull(old.MoneySum, 0) * 100) AS INTEGER)
        WHERE old.MoneyAccount IS NOT NULL AND old.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyMonthTotal WHERE MoneyFen = 0 AND MoneyAccount = old.MoneyAccount
        AND MoneyMonth = substr(old.MoneyCreateTime, 1, 7) AND MoneyPower = ifnull(old.MoneyPower, X'');
END;

CREATE TRIGGER MoneyTotalsUpdate AFTER UPDATE OF MoneyAccount, MoneyCreateTime, MoneyPower, MoneySum ON MoneyTable
BEGIN
    INSERT INTO MoneyYearTotal (MoneyAccount, MoneyYear, MoneyPower, MoneyFen)
        SELECT old.MoneyAccount, substr(old.MoneyCreateTime, 1, 4), ifnull(old.MoneyPower, X''),
               -CAST(round(ifnull(old.MoneySum, 0) * 100) AS INTEGER)
        WHERE old.MoneyAccount IS NOT NULL AND old.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyYearTotal WHERE MoneyFen = 0 AND MoneyAccount = old.MoneyAccount
        AND MoneyYear = substr(old.MoneyCreateTime, 1, 4) AND MoneyPower = ifnull(old.MoneyPower, X'');
    INSERT INTO MoneyMonthTotal (MoneyAccount, MoneyMonth, MoneyPower, MoneyFen)
        SELECT old.MoneyAccount, substr(old.MoneyCreateTime, 1, 7), ifnull(old.MoneyPower, X''),
               -CAST(round(ifnull(old.MoneySum, 0) * 100) AS INTEGER)
        WHERE old.MoneyAccount IS NOT NULL AND old.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyMonthTotal WHERE MoneyFen = 0 AND MoneyAccount = old.MoneyAccount
        AND MoneyMonth = substr(old.MoneyCreateTime, 1, 7) AND MoneyPower = ifnull(old.MoneyPower, X'');
    INSERT INTO MoneyYearTotal (MoneyAccount, MoneyYear, MoneyPower, MoneyFen)
        SELECT new.MoneyAccount, substr(new.MoneyCreateTime, 1, 4), ifnull(new.MoneyPower, X''),
               CAST(round(ifnull(new.MoneySum, 0) * 100) AS INTEGER)
        WHERE new.MoneyAccount IS NOT NULL AND new.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyYearTotal WHERE MoneyFen = 0 AND MoneyAccount = new.MoneyAccount
        AND MoneyYear = substr(new.MoneyCreateTime, 1, 4) AND MoneyPower = ifnull(new.MoneyPower, X'');
    INSERT INTO MoneyMonthTotal (MoneyAccount, MoneyMonth, MoneyPower, MoneyFen)
        SELECT new.MoneyAccount, substr(new.MoneyCreateTime, 1, 7), ifnull(new.MoneyPower, X''),
               CAST(round(ifnull(new.MoneySum, 0) * 100) AS INTEGER)
        WHERE new.MoneyAccount IS NOT NULL AND new.MoneyCreateTime IS NOT NULL
        ON CONFLICT DO UPDATE SET MoneyFen = MoneyFen + excluded.MoneyFen;
    DELETE FROM MoneyMonthTotal WHERE MoneyFen = 0 AND MoneyAccount = new.MoneyAccount
        AND MoneyMonth = substr(new.MoneyCreateTime, 1, 7) AND MoneyPower = ifnull(new.MoneyPower, X'');
END;

-- No amount beyond the program's limit (MaxAmount) is stored, by this program or any other
-- tool: the totals above count whole fen in 64-bit integers and would be cut at their limit.
CREATE TRIGGER MoneyAmountInsert BEFORE INSERT ON MoneyTable
    WHEN abs(ifnull(new.MoneySum, 0)) > 9999999999.99 OR abs(ifnull(new.MoneyIn, 0)) > 9999999999.99
        OR abs(ifnull(new.MoneyOut, 0)) > 9999999999.99
BEGIN
    SELECT RAISE(ABORT, '金额超出范围');
END;

CREATE TRIGGER MoneyAmountUpdate BEFORE UPDATE OF MoneySum, MoneyIn, MoneyOut ON MoneyTable
    WHEN abs(ifnull(new.MoneySum, 0)) > 9999999999.99 OR abs(ifnull(new.MoneyIn, 0)) > 9999999999.99
        OR abs(ifnull(new.MoneyOut, 0)) > 9999999999.99
BEGIN
    SELECT RAISE(ABORT, '金额超出范围');
END;
