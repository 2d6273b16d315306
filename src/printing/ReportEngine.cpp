#include "printing/ReportEngine.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QFileInfo>
#include <QHash>
#include <QPrinter>

#include <cmath>

QString FormatReportValue(const QVariant &value, ReportFormat format)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    switch (format) {
    case ReportFormat::Money:
    case ReportFormat::Percent: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok && !text.trimmed().isEmpty() ? RoundMoney(d) : text;
    }
    case ReportFormat::Integer: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok && !text.trimmed().isEmpty() ? QString::number(qint64(std::llround(d))) : text;
    }
    case ReportFormat::Date: {
        const QDate date = DateFromStored(value);
        return date.isValid() ? ShortDateText(date) : text;
    }
    case ReportFormat::Text:
        break;
    }
    // A whole amount stored as a float reads without its ".0".
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return text;
}

namespace {

QString percentText(double share)
{
    return QString::number(std::round(share * 1000.0) / 10.0, 'g', 15) + QLatin1Char('%');
}

QString systemValue(const QString &name)
{
    if (name == QLatin1String("today"))
        return ShortDateText(Platform::Today());
    if (!ShareDataModule)
        return {};
    if (name == QLatin1String("user"))
        return Session().CurrentUser;
    if (name == QLatin1String("ledger"))
        return Session().LedgerCaption;
    return {};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// ReportEngine

bool ReportEngine::loadTemplate(const QString &filePath, QString *error)
{
    path = filePath;
    loaded = LoadReportTemplate(filePath, &tmpl, &loadError);
    if (!loaded && error)
        *error = loadError;
    return loaded;
}

bool ReportEngine::loadTemplateText(const QByteArray &json, const QString &filePath, QString *error)
{
    path = filePath;
    loaded = ParseReportTemplate(json, filePath, &tmpl, &loadError);
    if (!loaded && error)
        *error = loadError;
    return loaded;
}

void ReportEngine::bind(const Query &query)
{
    rows = std::make_shared<QueryRows>(query);
}

void ReportEngine::bind(std::shared_ptr<const ReportRows> boundRows)
{
    rows = std::move(boundRows);
}

bool ReportEngine::fail(const QString &message, QString *error, bool alreadyShown)
{
    shown = alreadyShown;
    report = PreparedReport();
    if (error)
        *error = message;
    return false;
}

bool ReportEngine::prepare(QString *error)
{
    shown = false;
    if (!loaded)
        return fail(loadError.isEmpty() ? ReportTexts::missingFile(path) : loadError, error);
    const QString where = ReportTexts::prefix(path);

    // With no rows bound (the designer) the template is shown on sample rows and placeholders.
    const bool sample = !rows;
    std::shared_ptr<const ReportRows> data = rows;
    if (sample)
        data = std::make_shared<TableRows>(SampleRows(tmpl, tmpl.isVoucher ? 1 : 60));

    for (const QString &field : tmpl.rowFields())
        if (!data->hasColumn(field))
            return fail(
                where + QStringLiteral("字段“") + field + QStringLiteral("”在绑定的数据中不存在"), error);

    // Single-row look-ups, each read once through the shared connection.
    QHash<QString, Query> lookups;
    if (!sample) {
        for (const ReportLookup &l : std::as_const(tmpl.lookups)) {
            Query q;
            const QString message = where + QStringLiteral("查询“") + l.name + QStringLiteral("”失败");
            if (!RunQuery(q, Sql(l.sql), message))
                return fail(message, error, true);
            lookups.insert(l.name.toLower(), q);
        }
        for (const TextSource *s : tmpl.sources()) {
            const QString lookup = s->lookupName();
            if (!lookup.isEmpty() && !lookups.value(lookup.toLower()).hasColumn(s->fieldName()))
                return fail(
                    where + QStringLiteral("字段“") + s->name + QStringLiteral("”在查询的结果中不存在"),
                    error);
        }
    }

    PreparedReport r;
    r.path = path;
    r.tmpl = tmpl;
    r.sample = sample;
    r.data = data;
    r.lookups = lookups;
    r.rowTotal = data->rowCount();

    // Named values, each asked once.
    for (const QString &name : tmpl.valueNames()) {
        std::optional<QVariant> answer;
        if (values)
            answer = values(name);
        if (values || !sample)
            r.asked.append({name, answer ? std::optional<QString>(answer->toString()) : std::nullopt});
        r.answers.insert(name,
            answer       ? answer->toString()
                : sample ? QStringLiteral("〈") + name + QStringLiteral("〉")
                         : QString());
    }

    const int count = r.rowTotal;
    r.firstBlock = r.block(0);
    if (tmpl.isVoucher) {
        for (const auto &cells : tmpl.voucher.rows)
            for (const VoucherCell &cell : cells)
                r.captionTexts.append(cell.source.label);
    } else {
        for (const ReportColumn &c : tmpl.columns)
            r.captionTexts.append(c.caption);
        // Shares of a percent column are of the column's total magnitude, as a pie shows them.
        QStringList percentFields, sumFields;
        for (const ReportColumn &c : tmpl.columns) {
            if (c.format == ReportFormat::Percent)
                percentFields.append(c.field);
            else if (c.total.kind == ReportTotal::Kind::Sum)
                sumFields.append(c.field);
        }
        const QList<double> magnitudes = data->fieldSums(percentFields, true);
        const QList<double> sums = data->fieldSums(sumFields, false);
        r.magnitude = QList<double>(tmpl.columns.size(), 0.0);
        for (qsizetype c = 0, p = 0; c < tmpl.columns.size(); ++c)
            if (tmpl.columns[c].format == ReportFormat::Percent)
                r.magnitude[c] = magnitudes.value(p++);
        if (tmpl.hasTotals()) {
            qsizetype nextSum = 0;
            for (qsizetype c = 0; c < tmpl.columns.size(); ++c) {
                const ReportColumn &col = tmpl.columns[c];
                QString figure;
                switch (col.total.kind) {
                case ReportTotal::Kind::None:
                    r.totalTexts.append(QString());
                    continue;
                case ReportTotal::Kind::Text:
                    r.totalTexts.append(col.total.pattern);
                    continue;
                case ReportTotal::Kind::Count:
                    figure = QString::number(count);
                    break;
                case ReportTotal::Kind::Sum:
                    if (col.format == ReportFormat::Percent) {
                        // Every share of a column with any magnitude adds up to the whole.
                        figure = count > 0 && r.magnitude[c] > 0 ? percentText(1.0) : QString();
                        break;
                    }
                    {
                        const double sum = sums.value(nextSum++);
                        figure = col.format == ReportFormat::Integer
                            ? QString::number(qint64(std::llround(sum)))
                            : RoundMoney(sum);
                    }
                    break;
                }
                r.totalTexts.append(QString(col.total.pattern).replace(QLatin1String("{}"), figure));
            }
        }
    }
    r.footerLeftText = r.resolve(tmpl.footerLeft, 0);
    r.footerRightText = r.resolve(tmpl.footerRight, 0);
    r.pageList = r.paginate(r.paperSize());
    r.valid = true;
    report = std::move(r);
    return true;
}

QString PreparedReport::resolve(const TextSource &s, int row) const
{
    QString value;
    switch (s.kind) {
    case TextSource::Kind::None:
        return {};
    case TextSource::Kind::Static:
        return s.label + s.name;
    case TextSource::Kind::Value:
        value = answers.value(s.name);
        break;
    case TextSource::Kind::System:
        value = systemValue(s.name);
        break;
    case TextSource::Kind::Field:
        if (!s.lookupName().isEmpty()) {
            if (sample)
                value = QStringLiteral("〈") + s.name + QStringLiteral("〉");
            else
                value = FormatReportValue(
                    lookups.value(s.lookupName().toLower()).valueAt(0, s.fieldName()), s.format);
        } else {
            value = FormatReportValue(data ? data->value(row, s.name) : QVariant(), s.format);
        }
        break;
    }
    if (value.isEmpty())
        return s.label;
    return s.label + s.prefix + value + s.suffix;
}

PreparedReport::Block PreparedReport::block(int row) const
{
    Block b;
    b.title = resolve(tmpl.title, row);
    for (const TextSource &h : tmpl.headers) {
        b.headers.append(resolve(h, row));
        b.headerAligns.append(h.align);
        b.headerBold.append(h.bold);
    }
    return b;
}

QStringList PreparedReport::rowTexts(int row) const
{
    QStringList texts;
    if (!data || row < 0 || row >= rowTotal)
        return texts;
    if (tmpl.isVoucher) {
        for (const auto &cells : tmpl.voucher.rows)
            for (const VoucherCell &cell : cells) {
                TextSource unlabelled = cell.source;
                unlabelled.label.clear();
                texts.append(resolve(unlabelled, row));
            }
        return texts;
    }
    texts.reserve(tmpl.columns.size());
    for (qsizetype c = 0; c < tmpl.columns.size(); ++c) {
        const ReportColumn &col = tmpl.columns[c];
        const QVariant v = data->value(row, col.field);
        if (col.format == ReportFormat::Percent) {
            const double share = magnitude.value(c) > 0 ? std::fabs(v.toDouble()) / magnitude[c] : 0;
            texts.append(v.isNull() ? QString() : percentText(share));
        } else {
            texts.append(FormatReportValue(v, col.format));
        }
    }
    return texts;
}

bool PreparedReport::rowEmphasized(int row) const
{
    return !tmpl.isVoucher && !tmpl.emphasisField.isEmpty() && data
        && tmpl.emphasisValues.contains(data->value(row, tmpl.emphasisField).toString());
}

void ReportEngine::preview(QWidget *parent) const
{
    if (report.isValid())
        Platform::PreviewReport(report, parent);
}

bool ReportEngine::savePdf(const QString &filePath, QString *error) const
{
    if (!report.isValid()) {
        if (error)
            *error = ReportTexts::prefix(path) + QStringLiteral("报表尚未准备好");
        return false;
    }
    if (!Platform::WritePdf(report, filePath)) {
        if (error)
            *error = QStringLiteral("PDF 文件无法写入：") + filePath;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

QString ReportTemplatePath(const QString &fileName)
{
    const QString dir = ShareDataModule ? Session().ProgramDir : QString();
    return dir + QStringLiteral("Frf/") + fileName;
}

QString ListTemplatePath(const QString &portraitFile, const QString &otherFile)
{
    const QString portrait = QStringLiteral("纵向打印");
    return ReportTemplatePath(
        ReadSetting(Settings::PrintType, portrait) == portrait ? portraitFile : otherFile);
}

bool PrintReport(const QString &templatePath, const Query &rows, ReportValueProvider values, QWidget *parent)
{
    return PrintReport(templatePath, std::make_shared<QueryRows>(rows), std::move(values), parent);
}

bool PrintReport(const QString &templatePath, std::shared_ptr<const ReportRows> rows,
    ReportValueProvider values, QWidget *parent)
{
    ReportEngine engine;
    engine.loadTemplate(templatePath);
    engine.bind(std::move(rows));
    engine.setValueProvider(std::move(values));
    QString error;
    if (!engine.prepare(&error)) {
        if (!engine.errorShown())
            Platform::ShowMessage(error);
        return false;
    }
    engine.preview(parent);
    return true;
}
