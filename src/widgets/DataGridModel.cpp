#include "widgets/DataGridModel.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

GridFooter GridFooter::staticText(const QString &text, const QColor &color)
{
    return {FooterKind::Text, text, color, Qt::AlignCenter};
}

GridFooter GridFooter::rowCount(const QString &form, const QColor &color)
{
    return {FooterKind::RowCount, form, color, Qt::AlignCenter};
}

GridFooter GridFooter::sum(const QColor &color)
{
    return {FooterKind::Sum, QString(), color, Qt::AlignCenter};
}

QString GridValueText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        // Fifteen digits hide the binary noise of sums such as 0.1 + 0.2.
        return std::isfinite(d) ? QString::number(d, 'g', 15) : value.toString();
    }
    default:
        return value.toString();
    }
}

namespace {

QString quotedName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Words at parenthesis depth 0 and the positions of the "?" placeholders, skipping quoted
// text, quoted names and comments.
struct ScannedSql {
    struct Word {
        QString lower;
        qsizetype at;
    };
    QList<Word> topWords;
    QList<qsizetype> placeholders;
};

ScannedSql scan(const QString &t)
{
    ScannedSql out;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (i < n) {
        const QChar c = t[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')
            || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            // A doubled quote inside is an escape; scanning it as close-then-open is the same.
            const qsizetype end = t.indexOf(close, i + 1);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && t[i + 1] == QLatin1Char('-')) {
            const qsizetype end = t.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && t[i + 1] == QLatin1Char('*')) {
            const qsizetype end = t.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('(')) {
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            ++i;
        } else if (c == QLatin1Char('?')) {
            out.placeholders.append(i);
            ++i;
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            const qsizetype start = i;
            while (i < n && (t[i].isLetterOrNumber() || t[i] == QLatin1Char('_') || t[i] == QLatin1Char('$')))
                ++i;
            if (depth == 0)
                out.topWords.append({t.mid(start, i - start).toLower(), start});
        } else {
            ++i;
        }
    }
    return out;
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    auto numeric = [](const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Short:
        case QMetaType::UShort:
            return true;
        default:
            return false;
        }
    };
    const bool na = numeric(a);
    const bool nb = numeric(b);
    if (na && nb) {
        if (a.typeId() != QMetaType::Double && b.typeId() != QMetaType::Double
            && a.typeId() != QMetaType::Float && b.typeId() != QMetaType::Float)
            return a.toLongLong() == b.toLongLong();
        return a.toDouble() == b.toDouble();
    }
    if (na || nb) {
        // A key typed as text ("123") still finds the stored number, as SQL comparison does.
        bool ok = false;
        const double d = (na ? b : a).toString().trimmed().toDouble(&ok);
        return ok && d == (na ? a : b).toDouble();
    }
    return a.toString() == b.toString();
}

bool runSelect(QSqlQuery &q, const Sql &sql, QString *error)
{
    q.setForwardOnly(true);
    bool ok = q.prepare(sql.text());
    if (ok) {
        for (const QVariant &v : sql.values())
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok && error)
        *error = q.lastError().text();
    return ok;
}

QSqlDatabase sharedConnection()
{
    return ShareDataModule ? ShareDataModule->connection() : QSqlDatabase();
}

// The first length characters of a statement with the values of the placeholders in them.
Sql prefixOf(const Sql &statement, const ScannedSql &scanned, qsizetype length)
{
    const QString &text = statement.text();
    Sql out;
    qsizetype from = 0;
    int k = 0;
    for (qsizetype at : scanned.placeholders) {
        if (at >= length || k >= statement.values().size())
            break;
        out += Sql(text.mid(from, at - from));
        out += Sql::value(statement.values()[k++]);
        from = at + 1;
    }
    out += Sql(text.mid(from, length - from));
    return out;
}

} // namespace

Sql WithoutTrailingOrderBy(const Sql &statement)
{
    const QString &text = statement.text();
    const ScannedSql s = scan(text);
    qsizetype orderAt = -1;
    for (qsizetype w = 0; w + 1 < s.topWords.size(); ++w) {
        if (s.topWords[w].lower == QLatin1String("order") && s.topWords[w + 1].lower == QLatin1String("by"))
            orderAt = s.topWords[w].at;
    }
    if (orderAt < 0)
        return statement;
    for (const ScannedSql::Word &w : s.topWords) {
        if (w.at > orderAt && w.lower == QLatin1String("limit"))
            return statement;
    }
    return prefixOf(statement, s, orderAt);
}

