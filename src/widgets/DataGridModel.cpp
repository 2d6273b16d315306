#include "widgets/DataGridModel.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <string_view>
#include <unordered_map>
#include <utility>

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

namespace {

// The grid reads through the shared connection's own SQLite handle: its key pass goes over
// every row of the result, and QtSql's cost per row would be most of that pass.
sqlite3 *sqliteHandle()
{
    if (!ShareDataModule || !ShareDataModule->isConnected())
        return nullptr;
    const QSqlDatabase db = ShareDataModule->connection();
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// One statement on the shared connection, finalized when it goes out of scope, so that none
// outlives the call that runs it.
class Statement
{
public:
    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { finish(); }

    // Prepares sql and binds its values, then the extra integers after them.
    bool prepare(const Sql &sql, QString *error, const std::vector<qint64> &extra = {})
    {
        finish();
        m_db = sqliteHandle();
        if (!m_db)
            return setError(error, QStringLiteral("no database is open"));
        const QByteArray text = sql.text().toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
            return dbError(error);
        if (!m_stmt)
            return setError(error, QStringLiteral("no statement to run"));
        int at = 1;
        for (const QVariant &v : sql.values()) {
            if (bind(at++, v) != SQLITE_OK)
                return dbError(error);
        }
        for (qint64 v : extra) {
            if (sqlite3_bind_int64(m_stmt, at++, v) != SQLITE_OK)
                return dbError(error);
        }
        return true;
    }
    bool next()
    {
        m_rc = sqlite3_step(m_stmt);
        return m_rc == SQLITE_ROW;
    }
    // After next() gave false: whether the statement ran to its end.
    bool finished(QString *error)
    {
        if (m_rc == SQLITE_DONE) {
            finish();
            return true;
        }
        return dbError(error);
    }
    void finish()
    {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    sqlite3_stmt *handle() const { return m_stmt; }
    sqlite3 *db() const { return m_db; }
    int columnCount() const { return sqlite3_column_count(m_stmt); }

    // A column of the current row as QtSql would give it.
    QVariant value(int c) const
    {
        switch (sqlite3_column_type(m_stmt, c)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(m_stmt, c)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, c));
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        case SQLITE_BLOB: {
            const char *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, c));
            return QByteArray(data, sqlite3_column_bytes(m_stmt, c));
        }
        default: {
            const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, c));
            return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, c));
        }
        }
    }

private:
    int bind(int at, const QVariant &v)
    {
        if (v.isNull())
            return sqlite3_bind_null(m_stmt, at);
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            return sqlite3_bind_int64(m_stmt, at, v.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(m_stmt, at, v.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            return sqlite3_bind_blob(m_stmt, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        default: {
            const QByteArray text = v.toString().toUtf8();
            return sqlite3_bind_text(m_stmt, at, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    bool dbError(QString *error)
    {
        const QString text = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        finish();
        return setError(error, text.isEmpty() ? QStringLiteral("the statement failed") : text);
    }
    static bool setError(QString *error, const QString &text)
    {
        if (error)
            *error = text;
        return false;
    }

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

bool readRows(Statement &st, QList<QVariantList> *rows, QString *error)
{
    const int n = st.columnCount();
    while (st.next()) {
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c)
            row.append(st.value(c));
        rows->append(std::move(row));
    }
    return st.finished(error);
}

// A column's sum as SQL's Sum() gives it: whole numbers stay whole, nothing summed is null.
struct SumOfColumn {
    double real = 0;
    qint64 whole = 0;
    bool approximate = false;
    bool any = false;

    void add(sqlite3_stmt *st, int c) { add(sqlite3_column_value(st, c)); }
    void add(sqlite3_value *v)
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return;
        case SQLITE_INTEGER:
            addWhole(sqlite3_value_int64(v));
            return;
        case SQLITE_FLOAT:
            addReal(sqlite3_value_double(v));
            return;
        default: {
            // Text that reads as a number counts as that number, as in SQL.
            const QByteArray text
                = QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v))
                      .trimmed();
            bool ok = false;
            const qint64 w = text.toLongLong(&ok);
            if (ok)
                addWhole(w);
            else
                addReal(sqlite3_value_double(v));
        }
        }
    }
    void addWhole(qint64 v)
    {
        any = true;
        real += double(v);
        if (!approximate && __builtin_add_overflow(whole, v, &whole))
            approximate = true;
    }
    void addReal(double v)
    {
        any = true;
        real += v;
        approximate = true;
    }
    QVariant result() const
    {
        if (!any)
            return {};
        return approximate ? QVariant(real) : QVariant(qlonglong(whole));
    }
};

// Whether no key occurs twice. A bitmap over the keys' range when it is small (the usual
// auto-numbered keys), a sorted copy otherwise.
bool allDistinct(const std::vector<qint64> &keys)
{
    if (keys.size() < 2)
        return true;
    const auto [low, high] = std::minmax_element(keys.cbegin(), keys.cend());
    const quint64 span = quint64(*high) - quint64(*low);
    if (span < (quint64(1) << 27)) {
        std::vector<quint64> seen(size_t(span / 64) + 1, 0);
        for (qint64 k : keys) {
            const quint64 at = quint64(k) - quint64(*low);
            const quint64 bit = quint64(1) << (at % 64);
            if (seen[at / 64] & bit)
                return false;
            seen[at / 64] |= bit;
        }
        return true;
    }
    std::vector<qint64> sorted(keys);
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.cbegin(), sorted.cend()) == sorted.cend();
}

