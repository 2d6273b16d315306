#pragma once

// The read-only model under DataGrid. It is bound to one statement on the shared connection.
// Each run reads the result's keys once, in order, with the row count and the footer sums in
// that same pass; rows are then read in blocks by key, each with a bounded statement of its own
// that is finished before the block is handed out, so no statement stays open between calls
// (an open one makes VACUUM INTO fail and holds a lock on the file). Scrolling anywhere and
// finding a row by key then cost what is shown, whatever the size of the result.
//
// The key is a field that names one row of a table (an INTEGER PRIMARY KEY) and is unique in
// the result; it is found from the statement, or set with setKeyField(). A result without one
// is read in blocks by position, with its count and sums from one aggregate statement.

#include "storage/RowSource.h"
#include "storage/Sql.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

// What the before-draw callback learns about a cell.
struct CellInfo {
    int row = -1;
    int column = -1; // grid column
    QString field;
    QString displayText;
    QVariant value;
};
// May change the font colour of the cell about to be drawn.
using CellColorCallback = std::function<void(const CellInfo &cell, QColor &fontColor)>;

enum class FooterKind { None, Text, RowCount, Sum };

struct GridFooter {
    FooterKind kind = FooterKind::None;
    // The static text, or the row count's form: "%1" stands for the number; a form without
    // "%1" is a suffix ("条" shows "12条").
    QString text;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignCenter;

    static GridFooter staticText(const QString &text, const QColor &color = Qt::black);
    static GridFooter rowCount(const QString &form, const QColor &color = Qt::black);
    static GridFooter sum(const QColor &color = Qt::black);
};

struct GridColumn {
    QString field;
    QString caption;
    int width = 64;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter; // cells
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    GridFooter footer;
    bool visible = true;
    // The cell's display text; by default the value's plain text (numbers in their shortest
    // form, null as empty).
    std::function<QString(const QVariant &)> format;

    // A column whose title and cells share one alignment.
    static GridColumn make(const QString &field, const QString &caption, int width,
        const GridFooter &footer = {}, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
    {
        GridColumn c;
        c.field = field;
        c.caption = caption;
        c.width = width;
        c.alignment = align;
        c.titleAlignment = align;
        c.footer = footer;
        return c;
    }
};

// The plain text of a stored value as grids and footers show it.
QString GridValueText(const QVariant &value);

// The statement without a trailing Order By (and the values bound inside it), for aggregates
// that do not depend on the order; SQLite can then read only the columns it sums. A statement
// whose order feeds a Limit is returned unchanged.
Sql WithoutTrailingOrderBy(const Sql &statement);

class DataGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataGridModel(QObject *parent = nullptr);

    // Runs the statement: reads its columns, its first block and the aggregates. On failure
    // the model is closed and *error says why.
    bool open(const Sql &statement, QString *error = nullptr);
    // Runs the same statement again (after the data changed); columns stay as they are.
    bool refresh(QString *error = nullptr);
    void close();
    bool isOpen() const { return m_open; }
    const Sql &statement() const { return m_statement; }

    // The field that identifies a row; empty: the first unique INTEGER PRIMARY KEY of the result.
    // Takes effect at the next run.
    void setKeyField(const QString &field) { m_keyFieldName = field; }
    // The field the rows are read by in this run; empty when they are read by position.
    QString keyField() const { return m_key >= 0 ? m_fields.value(m_key) : QString(); }

    // Fields of the statement.
    const QStringList &fieldNames() const { return m_fields; }
    int fieldIndex(const QString &field) const;
    int totalRows() const { return m_open ? m_rows : 0; }
    QVariant value(int row, int field) const;
    QVariant value(int row, const QString &field) const { return value(row, fieldIndex(field)); }
    // The row whose key field (one row per value) equals value, or -1. Rows already read are
    // looked at first, then the block around nearRow (where the row was before a refresh, say),
    // then the key column in SQL.
    int findRow(const QString &field, const QVariant &value, int nearRow = -1) const;

    // Columns shown. Until columns are set the model shows every field under its own name.
    void setColumns(const QList<GridColumn> &columns);
    // Sets one column, adding empty ones before it when position is past the end.
    void setColumn(int position, const GridColumn &column);
    void clearColumns() { setColumns({}); }
    const QList<GridColumn> &columns() const { return m_columns; }
    GridColumn column(int position) const;
    void rememberWidth(int position, int width);
    void rememberVisible(int position, bool visible);