DataGridModel::DataGridModel(QObject *parent) : QAbstractTableModel(parent)
{
}

int DataGridModel::fieldIndex(const QString &field) const
{
    return m_fieldIndex.value(field.toLower(), -1);
}

void DataGridModel::setBlockSize(int rows)
{
    m_blockSize = qMax(1, rows);
    m_blocks.clear();
}

bool DataGridModel::open(const Sql &statement, QString *error)
{
    // Tolerate a statement written with a closing semicolon: it is wrapped in others.
    const QString &text = statement.text();
    qsizetype length = text.size();
    while (length > 0 && (text[length - 1].isSpace() || text[length - 1] == QLatin1Char(';')))
        --length;
    beginResetModel();
    m_statement = prefixOf(statement, scan(text), length);
    const bool ok = run(error);
    endResetModel();
    emit footersChanged();
    return ok;
}

bool DataGridModel::refresh(QString *error)
{
    if (m_statement.isEmpty()) {
        if (error)
            *error = QStringLiteral("no statement to run");
        return false;
    }
    beginResetModel();
    const bool ok = run(error);
    endResetModel();
    emit footersChanged();
    return ok;
}

void DataGridModel::close()
{
    beginResetModel();
    m_open = false;
    m_rows = 0;
    m_blocks.clear();
    m_sums.clear();
    endResetModel();
    emit footersChanged();
}

bool DataGridModel::run(QString *error)
{
    m_open = false;
    m_rows = 0;
    m_blocks.clear();
    m_sums.clear();
    m_sumsStale = false;
    m_lastError.clear();

    QList<QVariantList> first;
    QStringList fields;
    const bool read = readBlock(0, &first, &fields, error);
    // A statement that fails leaves no fields behind: a closed grid shows nothing of the last.
    m_fields = read ? fields : QStringList();
    m_fieldIndex.clear();
    for (int f = 0; f < m_fields.size(); ++f) {
        const QString key = m_fields[f].toLower();
        if (!m_fieldIndex.contains(key))
            m_fieldIndex.insert(key, f);
    }
    if (m_autoColumns) {
        m_columns.clear();
        for (const QString &f : m_fields) {
            GridColumn c;
            c.field = f;
            c.caption = f;
            c.width = 80;
            m_columns.append(c);
        }
    }
    mapColumns();
    if (!read)
        return false;

    int count = 0;
    if (first.size() < m_blockSize) {
        // The whole result fits in the first block: no need to count it in SQL.
        count = int(first.size());
    }
    m_open = true;
    if (!computeAggregates(first.size() < m_blockSize ? nullptr : &count, error)) {
        m_open = false;
        return false;
    }
    m_rows = count;
    m_blocks.insert(0, Block {first, ++m_useCounter});
    return true;
}

bool DataGridModel::readBlock(
    int number, QList<QVariantList> *rows, QStringList *fields, QString *error) const
{
    if (!ShareDataModule || !ShareDataModule->isConnected()) {
        if (error)
            *error = QStringLiteral("no database is open");
        return false;
    }
    const Sql sql = Sql("Select * From (") + m_statement + Sql(") Limit ") + Sql::value(m_blockSize)
        + Sql(" Offset ") + Sql::value(qint64(number) * m_blockSize);
    QSqlQuery q(sharedConnection());
    if (!runSelect(q, sql, error))
        return false;
    const QSqlRecord record = q.record();
    const int n = record.count();
    if (fields) {
        fields->clear();
        for (int c = 0; c < n; ++c)
            fields->append(record.fieldName(c));
    }
    rows->reserve(m_blockSize);
    while (q.next()) {
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c)
            row.append(q.value(c));
        rows->append(std::move(row));
    }
    const bool ok = !q.lastError().isValid();
    if (!ok && error)
        *error = q.lastError().text();
    q.finish();
    return ok;
}

QStringList DataGridModel::wantedSumFields() const
{
    QStringList out;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].footer.kind != FooterKind::Sum || m_columnField.value(c, -1) < 0)
            continue;
        const QString name = m_fields[m_columnField[c]];
        if (!out.contains(name, Qt::CaseInsensitive))
            out.append(name);
    }
    return out;
}