// The trailing Order By of a statement when it is made of field names of the result only,
// each ascending or descending: such an order can be applied to the rows after reading them.
struct OrderTerm {
    QString field;
    bool descending = false;
};

bool simpleOrder(const Sql &statement, QList<OrderTerm> *terms)
{
    const QString &text = statement.text();
    const ScannedSql s = scan(text);
    qsizetype orderAt = -1;
    qsizetype byEnd = -1;
    for (qsizetype w = 0; w + 1 < s.topWords.size(); ++w) {
        if (s.topWords[w].lower == QLatin1String("order") && s.topWords[w + 1].lower == QLatin1String("by")) {
            orderAt = s.topWords[w].at;
            byEnd = s.topWords[w + 1].at + 2;
        }
    }
    if (orderAt < 0 || text.contains(QLatin1String("collate"), Qt::CaseInsensitive))
        return false;
    for (qsizetype at : s.placeholders) {
        if (at > orderAt)
            return false;
    }
    const QString order = text.mid(byEnd);
    qsizetype i = 0;
    const qsizetype n = order.size();
    auto skipSpace = [&] {
        while (i < n && order[i].isSpace())
            ++i;
    };
    while (true) {
        skipSpace();
        if (i >= n)
            return false;
        OrderTerm term;
        const QChar c = order[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n) {
                if (order[i] == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && order[i + 1] == close) {
                        term.field += close;
                        i += 2;
                        continue;
                    }
                    break;
                }
                term.field += order[i++];
            }
            if (i >= n)
                return false;
            ++i;
        } else {
            const qsizetype start = i;
            while (i < n && (order[i].isLetterOrNumber() || order[i] == QLatin1Char('_')))
                ++i;
            term.field = order.mid(start, i - start);
            bool number = false;
            term.field.toLongLong(&number);
            if (term.field.isEmpty() || number)
                return false; // an expression, or a column by its position
        }
        skipSpace();
        qsizetype start = i;
        while (i < n && order[i].isLetter())
            ++i;
        const QString word = order.mid(start, i - start).toLower();
        if (word == QLatin1String("desc"))
            term.descending = true;
        else if (!word.isEmpty() && word != QLatin1String("asc"))
            return false;
        terms->append(term);
        skipSpace();
        if (i >= n)
            return true;
        if (order[i] != QLatin1Char(','))
            return false;
        ++i;
    }
}

// Distinct texts of a pass, each stored once; their ranks in byte order (SQL's BINARY
// collating sequence over UTF-8) replace them in the rows to be sorted.
class TextDictionary
{
public:
    static constexpr quint32 Full = 0xffffffffu;
    static constexpr size_t MaxTexts = 250000;

    // The text's id (1, 2, …), or Full when there are too many distinct texts; *stored is the
    // dictionary's own copy.
    quint32 idOf(std::string_view text, std::string_view *stored)
    {
        const auto it = ids.find(text);
        if (it != ids.end()) {
            *stored = it->first;
            return it->second;
        }
        if (ids.size() >= MaxTexts)
            return Full;
        *stored = store(text);
        const quint32 id = quint32(ids.size() + 1);
        ids.emplace(*stored, id);
        return id;
    }
    // rank[id] for every id handed out.
    std::vector<quint32> ranks() const
    {
        std::vector<std::pair<std::string_view, quint32>> sorted(ids.cbegin(), ids.cend());
        std::sort(sorted.begin(), sorted.end());
        std::vector<quint32> rank(ids.size() + 1, 0);
        for (size_t r = 0; r < sorted.size(); ++r)
            rank[sorted[r].second] = quint32(r + 1);
        return rank;
    }

private:
    std::string_view store(std::string_view text)
    {
        char *at = nullptr;
        if (text.size() > ChunkSize / 4) {
            // A long text gets a piece of its own.
            chunks.push_back(std::make_unique<char[]>(text.size()));
            at = chunks.back().get();
        } else {
            if (!current || used + text.size() > ChunkSize) {
                chunks.push_back(std::make_unique<char[]>(ChunkSize));
                current = chunks.back().get();
                used = 0;
            }
            at = current + used;
            used += text.size();
        }
        if (!text.empty())
            std::memcpy(at, text.data(), text.size());
        return std::string_view(at, text.size());
    }

    static constexpr size_t ChunkSize = 1 << 20;
    std::unordered_map<std::string_view, quint32> ids;
    std::vector<std::unique_ptr<char[]>> chunks;
    char *current = nullptr;
    size_t used = 0;
};

// A number as an unsigned integer in the same order (null, 0, stays below every number).
quint64 orderedNumber(double d)
{
    if (d == 0)
        d = 0; // -0 sorts as 0
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return (bits & (quint64(1) << 63)) ? ~bits : bits | (quint64(1) << 63);
}

quint64 orderedKey(qint64 key)
{
    return quint64(key) ^ (quint64(1) << 63);
}

