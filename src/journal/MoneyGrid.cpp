#include "journal/MoneyGrid.h"

#include "storage/PublicFunction.h"
#include "widgets/DataGrid.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <cfenv>
#include <cmath>

namespace MoneyGrid {

namespace {
constexpr int TextMargin = 20;
const char *const WidestTextProperty = "moneyGridWidestText";

QString shortDate(const QVariant &value)
{
    const QDate day = QDate::fromString(value.toString().left(10), Qt::ISODate);
    return day.isValid() ? ShortDateText(day) : GridValueText(value);
}

QList<int> widestTexts(const DataGrid *grid)
{
    return grid->property(WidestTextProperty).value<QList<int>>();
}
} // namespace

const QList<ColumnSpec> &Columns()
{
    static const QList<ColumnSpec> columns = {
        {QStringLiteral("MoneyIndex"), QStringLiteral("记录号"), 50},
        {QStringLiteral("MoneySerial"), QStringLiteral("单据编号"), 68},
        {QStringLiteral("MoneyCreateTime"), QStringLiteral("录入时间"), 70},
        {QStringLiteral("AccountName"), QStringLiteral("帐户名称"), 85},
        {QStringLiteral("MoneyUser"), QStringLiteral("客户名称"), 112},
        {QStringLiteral("MoneyIn"), QStringLiteral("收入"), 60},
        {QStringLiteral("MoneyOut"), QStringLiteral("支出"), 60},
        {QStringLiteral("MoneySum"), QStringLiteral("合计"), 65},
        {QStringLiteral("MoneyMan"), QStringLiteral("业务员"), 50},
        {QStringLiteral("MoneyReason"), QStringLiteral("收支种类"), 60},
        {QStringLiteral("MoneyType"), QStringLiteral("类别"), 40},
        {QStringLiteral("MoneyToken"), QStringLiteral("凭证"), 40},
        {QStringLiteral("MoneyRemark"), QStringLiteral("备注"), 128},
    };
    return columns;
}

void SetGridColumn(DataGrid *grid, const QString &caption, const QString &field, int width, int position)
{
    GridFooter footer;
    if (field == QLatin1String("MoneyIndex"))
        footer = GridFooter::rowCount(QStringLiteral("条"));
    else if (field == QLatin1String("MoneyIn") || field == QLatin1String("MoneySum"))
        footer = GridFooter::sum();
    else if (field == QLatin1String("MoneyOut"))
        footer = GridFooter::sum(Qt::red);
    GridColumn column = GridColumn::make(field, caption, width, footer, Qt::AlignCenter);
    if (field == QLatin1String("MoneyCreateTime"))
        column.format = shortDate;
    grid->setColumn(position, column);
}

int StoredWidth(const QString &section, const ColumnSpec &column)
{
    bool ok = false;
    const int width = ReadSetting(Settings::ColumnWidth(section, column.field), QString::number(column.width))
                          .trimmed()
                          .toInt(&ok);
    return ok && width >= 0 ? width : column.width;
}

void SetColumns(DataGrid *grid, const QString &section)
{
    const QList<ColumnSpec> &columns = Columns();
    for (int i = 0; i < columns.size(); ++i)
        SetGridColumn(grid, columns[i].caption, columns[i].field, StoredWidth(section, columns[i]), i);
}

bool SaveWidths(const DataGrid *grid, const QString &section)
{
    // One write for all the columns: a full disk stores none of them and says so once.
    QList<std::pair<QString, QString>> widths;
    const QList<ColumnSpec> &columns = Columns();
    for (int i = 0; i < columns.size(); ++i)
        widths.append({columns[i].field, QString::number(grid->column(i).width)});
    return WriteSettings(section, widths);
}

bool SaveDefaultWidths(const QString &section)
{
    QList<std::pair<QString, QString>> widths;
    for (const ColumnSpec &column : Columns())
        widths.append({column.field, QString::number(column.width)});
    return WriteSettings(section, widths);
}

bool IsRedAmount(double amount)
{
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double whole = std::nearbyint(amount);
    std::fesetround(savedMode);
    return whole < 0;
}

void AttachCellRules(DataGrid *grid)
{
    grid->setProperty(WidestTextProperty, QVariant::fromValue(QList<int>()));
    grid->setBeforeDrawCell([grid](const CellInfo &cell, QColor &color) {
        if (cell.field == QLatin1String("MoneySum") && !cell.value.isNull()
            && IsRedAmount(cell.value.toDouble()))
            color = Qt::red;
        QList<int> widest = widestTexts(grid);
        if (cell.column >= widest.size())
            widest.resize(cell.column + 1);
        const int textWidth = QFontMetrics(grid->font()).horizontalAdvance(cell.displayText);
        if (textWidth > widest[cell.column]) {
            widest[cell.column] = textWidth + TextMargin;
            grid->setProperty(WidestTextProperty, QVariant::fromValue(widest));
        }
    });
    QObject::connect(grid, &DataGrid::titleClicked, grid, [grid](int column) {
        const int remembered = RememberedWidth(grid, column);
        if (grid->horizontalHeader()->sectionSize(column) < remembered)
            grid->horizontalHeader()->resizeSection(column, remembered);
    });
}

int RememberedWidth(const DataGrid *grid, int position)
{
    return widestTexts(grid).value(position);
}

} // namespace MoneyGrid