bool DataGridModel::computeAggregates(int *count, QString *error) const
{
    const QStringList sums = wantedSumFields();
    m_sumsStale = false;
    if (!count && sums.isEmpty())
        return true;
    Sql sql("Select Count(*)");
    for (const QString &f : sums)
        sql += Sql(QStringLiteral(", Sum(%1)").arg(quotedName(f)));
    sql += Sql(" From (") + WithoutTrailingOrderBy(m_statement) + Sql(")");
    QSqlQuery q(sharedConnection());
    if (!runSelect(q, sql, error))
        return false;
    if (!q.next()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    if (count)
        *count = q.value(0).toInt();
    m_sums.clear();
    for (int i = 0; i < sums.size(); ++i)
        m_sums.insert(sums[i].toLower(), q.value(i + 1));
    q.finish();
    return true;
}

const QList<QVariantList> *DataGridModel::block(int number) const
{
    auto it = m_blocks.find(number);
    if (it != m_blocks.end()) {
        it->lastUse = ++m_useCounter;
        return &it->rows;
    }
    Block b;
    QString error;
    if (!readBlock(number, &b.rows, nullptr, &error)) {
        m_lastError = error;
        return nullptr;
    }
    while (m_blocks.size() >= m_maxBlocks) {
        auto oldest = m_blocks.begin();
        for (auto i = m_blocks.begin(); i != m_blocks.end(); ++i) {
            if (i->lastUse < oldest->lastUse)
                oldest = i;
        }
        m_blocks.erase(oldest);
    }
    b.lastUse = ++m_useCounter;
    return &m_blocks.insert(number, b)->rows;
}

QVariant DataGridModel::value(int row, int field) const
{
    if (!m_open || row < 0 || row >= m_rows || field < 0 || field >= m_fields.size())
        return {};
    const QList<QVariantList> *rows = block(row / m_blockSize);
    if (!rows)
        return {};
    const int inBlock = row % m_blockSize;
    if (inBlock >= rows->size())
        return {};
    return (*rows)[inBlock].value(field);
}

int DataGridModel::findRow(const QString &field, const QVariant &value, int nearRow) const
{
    const int f = fieldIndex(field);
    if (!m_open || f < 0 || value.isNull())
        return -1;
    // Rows already read answer at once.
    int best = -1;
    for (auto it = m_blocks.cbegin(); it != m_blocks.cend(); ++it) {
        for (int r = 0; r < it->rows.size(); ++r) {
            if (sameValue(it->rows[r].value(f), value)) {
                const int row = it.key() * m_blockSize + r;
                if (best < 0 || row < best)
                    best = row;
                break;
            }
        }
    }
    if (best >= 0)
        return best;
    if (nearRow >= 0 && nearRow < m_rows && !m_blocks.contains(nearRow / m_blockSize)) {
        if (const QList<QVariantList> *rows = block(nearRow / m_blockSize)) {
            for (int r = 0; r < rows->size(); ++r) {
                if (sameValue((*rows)[r].value(f), value))
                    return (nearRow / m_blockSize) * m_blockSize + r;
            }
        }
    }

    // Read the key column alone, in the statement's order, until the key turns up; SQLite
    // then reads no other column. The statement is finished before this returns.
    const Sql keys
        = Sql(QStringLiteral("Select %1 From (").arg(quotedName(m_fields[f]))) + m_statement + Sql(")");
    QSqlQuery q(sharedConnection());
    if (runSelect(q, keys, nullptr)) {
        int row = 0;
        bool found = false;
        while (q.next()) {
            if (sameValue(q.value(0), value)) {
                found = true;
                break;
            }
            ++row;
        }
        const bool readFailed = !found && q.lastError().isValid();
        q.finish();
        if (!found && !readFailed)
            return -1;
        if (found && sameValue(this->value(row, f), value))
            return row;
    }
    return walkForRow(f, value);
}

int DataGridModel::walkForRow(int f, const QVariant &value) const
{
    // The key column alone came in another order than the rows as read (rows that tie in
    // the order may, when SQLite picks another plan): walk the rows in bounded blocks of the
    // same form as the blocks shown.
    const int step = 5000;
    for (int offset = 0; offset < m_rows; offset += step) {
        const Sql rows = Sql("Select * From (") + m_statement + Sql(") Limit ") + Sql::value(step)
            + Sql(" Offset ") + Sql::value(offset);
        QSqlQuery q(sharedConnection());
        if (!runSelect(q, rows, nullptr))
            return -1;
        int r = offset;
        while (q.next()) {
            if (sameValue(q.value(f), value))
                return r;
            ++r;
        }
    }
    return -1;
}

void DataGridModel::mapColumns()
{
    m_columnField.clear();
    for (const GridColumn &c : m_columns)
        m_columnField.append(fieldIndex(c.field));
}

void DataGridModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_autoColumns = false;
    m_columns = columns;
    mapColumns();
    m_sumsStale = true;
    endResetModel();
    emit footersChanged();
}