qint64 keyOfOrdered(quint64 value)
{
    return qint64(value ^ (quint64(1) << 63));
}

struct SortColumn {
    int slot = 0;
    bool descending = false;
};

template<int Width> struct SortRow {
    quint64 v[Width];
};

// What a pass over the result found: the keys of each candidate field in the order read
// (or, before sorting, the rows to sort), the row count and the sums.
enum class PassResult { Done, NotApplicable, Failed };

} // namespace

struct DataGridModel::KeyPass {
    std::vector<std::vector<qint64>> keys; // per candidate
    std::vector<bool> valid; // per candidate: every value a whole number
    QHash<QString, QVariant> sums;
    qint64 rows = 0;
    int chosen = -1; // the candidate whose keys are all distinct

    void choose()
    {
        chosen = -1;
        for (size_t c = 0; c < keys.size(); ++c) {
            if (valid[c] && allDistinct(keys[c])) {
                chosen = int(c);
                return;
            }
        }
    }
};

namespace {

// The rows of a sorted pass reach this through an aggregate function of the pass's statement:
// SQLite then hands over each row as it does to Sum(), without returning it from a step.
class RowCollector
{
public:
    virtual ~RowCollector() = default;
    // False stops the pass (the rows cannot be sorted here).
    virtual bool add(int argc, sqlite3_value **argv) = 0;

    // Runs "Select <function>(columns) From (source)" with this collector behind the function.
    PassResult run(const QStringList &columns, const Sql &source, QString *error)
    {
        sqlite3 *db = sqliteHandle();
        if (!db) {
            if (error)
                *error = QStringLiteral("no database is open");
            return PassResult::Failed;
        }
        static const char *const Name = "quill_grid_rows";
        if (sqlite3_create_function_v2(
                db, Name, -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this, nullptr, &step, &final, nullptr)
            != SQLITE_OK)
            return PassResult::NotApplicable;
        stopped = false;
        Statement st;
        const Sql sql = Sql(QStringLiteral("Select %1(%2) From (")
                                .arg(QLatin1String(Name), columns.join(QLatin1String(", "))))
            + source + Sql(")");
        bool ok = st.prepare(sql, error);
        if (ok) {
            while (st.next()) { }
            ok = st.finished(error);
        }
        st.finish();
        sqlite3_create_function_v2(db, Name, -1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (stopped)
            return PassResult::NotApplicable;
        return ok ? PassResult::Done : PassResult::Failed;
    }

private:
    static void step(sqlite3_context *context, int argc, sqlite3_value **argv)
    {
        auto *self = static_cast<RowCollector *>(sqlite3_user_data(context));
        if (!self->stopped && !self->add(argc, argv)) {
            self->stopped = true;
            sqlite3_result_error(context, "stopped", -1);
        }
    }
    static void final(sqlite3_context *context) { sqlite3_result_null(context); }

    bool stopped = false;
};

// Rows of Width slots: the candidate keys, then the order terms that are not candidates.
template<int Width> class SortCollector : public RowCollector
{
public:
    SortCollector(int candidates, const QList<int> &termSlots, const QList<bool> &termIsCandidate,
        int sumColumns, qsizetype expectedRows)
        : candidates(candidates),
          termSlots(termSlots),
          termIsCandidate(termIsCandidate),
          termKind(termSlots.size(), 0),
          lastText(termSlots.size()),
          lastId(termSlots.size(), 0),
          sums(sumColumns),
          valid(candidates, true)
    {
        rows.reserve(size_t(qMax<qsizetype>(expectedRows, 0)));
    }

    bool add(int, sqlite3_value **argv) override
    {
        constexpr double Exact = 9007199254740992.0; // 2^53: larger whole numbers lose digits as doubles
        SortRow<Width> row {};
        int column = 0;
        for (int c = 0; c < candidates; ++c, ++column) {
            if (sqlite3_value_type(argv[column]) == SQLITE_INTEGER)
                row.v[c] = orderedKey(sqlite3_value_int64(argv[column]));
            else
                valid[c] = false;
        }
        for (int t = 0; t < termSlots.size(); ++t) {
            if (termIsCandidate[t])
                continue;
            sqlite3_value *v = argv[column++];
            const int slot = termSlots[t];
            switch (sqlite3_value_type(v)) {
            case SQLITE_NULL:
                row.v[slot] = 0;
                break;
            case SQLITE_INTEGER: {
                const qint64 w = sqlite3_value_int64(v);
                if (termKind[t] == 2 || std::fabs(double(w)) > Exact)
                    return false;
                termKind[t] = 1;
                row.v[slot] = orderedNumber(double(w));
                break;
            }
            case SQLITE_FLOAT:
                if (termKind[t] == 2)
                    return false;
                termKind[t] = 1;
                row.v[slot] = orderedNumber(sqlite3_value_double(v));
                break;
            case SQLITE_TEXT: {
                if (termKind[t] == 1)
                    return false;
                termKind[t] = 2;
                const std::string_view text(
                    reinterpret_cast<const char *>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v)));
                // Neighbouring rows often share the text (a day, an account).
                if (lastId[t] == 0 || text != lastText[t]) {
                    lastId[t] = texts.idOf(text, &lastText[t]);
                    if (lastId[t] == TextDictionary::Full)
                        return false;
                }
                row.v[slot] = lastId[t];
                break;
            }
            default:
                return false;
            }
        }
        for (size_t i = 0; i < sums.size(); ++i)
            sums[i].add(argv[column + int(i)]);
        rows.push_back(row);
        return true;
    }