    QString displayText(int row, int column) const;
    QString footerText(int column) const;
    // The sum of a field over the whole result (null when it has no rows), from the run's own
    // pass when it summed the field, else from one aggregate statement.
    QVariant fieldSum(const QString &field) const;
    GridFooter footer(int column) const;
    bool hasFooters() const;

    void setCellColorCallback(CellColorCallback callback) { m_colorCallback = std::move(callback); }
    void setDefaultTextColor(const QColor &color) { m_defaultTextColor = color; }

    // Rows per block and how many blocks are kept; small values let tests look past the
    // first block with a few rows.
    void setBlockSize(int rows);
    int blockSize() const { return m_blockSize; }
    void setCachedBlockLimit(int blocks) { m_maxBlocks = qMax(1, blocks); }
    int cachedBlockCount() const { return int(m_blocks.size()); }
    // Error of the last statement that failed while reading (empty when none did).
    QString lastError() const { return m_lastError; }

    // What one pass over the result found; the reading code's own.
    struct KeyPass;

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // Footer texts may have changed (a new run, new columns).
    void footersChanged();

private:
    struct Block {
        QList<QVariantList> rows;
        quint64 lastUse = 0;
    };
    bool run(QString *error);
    bool describe(QList<int> *candidates, QString *error);
    void narrowCandidates(QList<int> *candidates) const;
    bool readKeys(const QList<int> &candidates, const QStringList &sums, bool *counted, QString *error);
    int sortedKeyPass(KeyPass &pass, const QList<int> &candidates, const QStringList &sums, QString *error);
    bool orderedKeyPass(KeyPass &pass, const QList<int> &candidates, const QStringList &sums, QString *error);
    const QList<QVariantList> *block(int number) const;
    bool readBlock(int number, QList<QVariantList> *rows, QString *error) const;
    // The result's rows from its start, at most limit + 1 of them. When it ends within the limit
    // (*whole), the sums of the fields named are taken from those rows.
    bool readLeadingRows(
        int limit, const QStringList &sums, QList<QVariantList> *rows, bool *whole, QString *error);
    bool readBlocksByKey(int first, int count, QString *error) const;
    void storeBlock(int number, QList<QVariantList> rows) const;
    // Counts the rows when count is given, and sums the fields not summed yet.
    bool computeAggregates(int *count, const QStringList &sums, QString *error) const;
    QStringList wantedSumFields() const;
    QStringList sumFieldsForRun() const;
    int findKeyRow(const QVariant &value) const;
    int findRowBySql(int field, const QVariant &value) const;
    int walkForRow(int field, const QVariant &value) const;
    void mapColumns();
    QString columnText(int row, int column, QVariant *rawValue) const;

    Sql m_statement;
    Sql m_unordered; // the statement without its trailing Order By, for blocks and aggregates
    bool m_open = false;
    QStringList m_fields;
    QList<bool> m_realField; // declared REAL, FLOAT or DOUBLE: summed at once while no columns are set
    QList<bool> m_binaryField; // compares its text byte by byte (no other collating sequence)
    QHash<QString, int> m_fieldIndex; // lower-case name -> first field of that name
    QHash<QString, int> m_exactFieldIndex; // name as the statement spells it -> field
    int m_rows = 0;
    int m_previousRows = 0; // the count of the run before, to size the next pass
    QString m_keyFieldName;
    int m_key = -1; // field the rows are read by, -1: read by position
    std::vector<qint64> m_keys; // the key of every row, in the statement's order
    bool m_autoColumns = true;
    QList<GridColumn> m_columns;
    QList<int> m_columnField; // field index of each column, -1 when the statement lacks it
    mutable QHash<QString, QVariant> m_sums; // lower-case field -> sum (null: no rows)
    mutable QHash<int, Block> m_blocks;
    mutable quint64 m_useCounter = 0;
    mutable int m_lastMissed = -2; // the block read last, to notice a walk through the rows
    mutable int m_readAhead = 1;
    mutable QString m_lastError;
    int m_blockSize = 200;
    int m_maxBlocks = 16;
    CellColorCallback m_colorCallback;
    QColor m_defaultTextColor = Qt::black;
};

// The rows of a grid model as a report or an export reads them.
class GridRows : public RowSource
{
public:
    explicit GridRows(const DataGridModel &model) : model(model) { }
    QStringList columnNames() const override { return model.fieldNames(); }
    int rowCount() const override { return model.totalRows(); }
    QVariant value(int row, const QString &column) const override { return model.value(row, column); }

private:
    const DataGridModel &model;
};
