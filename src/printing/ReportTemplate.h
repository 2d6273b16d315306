#pragma once

// A report template: a small JSON file (kept under the .frf names beside the program) that says
// how one query's rows are laid out on paper. Two layouts exist: a paginated table (title,
// header texts, columns, totals row, page footer) and a voucher, one boxed record per bill.
//
// Texts printed outside the columns come from a source: a static text, a named value the caller
// answers while the report is prepared, a field of the bound rows (the first row, or the
// voucher's own row), a field of a declared single-row look-up ("header.PrintValue1"), or a
// value the program knows itself ("today", "user").

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>

enum class ReportFormat { Text, Money, Date, Integer, Percent };
enum class ReportAlign { Left, Center, Right };

struct TextSource {
    enum class Kind { None, Static, Value, Field, System };
    Kind kind = Kind::None;
    QString name; // the static text, value name, field ("Col" or "lookup.Col") or system name
    QString label; // printed before the value, e.g. "单据编号："
    QString prefix; // printed right before the value, e.g. "¥"
    QString suffix; // printed after the value, e.g. " 元"
    ReportFormat format = ReportFormat::Text;
    ReportAlign align = ReportAlign::Left;
    bool bold = false;

    bool isEmpty() const { return kind == Kind::None; }
    // The look-up a field source reads ("header" of "header.PrintValue1"); empty for row fields.
    QString lookupName() const;
    QString fieldName() const;
};

struct ReportTotal {
    enum class Kind { None, Text, Sum, Count };
    Kind kind = Kind::None;
    QString pattern; // "{}" stands for the figure; the whole text for Kind::Text
};

struct ReportColumn {
    QString field;
    QString caption;
    double widthMm = 0; // fixed width; 0 means a share of what the fixed columns leave
    double weight = 0; // relative share
    ReportAlign align = ReportAlign::Left;
    ReportFormat format = ReportFormat::Text;
    ReportTotal total;
};

struct ReportLookup {
    QString name;
    QString sql;
};

struct VoucherCell {
    TextSource source; // its label is the cell's label
    int span = 1;
};

struct VoucherLayout {
    int columns = 2; // cells per row when each spans 1
    double labelWidthMm = 26;
    double rowHeightMm = 10;
    QList<QList<VoucherCell>> rows;
    QStringList signatures; // names of the signature lines under the box
};

struct ReportTemplate {
    QString name; // shown as the preview's title
    bool landscape = false;
    QMarginsF marginsMm {12, 12, 12, 12};
    QString fontFamily = QStringLiteral("WenQuanYi Micro Hei");
    double fontSize = 9; // points
    double titleSize = 16; // points
    double rowHeightMm = 0; // 0: from the font size

    QList<ReportLookup> lookups;
    TextSource title;
    QList<TextSource> headers;
    int headerColumns = 1;
    QList<ReportColumn> columns;

    // Rows whose field holds one of the values are printed bold (a total row in the data).
    QString emphasisField;
    QStringList emphasisValues;

    bool pageNumbers = true;
    TextSource footerLeft;
    TextSource footerRight;

    bool isVoucher = false;
    VoucherLayout voucher;

    double rowHeight() const; // mm
    bool hasTotals() const;
    // Every row field the template reads (columns, sources without a look-up, emphasis).
    QStringList rowFields() const;
    // Every named value and every look-up field the template reads.
    QStringList valueNames() const;
    // Every text source of the template, for checks.
    QList<const TextSource *> sources() const;
};

// Parses and checks a template's text; path is named in every message. False with *error set
// when the text is not JSON, not a template, or names an undeclared look-up.
bool ParseReportTemplate(const QByteArray &json, const QString &path, ReportTemplate *result, QString *error);
// Reads a template file; a missing or unreadable file is an error naming the path.
bool LoadReportTemplate(const QString &path, ReportTemplate *result, QString *error);

// Texts shared by the engine and the designer.
namespace ReportTexts {
QString missingFile(const QString &path);
QString prefix(const QString &path); // "报表模板 <path>："
} // namespace ReportTexts
