#include "printing/ReportTemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace ReportTexts {
QString missingFile(const QString &path)
{
    return QStringLiteral("报表模板文件不存在：") + path;
}
QString prefix(const QString &path)
{
    return QStringLiteral("报表模板 ") + path + QStringLiteral("：");
}
} // namespace ReportTexts

QString TextSource::lookupName() const
{
    if (kind != Kind::Field)
        return {};
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

QString TextSource::fieldName() const
{
    if (kind != Kind::Field)
        return {};
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

double ReportTemplate::rowHeight() const
{
    // About 1.9 lines of the body font: room for the text and a little air above and below.
    return rowHeightMm > 0 ? rowHeightMm : fontSize * 25.4 / 72.0 * 1.9;
}

bool ReportTemplate::hasTotals() const
{
    for (const ReportColumn &c : columns)
        if (c.total.kind != ReportTotal::Kind::None)
            return true;
    return false;
}

QList<const TextSource *> ReportTemplate::sources() const
{
    QList<const TextSource *> list;
    list.append(&title);
    for (const TextSource &h : headers)
        list.append(&h);
    list.append(&footerLeft);
    list.append(&footerRight);
    for (const auto &row : voucher.rows)
        for (const VoucherCell &cell : row)
            list.append(&cell.source);
    return list;
}

QStringList ReportTemplate::rowFields() const
{
    QStringList fields;
    auto add = [&fields](const QString &f) {
        if (!f.isEmpty() && !fields.contains(f, Qt::CaseInsensitive))
            fields.append(f);
    };
    for (const ReportColumn &c : columns)
        add(c.field);
    for (const TextSource *s : sources())
        if (s->kind == TextSource::Kind::Field && s->lookupName().isEmpty())
            add(s->name);
    add(emphasisField);
    return fields;
}

QStringList ReportTemplate::valueNames() const
{
    QStringList names;
    for (const TextSource *s : sources())
        if (s->kind == TextSource::Kind::Value && !names.contains(s->name))
            names.append(s->name);
    return names;
}

namespace {

const QStringList SystemNames = {QStringLiteral("today"), QStringLiteral("user"), QStringLiteral("ledger")};

// Reads one template; every failure throws its message (caught in ParseReportTemplate).
class Parser
{
public:
    explicit Parser(ReportTemplate &t) : t(t) { }

    void parse(const QJsonObject &root)
    {
        allow(root, QStringLiteral("模板"),
            {"name", "page", "font", "lookups", "title", "headers", "columns", "emphasis", "footer",
                "voucher"});
        t.name = string(root, "name", QStringLiteral("模板"));
        if (root.contains(QLatin1String("page")))
            parsePage(object(root.value(QLatin1String("page")), QStringLiteral("page")));
        if (root.contains(QLatin1String("font")))
            parseFont(object(root.value(QLatin1String("font")), QStringLiteral("font")));
        if (root.contains(QLatin1String("lookups")))
            parseLookups(array(root.value(QLatin1String("lookups")), QStringLiteral("lookups")));
        if (root.contains(QLatin1String("title")))
            t.title = source(root.value(QLatin1String("title")), QStringLiteral("title"));
        if (root.contains(QLatin1String("headers")))
            parseHeaders(root.value(QLatin1String("headers")));
        const bool hasColumns = root.contains(QLatin1String("columns"));
        const bool hasVoucher = root.contains(QLatin1String("voucher"));
        if (hasColumns == hasVoucher)
            fail(QStringLiteral("模板须有 columns（列表）或 voucher（单据）两者之一"));
        if (hasColumns)
            parseColumns(array(root.value(QLatin1String("columns")), QStringLiteral("columns")));
        else
            parseVoucher(object(root.value(QLatin1String("voucher")), QStringLiteral("voucher")));
        if (root.contains(QLatin1String("emphasis")))
            parseEmphasis(object(root.value(QLatin1String("emphasis")), QStringLiteral("emphasis")));
        if (root.contains(QLatin1String("footer")))
            parseFooter(object(root.value(QLatin1String("footer")), QStringLiteral("footer")));
        checkLookupReferences();
    }

private:
    ReportTemplate &t;

    [[noreturn]] static void fail(const QString &message) { throw message; }

    static void allow(const QJsonObject &o, const QString &where, std::initializer_list<const char *> keys)
    {
        QSet<QString> known;
        for (const char *k : keys)
            known.insert(QString::fromLatin1(k));
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!known.contains(it.key()))
                fail(where + QStringLiteral(" 中有未知的设置项“") + it.key() + QStringLiteral("”"));
    }
    static QJsonObject object(const QJsonValue &v, const QString &where)
    {
        if (!v.isObject())
            fail(where + QStringLiteral(" 应是对象 {…}"));
        return v.toObject();
    }
    static QJsonArray array(const QJsonValue &v, const QString &where)
    {
        if (!v.isArray())
            fail(where + QStringLiteral(" 应是数组 […]"));
        return v.toArray();
    }
    static QString string(const QJsonObject &o, const char *key, const QString &where)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isString())
            fail(where + QStringLiteral(" 的 ") + QLatin1String(key) + QStringLiteral(" 应是文字"));
        return v.toString();
    }
    static double number(
        const QJsonObject &o, const char *key, const QString &where, double fallback, double low, double high)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || v.toDouble() < low || v.toDouble() > high)
            fail(where + QStringLiteral(" 的 ") + QLatin1String(key) + QStringLiteral(" 应是 ")
                + QString::number(low) + QStringLiteral(" 到 ") + QString::number(high)
                + QStringLiteral(" 之间的数"));
        return v.toDouble();
    }
    static bool boolean(const QJsonObject &o, const char *key, const QString &where, bool fallback)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(where + QStringLiteral(" 的 ") + QLatin1String(key) + QStringLiteral(" 应是 true 或 false"));
        return v.toBool();
    }
    static ReportAlign align(const QJsonObject &o, const QString &where, ReportAlign fallback)
    {
        const QString a = string(o, "align", where);
        if (a.isEmpty())
            return fallback;
        if (a == QLatin1String("left"))
            return ReportAlign::Left;
        if (a == QLatin1String("center"))
            return ReportAlign::Center;
        if (a == QLatin1String("right"))
            return ReportAlign::Right;
        fail(where + QStringLiteral(" 的 align 应是 left、center 或 right"));
    }
    static ReportFormat format(const QJsonObject &o, const QString &where, bool column)
    {
        const QString f = string(o, "format", where);
        if (f.isEmpty() || f == QLatin1String("text"))
            return ReportFormat::Text;
        if (f == QLatin1String("money"))
            return ReportFormat::Money;
        if (f == QLatin1String("date"))
            return ReportFormat::Date;
        if (f == QLatin1String("integer"))
            return ReportFormat::Integer;
        if (column && f == QLatin1String("percent"))
            return ReportFormat::Percent;
        fail(where + QStringLiteral(" 的 format 应是 text、money、date、integer")
            + (column ? QStringLiteral(" 或 percent") : QString()));
    }

    void parsePage(const QJsonObject &o)
    {
        allow(o, QStringLiteral("page"), {"orientation", "margins"});
        const QString orientation = string(o, "orientation", QStringLiteral("page"));
        if (orientation == QLatin1String("landscape"))
            t.landscape = true;
        else if (orientation.isEmpty() || orientation == QLatin1String("portrait"))
            t.landscape = false;
        else
            fail(QStringLiteral("page 的 orientation 应是 portrait 或 landscape"));
        const QJsonValue m = o.value(QLatin1String("margins"));
        if (m.isUndefined())
            return;
        if (m.isDouble() && m.toDouble() >= 0 && m.toDouble() <= 50) {
            const double d = m.toDouble();
            t.marginsMm = QMarginsF(d, d, d, d);
            return;
        }
        const QJsonArray a = m.toArray();
        bool ok = m.isArray() && a.size() == 4;
        for (const QJsonValue &v : a)
            ok = ok && v.isDouble() && v.toDouble() >= 0 && v.toDouble() <= 50;
        if (!ok)
            fail(QStringLiteral("page 的 margins 应是 0 到 50 之间的毫米数，或 [左, 上, 右, 下]"));
        t.marginsMm = QMarginsF(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
    }

    void parseFont(const QJsonObject &o)
    {
        allow(o, QStringLiteral("font"), {"family", "size", "titleSize", "rowHeight"});
        const QString family = string(o, "family", QStringLiteral("font"));
        if (!family.isEmpty())
            t.fontFamily = family;
        t.fontSize = number(o, "size", QStringLiteral("font"), t.fontSize, 5, 36);
        t.titleSize = number(o, "titleSize", QStringLiteral("font"), t.titleSize, 5, 72);
        t.rowHeightMm = number(o, "rowHeight", QStringLiteral("font"), 0, 0, 50);
    }

    void parseLookups(const QJsonArray &a)
    {
        static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString where = QStringLiteral("lookups[%1]").arg(i);
            const QJsonObject o = object(a[i], where);
            allow(o, where, {"lookup", "sql"});
            ReportLookup l {string(o, "lookup", where), string(o, "sql", where).trimmed()};
            if (!identifier.match(l.name).hasMatch())
                fail(where + QStringLiteral(" 的 lookup 名称应由字母、数字和下划线组成"));
            for (const ReportLookup &other : std::as_const(t.lookups))
                if (other.name.compare(l.name, Qt::CaseInsensitive) == 0)
                    fail(where + QStringLiteral(" 的名称“") + l.name + QStringLiteral("”重复"));
            // A template only reads: one Select statement, nothing that changes the ledger.
            QString sql = l.sql;
            if (sql.endsWith(QLatin1Char(';')))
                sql.chop(1);
            if (!sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive)
                || sql.contains(QLatin1Char(';')))
                fail(where + QStringLiteral(" 的 sql 只能是一条 Select 语句"));
            l.sql = sql;
            t.lookups.append(l);
        }
    }

    TextSource source(const QJsonValue &v, const QString &where, bool cell = false)
    {
        TextSource s;
        if (v.isString()) {
            s.kind = TextSource::Kind::Static;
            s.name = v.toString();
            return s;
        }
        const QJsonObject o = object(v, where);
        if (cell)
            allow(o, where,
                {"text", "value", "field", "system", "label", "prefix", "suffix", "format", "align", "bold",
                    "span"});
        else
            allow(o, where,
                {"text", "value", "field", "system", "label", "prefix", "suffix", "format", "align", "bold"});
        int kinds = 0;
        const std::pair<const char *, TextSource::Kind> choices[]
            = {{"text", TextSource::Kind::Static}, {"value", TextSource::Kind::Value},
                {"field", TextSource::Kind::Field}, {"system", TextSource::Kind::System}};
        for (const auto &[key, kind] : choices)
            if (o.contains(QLatin1String(key))) {
                ++kinds;
                s.kind = kind;
                s.name = string(o, key, where);
            }
        if (kinds != 1)
            fail(where + QStringLiteral(" 须有 text、value、field、system 中的一项"));
        if (s.kind != TextSource::Kind::Static && s.name.isEmpty())
            fail(where + QStringLiteral(" 的名称是空的"));
        if (s.kind == TextSource::Kind::System && !SystemNames.contains(s.name))
            fail(where + QStringLiteral(" 的 system 应是 ") + SystemNames.join(QStringLiteral("、")));
        s.label = string(o, "label", where);
        s.prefix = string(o, "prefix", where);
        s.suffix = string(o, "suffix", where);
        s.format = format(o, where, false);
        s.align = align(o, where, ReportAlign::Left);
        s.bold = boolean(o, "bold", where, false);
        return s;
    }

    void parseHeaders(const QJsonValue &v)
    {
        QJsonArray items;
        if (v.isArray()) {
            items = v.toArray();
        } else {
            const QJsonObject o = object(v, QStringLiteral("headers"));
            allow(o, QStringLiteral("headers"), {"columns", "items"});
            t.headerColumns = int(number(o, "columns", QStringLiteral("headers"), 1, 1, 6));
            items = array(o.value(QLatin1String("items")), QStringLiteral("headers 的 items"));
        }
        for (qsizetype i = 0; i < items.size(); ++i)
            t.headers.append(source(items[i], QStringLiteral("headers[%1]").arg(i)));
    }

    ReportTotal total(const QJsonValue &v, const QString &where)
    {
        ReportTotal r;
        if (v.isString()) {
            if (v.toString() == QLatin1String("sum"))
                r.kind = ReportTotal::Kind::Sum;
            else if (v.toString() == QLatin1String("count"))
                r.kind = ReportTotal::Kind::Count;
            else
                fail(where + QStringLiteral(" 应是 \"sum\"、\"count\" 或 {\"text\": …}"));
            r.pattern = QStringLiteral("{}");
            return r;
        }
        const QJsonObject o = object(v, where);
        allow(o, where, {"text", "sum", "count"});
        if (o.size() != 1)
            fail(where + QStringLiteral(" 须有 text、sum、count 中的一项"));
        const QString key = o.begin().key();
        r.kind = key == QLatin1String("text") ? ReportTotal::Kind::Text
            : key == QLatin1String("sum")     ? ReportTotal::Kind::Sum
                                              : ReportTotal::Kind::Count;
        r.pattern = string(o, qPrintable(key), where);
        if (r.kind != ReportTotal::Kind::Text && !r.pattern.contains(QLatin1String("{}")))
            fail(where + QStringLiteral(" 的文字须用 {} 标出数字的位置"));
        return r;
    }

    void parseColumns(const QJsonArray &a)
    {
        if (a.isEmpty())
            fail(QStringLiteral("columns 中至少要有一列"));
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString where = QStringLiteral("columns[%1]").arg(i);
            const QJsonObject o = object(a[i], where);
            allow(o, where, {"field", "caption", "width", "weight", "align", "format", "total"});
            ReportColumn c;
            c.field = string(o, "field", where);
            if (c.field.isEmpty())
                fail(where + QStringLiteral(" 须有 field"));
            c.caption = string(o, "caption", where);
            c.widthMm = number(o, "width", where, 0, 0, 400);
            c.weight = number(o, "weight", where, 0, 0, 1000);
            if (c.widthMm > 0 && c.weight > 0)
                fail(where + QStringLiteral(" 只能有 width（毫米）或 weight（比例）之一"));
            c.format = format(o, where, true);
            const bool numeric = c.format == ReportFormat::Money || c.format == ReportFormat::Integer
                || c.format == ReportFormat::Percent;
            c.align = align(o, where, numeric ? ReportAlign::Right : ReportAlign::Center);
            if (o.contains(QLatin1String("total")))
                c.total = total(o.value(QLatin1String("total")), where + QStringLiteral(" 的 total"));
            t.columns.append(c);
        }
    }

    void parseVoucher(const QJsonObject &o)
    {
        t.isVoucher = true;
        allow(o, QStringLiteral("voucher"), {"columns", "labelWidth", "rowHeight", "rows", "signatures"});
        VoucherLayout &v = t.voucher;
        v.columns = int(number(o, "columns", QStringLiteral("voucher"), 2, 1, 6));
        v.labelWidthMm = number(o, "labelWidth", QStringLiteral("voucher"), v.labelWidthMm, 5, 100);
        v.rowHeightMm = number(o, "rowHeight", QStringLiteral("voucher"), v.rowHeightMm, 4, 50);
        const QJsonArray rows = array(o.value(QLatin1String("rows")), QStringLiteral("voucher 的 rows"));
        if (rows.isEmpty())
            fail(QStringLiteral("voucher 的 rows 中至少要有一行"));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString rowWhere = QStringLiteral("voucher.rows[%1]").arg(r);
            const QJsonArray cells = array(rows[r], rowWhere);
            if (cells.isEmpty())
                fail(rowWhere + QStringLiteral(" 是空的"));
            QList<VoucherCell> row;
            int used = 0;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QString where = rowWhere + QStringLiteral("[%1]").arg(c);
                VoucherCell cell;
                cell.source = source(cells[c], where, true);
                if (cells[c].isObject())
                    cell.span = int(number(cells[c].toObject(), "span", where, 1, 1, v.columns));
                used += cell.span;
                row.append(cell);
            }
            if (used > v.columns)
                fail(rowWhere + QStringLiteral(" 的格子超过了 %1 格").arg(v.columns));
            v.rows.append(row);
        }
        const QJsonValue sig = o.value(QLatin1String("signatures"));
        if (!sig.isUndefined()) {
            for (const QJsonValue &s : array(sig, QStringLiteral("voucher 的 signatures"))) {
                if (!s.isString())
                    fail(QStringLiteral("voucher 的 signatures 应是文字的数组"));
                v.signatures.append(s.toString());
            }
        }
    }

    void parseEmphasis(const QJsonObject &o)
    {
        allow(o, QStringLiteral("emphasis"), {"field", "values"});
        t.emphasisField = string(o, "field", QStringLiteral("emphasis"));
        if (t.emphasisField.isEmpty())
            fail(QStringLiteral("emphasis 须有 field"));
        for (const QJsonValue &v :
            array(o.value(QLatin1String("values")), QStringLiteral("emphasis 的 values")))
            t.emphasisValues.append(v.toVariant().toString());
    }

    void parseFooter(const QJsonObject &o)
    {
        allow(o, QStringLiteral("footer"), {"pageNumbers", "left", "right"});
        t.pageNumbers = boolean(o, "pageNumbers", QStringLiteral("footer"), true);
        if (o.contains(QLatin1String("left")))
            t.footerLeft = source(o.value(QLatin1String("left")), QStringLiteral("footer 的 left"));
        if (o.contains(QLatin1String("right")))
            t.footerRight = source(o.value(QLatin1String("right")), QStringLiteral("footer 的 right"));
    }

    void checkLookupReferences()
    {
        for (const TextSource *s : t.sources()) {
            const QString lookup = s->lookupName();
            if (lookup.isEmpty())
                continue;
            bool declared = false;
            for (const ReportLookup &l : std::as_const(t.lookups))
                declared = declared || l.name.compare(lookup, Qt::CaseInsensitive) == 0;
            if (!declared)
                fail(QStringLiteral("字段“") + s->name + QStringLiteral("”引用了未声明的查询“") + lookup
                    + QStringLiteral("”"));
            if (s->fieldName().isEmpty())
                fail(QStringLiteral("字段“") + s->name + QStringLiteral("”缺少列名"));
        }
    }
};

} // namespace

