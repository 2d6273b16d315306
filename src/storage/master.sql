-- Master database (Quillbrook3.MDB): the ledger registry.

CREATE TABLE SoftData (
    SoftDataIndex  INTEGER PRIMARY KEY AUTOINCREMENT,
    SoftDataName   TEXT,
    SoftDataPath   TEXT,
    SoftDataRemark TEXT,
    SoftDataTips   TEXT,
    SoftDataTime   TEXT,
    SoftDataState  TEXT
);