    // Chooses the key, sorts the rows by the order terms and hands back the ordered keys.
    void finish(const QList<bool> &termDescending, DataGridModel::KeyPass &pass, std::vector<qint64> *ordered)
    {
        pass.rows = qint64(rows.size());
        for (size_t i = 0; i < sums.size(); ++i)
            pass.sums.insert(QString::number(i), sums[i].result());
        pass.valid = valid;
        pass.keys.assign(candidates, {});
        pass.chosen = -1;
        for (int c = 0; c < candidates && pass.chosen < 0; ++c) {
            if (!valid[c])
                continue;
            std::vector<qint64> keys;
            keys.reserve(rows.size());
            for (const SortRow<Width> &r : rows)
                keys.push_back(keyOfOrdered(r.v[c]));
            if (allDistinct(keys))
                pass.chosen = c;
        }
        if (pass.chosen < 0)
            return;
        bool anyText = false;
        for (int kind : termKind)
            anyText = anyText || kind == 2;
        if (anyText) {
            const std::vector<quint32> rank = texts.ranks();
            for (SortRow<Width> &r : rows) {
                for (int t = 0; t < termSlots.size(); ++t) {
                    if (termKind[t] == 2 && r.v[termSlots[t]] != 0)
                        r.v[termSlots[t]] = rank[r.v[termSlots[t]]];
                }
            }
        }
        // The terms up to the key itself decide; the key breaks every remaining tie.
        std::array<SortColumn, Width + 1> sortBy {};
        int columns = 0;
        bool keyDecides = false;
        for (int t = 0; t < termSlots.size() && !keyDecides; ++t) {
            sortBy[columns++] = {termSlots[t], termDescending[t]};
            keyDecides = termIsCandidate[t] && termSlots[t] == pass.chosen;
        }
        if (!keyDecides)
            sortBy[columns++] = {pass.chosen, false};
        const auto less = [&sortBy, columns](const SortRow<Width> &a, const SortRow<Width> &b) {
            for (int i = 0; i < columns; ++i) {
                const quint64 x = a.v[sortBy[i].slot];
                const quint64 y = b.v[sortBy[i].slot];
                if (x != y)
                    return sortBy[i].descending ? x > y : x < y;
            }
            return false;
        };
        // A ledger is written roughly in date order: rows read in order need no sorting.
        if (!std::is_sorted(rows.cbegin(), rows.cend(), less))
            std::sort(rows.begin(), rows.end(), less);
        ordered->clear();
        ordered->reserve(rows.size());
        for (const SortRow<Width> &r : rows)
            ordered->push_back(keyOfOrdered(r.v[pass.chosen]));
        std::vector<SortRow<Width>>().swap(rows);
    }

private:
    int candidates;
    QList<int> termSlots;
    QList<bool> termIsCandidate;
    std::vector<int> termKind; // 0 nothing yet, 1 numbers, 2 texts
    std::vector<std::string_view> lastText;
    std::vector<quint32> lastId;
    std::vector<SumOfColumn> sums;
    std::vector<bool> valid;
    std::vector<SortRow<Width>> rows;
    TextDictionary texts;
};

template<int Width>
PassResult sortedPass(const QStringList &columns, const Sql &source, int candidates,
    const QList<int> &termSlots, const QList<bool> &termIsCandidate, const QList<bool> &termDescending,
    int sumColumns, qsizetype expectedRows, DataGridModel::KeyPass &pass, std::vector<qint64> *ordered,
    QString *error)
{
    SortCollector<Width> collector(candidates, termSlots, termIsCandidate, sumColumns, expectedRows);
    const PassResult r = collector.run(columns, source, error);
    if (r == PassResult::Done)
        collector.finish(termDescending, pass, ordered);
    return r;
}

} // namespace

DataGridModel::DataGridModel(QObject *parent) : QAbstractTableModel(parent)
{
}

int DataGridModel::fieldIndex(const QString &field) const
{
    const auto exact = m_exactFieldIndex.constFind(field);
    if (exact != m_exactFieldIndex.constEnd())
        return *exact;
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
    m_key = -1;
    std::vector<qint64>().swap(m_keys);
    m_blocks.clear();
    m_sums.clear();
    endResetModel();
    emit footersChanged();
}