bool ParseReportTemplate(const QByteArray &json, const QString &path, ReportTemplate *result, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // Say where, as a line and column an editor shows.
        const QByteArray before = json.left(parseError.offset);
        const int line = int(before.count('\n')) + 1;
        const int column = int(QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1)).size()) + 1;
        if (error)
            *error = ReportTexts::prefix(path)
                + QStringLiteral("第 %1 行第 %2 列不是正确的 JSON（%3）")
                      .arg(line)
                      .arg(column)
                      .arg(parseError.errorString());
        return false;
    }
    if (!doc.isObject()) {
        if (error)
            *error = ReportTexts::prefix(path) + QStringLiteral("内容应是一个 JSON 对象 {…}");
        return false;
    }
    ReportTemplate parsed;
    try {
        Parser(parsed).parse(doc.object());
    } catch (const QString &message) {
        if (error)
            *error = ReportTexts::prefix(path) + message;
        return false;
    }
    if (parsed.name.isEmpty())
        parsed.name = QFileInfo(path).completeBaseName();
    *result = std::move(parsed);
    return true;
}

bool LoadReportTemplate(const QString &path, ReportTemplate *result, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = ReportTexts::missingFile(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("报表模板文件无法读取：") + path + QStringLiteral("（")
                + file.errorString() + QStringLiteral("）");
        return false;
    }
    return ParseReportTemplate(file.readAll(), path, result, error);
}
