#pragma once

// The analysis dialog "报表数据分析": the entries of the current report totalled by one
// classifying column, shown as a pie or bar chart of at most 20 groups and as a grid of every
// group with its income, expense and net sums. The three choice lists keep their choices for
// the whole run; each opening takes a fresh copy of the report condition.

#include "storage/Query.h"
#include "storage/Sql.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class ChartView;
class DataGrid;
class QComboBox;
class QLabel;
class QShowEvent;

namespace Cake {

// One of the six analyses: its list text, icon file, grouping column and the message of a
// failing chart query.
struct Analysis {
    QString name;
    QString iconFile;
    QString column;
    QString failMessage;
};

const QList<Analysis> &Analyses();
// The analysis of that list text, or null.
const Analysis *FindAnalysis(const QString &name);
const QStringList &RestrictionChoices();
const QStringList &ChartKinds();
// " And (MoneyKind = …)" for "仅统计收入" and "仅统计支出", empty otherwise.
Sql Restriction(const QString &choice);

// Group totals by the analysis's column, largest net sum first; the reserved account row is
// left out of the account chart only.
Sql ChartSql(const Analysis &analysis, const Sql &accountBookFilter, const Sql &moneyOwnerFilter,
    const Sql &chartCondition, const Sql &restriction);
Sql GridSql(const Analysis &analysis, const Sql &accountBookFilter, const Sql &moneyOwnerFilter,
    const Sql &chartCondition, const Sql &restriction);

struct ChartPoint {
    double value;
    QString label;
};
// The points of the chart query's rows: zero sums skipped, at most 20 taken in row order.
QList<ChartPoint> ChartPoints(const Query &rows, const QString &column);
inline constexpr int MaxChartPoints = 20;

} // namespace Cake

class TFormCake : public QDialog
{
    Q_OBJECT
public:
    explicit TFormCake(QWidget *parent = nullptr);

    // The report condition this opening totals; the opener copies ReportCondition in.
    Sql ChartCondition;

    // Rebuilds chart and grid from the three lists.
    void RefreshAnalysis();

    ChartView *chart() const { return chartView; }
    DataGrid *grid() const { return dataGrid; }
    // The icon file of the analysis shown (relative to the program folder).
    QString iconFile() const { return shownIcon; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionToBmpExecute();
    void ActionPrintExecute();

    QComboBox *analysisChoice = nullptr; // ComboBox1
    QComboBox *kindChoice = nullptr; // ComboBox2
    QComboBox *restrictionChoice = nullptr; // ComboBox3
    QLabel *image = nullptr; // Image1
    ChartView *chartView = nullptr; // Chart1
    DataGrid *dataGrid = nullptr; // DBGridEh1
    QString shownIcon;
};