bool DataGridModel::describe(QList<int> *candidates, QString *error)
{
    m_fields.clear();
    m_realField.clear();
    m_binaryField.clear();
    m_fieldIndex.clear();
    m_exactFieldIndex.clear();
    Statement st;
    if (!st.prepare(Sql("Select * From (") + m_statement + Sql(")"), error))
        return false;
    sqlite3_stmt *s = st.handle();
    const int n = st.columnCount();
    QHash<QString, int> seen;
    for (int c = 0; c < n; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(s, c));
        m_fields.append(name);
        const QByteArray declared = QByteArray(sqlite3_column_decltype(s, c)).toUpper();
        m_realField.append(
            declared.contains("REAL") || declared.contains("FLOA") || declared.contains("DOUB"));
        if (!m_exactFieldIndex.contains(name))
            m_exactFieldIndex.insert(name, c);
        const QString key = name.toLower();
        if (!m_fieldIndex.contains(key))
            m_fieldIndex.insert(key, c);
        seen[key] += 1;

        bool binary = true;
        bool rowKey = false;
        const char *database = sqlite3_column_database_name(s, c);
        const char *table = sqlite3_column_table_name(s, c);
        const char *origin = sqlite3_column_origin_name(s, c);
        if (database && table && origin) {
            const char *type = nullptr;
            const char *collation = nullptr;
            int notNull = 0, primaryKey = 0, autoIncrement = 0;
            if (sqlite3_table_column_metadata(st.db(), database, table, origin, &type, &collation, &notNull,
                    &primaryKey, &autoIncrement)
                == SQLITE_OK) {
                binary = !collation || qstricmp(collation, "BINARY") == 0;
                rowKey = primaryKey && type && qstricmp(type, "INTEGER") == 0;
            }
        }
        m_binaryField.append(binary);
        if (m_keyFieldName.isEmpty() && rowKey && candidates->size() < 4)
            candidates->append(c);
    }
    if (!m_keyFieldName.isEmpty()) {
        candidates->clear();
        const int f = fieldIndex(m_keyFieldName);
        if (f >= 0)
            candidates->append(f);
    }
    // A name that occurs twice cannot be read by name.
    candidates->removeIf([&](int c) { return seen.value(m_fields[c].toLower()) > 1; });
    return true;
}

bool DataGridModel::run(QString *error)
{
    m_previousRows = m_open ? m_rows : 0;
    m_open = false;
    m_rows = 0;
    m_key = -1;
    std::vector<qint64>().swap(m_keys);
    m_blocks.clear();
    m_sums.clear();
    m_lastError.clear();
    m_lastMissed = -2;
    m_readAhead = 1;

    QList<int> candidates;
    bool ok = describe(&candidates, error);
    m_unordered = WithoutTrailingOrderBy(m_statement);
    auto layColumns = [this] {
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
    };
    layColumns();
    if (ok) {
        const QStringList sums = sumFieldsForRun();
        bool counted = false;
        narrowCandidates(&candidates);
        if (!candidates.isEmpty())
            ok = readKeys(candidates, sums, &counted, error);
        if (ok && m_key >= 0) {
            ok = readBlocksByKey(0, 1, error);
        } else if (ok) {
            QStringList missing;
            for (const QString &f : sums) {
                if (!m_sums.contains(f.toLower()))
                    missing.append(f);
            }
            // Read by position. A result that fits in the blocks kept (a grouped one, most
            // often, whose every run groups the whole table) is read whole in this one run,
            // counted and summed on the way, rather than run again for its aggregates.
            QList<QVariantList> leading;
            bool whole = false;
            ok = readLeadingRows(m_blockSize * m_maxBlocks, missing, &leading, &whole, error);
            if (ok && whole) {
                m_rows = int(leading.size());
                for (qsizetype at = 0, b = 0; at < leading.size() || b == 0; at += m_blockSize, ++b)
                    storeBlock(int(b), leading.mid(at, m_blockSize));
            } else if (ok) {
                int count = m_rows;
                ok = computeAggregates(counted ? nullptr : &count, missing, error);
                m_rows = count;
                leading.resize(qMin(leading.size(), qsizetype(m_blockSize)));
                storeBlock(0, leading);
            }
        }
    }
    if (!ok) {
        // A statement that fails leaves nothing behind: a closed grid shows nothing of the last.
        m_fields.clear();
        m_fieldIndex.clear();
        m_exactFieldIndex.clear();
        m_realField.clear();
        m_binaryField.clear();
        m_rows = 0;
        m_key = -1;
        std::vector<qint64>().swap(m_keys);
        m_blocks.clear();
        m_sums.clear();
        layColumns();
        return false;
    }
    m_open = true;
    return true;
}

void DataGridModel::narrowCandidates(QList<int> *candidates) const
{
    // The first rows rule out the fields that repeat (the "one" side of a join), so that the
    // pass over the whole result carries only the likely key.
    if (candidates->size() < 2)
        return;
    QStringList selected;
    for (int c : *candidates)
        selected.append(quotedName(m_fields[c]));
    Statement st;
    if (!st.prepare(Sql(QStringLiteral("Select %1 From (").arg(selected.join(QLatin1String(", "))))
                + m_unordered + Sql(") Limit 1000"),
            nullptr))
        return;
    std::vector<QSet<qint64>> seen(candidates->size());
    std::vector<bool> keep(candidates->size(), true);
    while (st.next()) {
        for (size_t c = 0; c < seen.size(); ++c) {
            if (!keep[c])
                continue;
            const qint64 v = sqlite3_column_int64(st.handle(), int(c));
            if (sqlite3_column_type(st.handle(), int(c)) != SQLITE_INTEGER || seen[c].contains(v))
                keep[c] = false;
            else
                seen[c].insert(v);
        }
    }
    if (!st.finished(nullptr))
        return;
    QList<int> kept;
    for (size_t c = 0; c < keep.size(); ++c) {
        if (keep[c])
            kept.append((*candidates)[qsizetype(c)]);
    }
    *candidates = kept;
}