void DataGridModel::setColumn(int position, const GridColumn &column)
{
    if (position < 0)
        return;
    if (m_autoColumns || position > m_columns.size()) {
        QList<GridColumn> columns = m_autoColumns ? QList<GridColumn>() : m_columns;
        while (columns.size() < position)
            columns.append(GridColumn());
        columns.append(column);
        setColumns(columns);
        return;
    }
    if (position == m_columns.size()) {
        beginInsertColumns(QModelIndex(), position, position);
        m_columns.append(column);
        mapColumns();
        endInsertColumns();
    } else {
        m_columns[position] = column;
        mapColumns();
        emit headerDataChanged(Qt::Horizontal, position, position);
        if (m_rows > 0)
            emit dataChanged(index(0, position), index(m_rows - 1, position));
    }
    if (column.footer.kind == FooterKind::Sum)
        m_sumsStale = true;
    emit footersChanged();
}

GridColumn DataGridModel::column(int position) const
{
    return m_columns.value(position);
}

void DataGridModel::rememberWidth(int position, int width)
{
    if (position >= 0 && position < m_columns.size())
        m_columns[position].width = width;
}

void DataGridModel::rememberVisible(int position, bool visible)
{
    if (position >= 0 && position < m_columns.size())
        m_columns[position].visible = visible;
}

QString DataGridModel::columnText(int row, int column, QVariant *rawValue) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const QVariant v = value(row, m_columnField[column]);
    if (rawValue)
        *rawValue = v;
    const GridColumn &c = m_columns[column];
    return c.format ? c.format(v) : GridValueText(v);
}

QString DataGridModel::displayText(int row, int column) const
{
    return columnText(row, column, nullptr);
}

GridFooter DataGridModel::footer(int column) const
{
    return m_columns.value(column).footer;
}

bool DataGridModel::hasFooters() const
{
    for (const GridColumn &c : m_columns) {
        if (c.footer.kind != FooterKind::None)
            return true;
    }
    return false;
}

QString DataGridModel::footerText(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const GridFooter &f = m_columns[column].footer;
    switch (f.kind) {
    case FooterKind::None:
        return {};
    case FooterKind::Text:
        return f.text;
    case FooterKind::RowCount:
        if (!m_open)
            return {};
        return f.text.contains(QLatin1String("%1")) ? f.text.arg(m_rows) : QString::number(m_rows) + f.text;
    case FooterKind::Sum: {
        const int field = m_columnField.value(column, -1);
        if (!m_open || field < 0)
            return {};
        const QString key = m_fields[field].toLower();
        if (m_sumsStale || !m_sums.contains(key)) {
            QString error;
            if (!computeAggregates(nullptr, &error))
                m_lastError = error;
        }
        // No rows sum to nothing, shown as 0.
        return RoundMoney(m_sums.value(key).toDouble());
    }
    }
    return {};
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : totalRows();
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_open || index.column() >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return displayText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(m_columns[index.column()].alignment);
    case Qt::ForegroundRole: {
        if (!m_colorCallback)
            return {};
        CellInfo cell;
        cell.row = index.row();
        cell.column = index.column();
        cell.field = m_columns[index.column()].field;
        cell.displayText = columnText(index.row(), index.column(), &cell.value);
        QColor color = m_defaultTextColor;
        m_colorCallback(cell, color);
        return color;
    }
    default:
        return {};
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }
    if (section < 0 || section >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_columns[section].caption;
    case Qt::TextAlignmentRole:
        return int(m_columns[section].titleAlignment);
    default:
        return {};
    }
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