QStringList DataGridModel::sumFieldsForRun() const
{
    // Columns are often set after the statement ran: until then every REAL field is summed in
    // the same pass, so that the footers need no second one.
    QStringList out = wantedSumFields();
    if (m_autoColumns) {
        for (int f = 0; f < m_fields.size(); ++f) {
            if (m_realField.value(f) && !out.contains(m_fields[f], Qt::CaseInsensitive))
                out.append(m_fields[f]);
        }
    }
    return out;
}

bool DataGridModel::readKeys(
    const QList<int> &candidates, const QStringList &sums, bool *counted, QString *error)
{
    KeyPass pass;
    int result = sortedKeyPass(pass, candidates, sums, error);
    if (result < 0)
        return false;
    if (result == 0) {
        pass = KeyPass();
        if (!orderedKeyPass(pass, candidates, sums, error))
            return false;
    }
    m_rows = int(pass.rows);
    for (int i = 0; i < sums.size(); ++i)
        m_sums.insert(sums[i].toLower(), pass.sums.value(QString::number(i)));
    *counted = true;
    if (pass.chosen >= 0) {
        m_key = candidates[pass.chosen];
        if (result == 0)
            m_keys = std::move(pass.keys[pass.chosen]);
    }
    return true;
}

int DataGridModel::sortedKeyPass(
    KeyPass &pass, const QList<int> &candidates, const QStringList &sums, QString *error)
{
    // One pass in the order SQLite finds cheapest, reading the keys, the order terms and the
    // sums; the rows are then sorted here. Sorting narrow rows in memory costs a fraction of
    // SQLite sorting the whole rows (or even the narrow ones), and the sums come along.
    QList<OrderTerm> order;
    if (!simpleOrder(m_statement, &order) || order.size() > 4)
        return 0;
    QList<int> termSlots;
    QList<bool> termIsCandidate;
    QList<bool> termDescending;
    QStringList selected;
    for (int c : candidates)
        selected.append(quotedName(m_fields[c]));
    int slot = int(candidates.size());
    for (const OrderTerm &t : order) {
        const int f = fieldIndex(t.field);
        if (f < 0 || !m_binaryField.value(f) || m_fields.count(m_fields[f]) > 1)
            return 0;
        const int candidate = int(candidates.indexOf(f));
        termIsCandidate.append(candidate >= 0);
        termDescending.append(t.descending);
        if (candidate >= 0) {
            termSlots.append(candidate);
        } else {
            termSlots.append(slot++);
            selected.append(quotedName(m_fields[f]));
        }
    }
    for (const QString &f : sums)
        selected.append(quotedName(f));
    PassResult r = PassResult::NotApplicable;
    const int n = int(candidates.size());
    const int s = int(sums.size());
    const qsizetype expected = m_previousRows; // the last run's count, when there was one
    // The rows' width is a compile-time constant of the pass: one instance per width in use.
    const auto passOfWidth = [&]<int Width>() {
        r = sortedPass<Width>(selected, m_unordered, n, termSlots, termIsCandidate, termDescending, s,
            expected, pass, &m_keys, error);
        return true;
    };
    const auto runForSlotWidth = [&]<int... Width>(std::integer_sequence<int, Width...>)
    {
        return ((slot == Width + 1 && passOfWidth.template operator()<Width + 1>()) || ...);
    };
    if (!runForSlotWidth(std::make_integer_sequence<int, 8> {}))
        return 0;
    switch (r) {
    case PassResult::Done:
        return 1;
    case PassResult::Failed:
        return -1;
    case PassResult::NotApplicable:
        break;
    }
    std::vector<qint64>().swap(m_keys);
    return 0;
}

bool DataGridModel::orderedKeyPass(
    KeyPass &pass, const QList<int> &candidates, const QStringList &sums, QString *error)
{
    // The statement's own order, whatever it is: SQLite sorts, the keys come in order.
    QStringList selected;
    for (int c : candidates)
        selected.append(quotedName(m_fields[c]));
    for (const QString &f : sums)
        selected.append(quotedName(f));
    const Sql sql = Sql(QStringLiteral("Select %1 From (").arg(selected.join(QLatin1String(", "))))
        + m_statement + Sql(")");
    Statement st;
    if (!st.prepare(sql, error))
        return false;
    sqlite3_stmt *s = st.handle();
    const int n = int(candidates.size());
    pass.keys.assign(n, {});
    pass.valid.assign(n, true);
    std::vector<SumOfColumn> sum(sums.size());
    while (st.next()) {
        for (int c = 0; c < n; ++c) {
            if (sqlite3_column_type(s, c) == SQLITE_INTEGER)
                pass.keys[c].push_back(sqlite3_column_int64(s, c));
            else
                pass.valid[c] = false;
        }
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i].add(s, n + int(i));
        ++pass.rows;
    }
    if (!st.finished(error))
        return false;
    for (size_t i = 0; i < sum.size(); ++i)
        pass.sums.insert(QString::number(i), sum[i].result());
    pass.choose();
    return true;
}

bool DataGridModel::readBlock(int number, QList<QVariantList> *rows, QString *error) const
{
    const Sql sql = Sql("Select * From (") + m_statement + Sql(") Limit ") + Sql::value(m_blockSize)
        + Sql(" Offset ") + Sql::value(qint64(number) * m_blockSize);
    Statement st;
    rows->reserve(m_blockSize);
    return st.prepare(sql, error) && readRows(st, rows, error);
}

bool DataGridModel::readLeadingRows(
    int limit, const QStringList &sums, QList<QVariantList> *rows, bool *whole, QString *error)
{
    Statement st;
    if (!st.prepare(Sql("Select * From (") + m_statement + Sql(")"), error))
        return false;
    QList<int> fields;
    for (const QString &f : sums)
        fields.append(fieldIndex(f));
    std::vector<SumOfColumn> summed(size_t(sums.size()));
    const int n = st.columnCount();
    *whole = false;
    while (rows->size() <= limit) {
        if (!st.next()) {
            if (!st.finished(error))
                return false;
            *whole = true;
            break;
        }
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c)
            row.append(st.value(c));
        rows->append(std::move(row));
        for (size_t i = 0; i < summed.size(); ++i) {
            if (fields[qsizetype(i)] >= 0)
                summed[i].add(st.handle(), fields[qsizetype(i)]);
        }
    }
    if (!*whole)
        return true;
    for (qsizetype i = 0; i < sums.size(); ++i)
        m_sums.insert(sums[i].toLower(), summed[size_t(i)].result());
    return true;
}

bool DataGridModel::readBlocksByKey(int first, int count, QString *error) const
{
    const qsizetype from = qsizetype(first) * m_blockSize;
    const qsizetype to = qMin(qsizetype(m_keys.size()), qsizetype(first + count) * m_blockSize);
    if (from >= to) {
        storeBlock(first, {});
        return true;
    }
    std::vector<qint64> keys(m_keys.begin() + from, m_keys.begin() + to);
    QString marks;
    marks.reserve(keys.size() * 2);
    for (size_t i = 0; i < keys.size(); ++i)
        marks += i == 0 ? QLatin1String("?") : QLatin1String(",?");
    const Sql sql = Sql("Select * From (") + m_unordered
        + Sql(QStringLiteral(") Where %1 In (%2)").arg(quotedName(m_fields[m_key]), marks));
    Statement st;
    if (!st.prepare(sql, error, keys))
        return false;
    QList<QVariantList> found;
    found.reserve(qsizetype(keys.size()));
    if (!readRows(st, &found, error))
        return false;
    // The rows come in the order SQLite finds them; put each at its key's place.
    QHash<qint64, qsizetype> place;
    place.reserve(qsizetype(keys.size()));
    for (size_t i = 0; i < keys.size(); ++i)
        place.insert(keys[i], qsizetype(i));
    QList<QVariantList> ordered(qsizetype(keys.size()));
    for (QVariantList &row : found) {
        const auto it = place.constFind(row.value(m_key).toLongLong());
        if (it != place.constEnd())
            ordered[*it] = std::move(row);
    }
    // A row deleted since the keys were read shows empty until the next refresh.
    for (int b = 0; b < count; ++b) {
        const qsizetype at = qsizetype(b) * m_blockSize;
        if (at >= ordered.size())
            break;
        storeBlock(first + b, ordered.mid(at, m_blockSize));
    }
    return true;
}

void DataGridModel::storeBlock(int number, QList<QVariantList> rows) const
{
    const int limit = qMax(m_maxBlocks, 2 * m_readAhead);
    while (m_blocks.size() >= limit && !m_blocks.contains(number)) {
        auto oldest = m_blocks.begin();
        for (auto i = m_blocks.begin(); i != m_blocks.end(); ++i) {
            if (i->lastUse < oldest->lastUse)
                oldest = i;
        }
        m_blocks.erase(oldest);
    }
    m_blocks.insert(number, Block {std::move(rows), ++m_useCounter});
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

bool DataGridModel::computeAggregates(int *count, const QStringList &sums, QString *error) const
{
    if (!count && sums.isEmpty())
        return true;
    Sql sql("Select Count(*)");
    for (const QString &f : sums)
        sql += Sql(QStringLiteral(", Sum(%1)").arg(quotedName(f)));
    sql += Sql(" From (") + m_unordered + Sql(")");
    Statement st;
    if (!st.prepare(sql, error))
        return false;
    if (!st.next())
        return st.finished(error) && false;
    if (count)
        *count = int(sqlite3_column_int64(st.handle(), 0));
    for (int i = 0; i < sums.size(); ++i)
        m_sums.insert(sums[i].toLower(), st.value(i + 1));
    st.finish();
    return true;
}

const QList<QVariantList> *DataGridModel::block(int number) const
{
    auto it = m_blocks.find(number);
    if (it != m_blocks.end()) {
        it->lastUse = ++m_useCounter;
        return &it->rows;
    }
    QString error;
    if (m_key >= 0) {
        // A walk through the rows reads ahead, in longer statements as it goes on.
        m_readAhead = number == m_lastMissed ? qMin(m_readAhead * 2, 32) : 1;
        const int last = int((qsizetype(m_keys.size()) - 1) / m_blockSize);
        const int count = qMax(1, qMin(m_readAhead, last - number + 1));
        m_lastMissed = number + count;
        if (!readBlocksByKey(number, count, &error)) {
            m_lastError = error;
            return nullptr;
        }
    } else {
        QList<QVariantList> rows;
        if (!readBlock(number, &rows, &error)) {
            m_lastError = error;
            return nullptr;
        }
        storeBlock(number, std::move(rows));
    }
    it = m_blocks.find(number);
    return it == m_blocks.end() ? nullptr : &it->rows;
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

int DataGridModel::findKeyRow(const QVariant &value) const
{
    qint64 key = 0;
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18;
        key = qint64(d);
        break;
    }
    default:
        // A key typed as text ("123") still finds the stored number, as SQL comparison does.
        key = value.toString().trimmed().toLongLong(&ok);
        if (!ok) {
            const double d = value.toString().trimmed().toDouble(&ok);
            ok = ok && d == std::trunc(d) && std::fabs(d) < 9.2e18;
            key = qint64(d);
        }
    }
    if (!ok)
        return -1;
    const auto it = std::find(m_keys.cbegin(), m_keys.cend(), key);
    return it == m_keys.cend() ? -1 : int(it - m_keys.cbegin());
}

int DataGridModel::findRowBySql(int f, const QVariant &value) const
{
    // The keys of the rows holding the value, then the first of them in the grid's order.
    const Sql sql = Sql(QStringLiteral("Select %1 From (").arg(quotedName(m_fields[m_key]))) + m_unordered
        + Sql(QStringLiteral(") Where %1 = ").arg(quotedName(m_fields[f]))) + Sql::value(value);
    Statement st;
    if (!st.prepare(sql, nullptr))
        return -1;
    QSet<qint64> matching;
    while (st.next())
        matching.insert(sqlite3_column_int64(st.handle(), 0));
    if (!st.finished(nullptr) || matching.isEmpty())
        return -1;
    for (size_t r = 0; r < m_keys.size(); ++r) {
        if (matching.contains(m_keys[r]))
            return int(r);
    }
    return -1;
}

int DataGridModel::findRow(const QString &field, const QVariant &value, int nearRow) const
{
    const int f = fieldIndex(field);
    if (!m_open || f < 0 || value.isNull())
        return -1;
    if (f == m_key)
        return findKeyRow(value);
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
    if (m_key >= 0)
        return findRowBySql(f, value);
    if (nearRow >= 0 && nearRow < m_rows && !m_blocks.contains(nearRow / m_blockSize)) {
        if (const QList<QVariantList> *rows = block(nearRow / m_blockSize)) {
            for (int r = 0; r < rows->size(); ++r) {
                if (sameValue((*rows)[r].value(f), value))
                    return (nearRow / m_blockSize) * m_blockSize + r;
            }
        }
    }

    // Read the field alone, in the statement's order, until the value turns up; SQLite then
    // reads no other column. The statement is finished before this returns.
    const Sql keys
        = Sql(QStringLiteral("Select %1 From (").arg(quotedName(m_fields[f]))) + m_statement + Sql(")");
    Statement st;
    if (st.prepare(keys, nullptr)) {
        int row = 0;
        bool found = false;
        while (st.next()) {
            if (sameValue(st.value(0), value)) {
                found = true;
                break;
            }
            ++row;
        }
        const bool readFailed = !found && !st.finished(nullptr);
        st.finish();
        if (!found && !readFailed)
            return -1;
        if (found && sameValue(this->value(row, f), value))
            return row;
    }
    return walkForRow(f, value);
}

int DataGridModel::walkForRow(int f, const QVariant &value) const
{
    // The field alone came in another order than the rows as read (rows that tie in the
    // order may, when SQLite picks another plan): walk the rows in bounded blocks of the same
    // form as the blocks shown.
    const int step = 5000;
    for (int offset = 0; offset < m_rows; offset += step) {
        const Sql rows = Sql("Select * From (") + m_statement + Sql(") Limit ") + Sql::value(step)
            + Sql(" Offset ") + Sql::value(offset);
        Statement st;
        if (!st.prepare(rows, nullptr))
            return -1;
        int r = offset;
        while (st.next()) {
            if (sameValue(st.value(f), value))
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
        if (!m_sums.contains(key)) {
            // A sum footer set after the run: every sum still missing in one statement.
            QStringList missing;
            for (const QString &f : wantedSumFields()) {
                if (!m_sums.contains(f.toLower()))
                    missing.append(f);
            }
            QString error;
            if (!computeAggregates(nullptr, missing, &error))
                m_lastError = error;
        }
        // No rows sum to nothing, shown as 0.
        return RoundMoney(m_sums.value(key).toDouble());
    }
    }
    return {};
}

QVariant DataGridModel::fieldSum(const QString &field) const
{
    const int f = fieldIndex(field);
    if (!m_open || f < 0)
        return {};
    const QString key = m_fields[f].toLower();
    if (!m_sums.contains(key)) {
        QString error;
        if (!computeAggregates(nullptr, {m_fields[f]}, &error))
            m_lastError = error;
    }
    return m_sums.value(key);
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
