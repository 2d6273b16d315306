#pragma once

// The "报表中心" tab: the entries that the report builder's conditions admit, sorted as chosen,
// with the money grid's columns and footers; the builder, the print, editing an entry from the
// list and the saved column widths. The analysis, export and daily statistics buttons are placed
// here for their own commands.

#include "widgets/MainPage.h"

class DataGrid;
class QAction;
class QComboBox;
class TFormCake;
class TFormGetPay;
class TFormMakeReport;

class ReportsPage : public MainPage
{
    Q_OBJECT
public:
    ReportsPage(TFormMakeReport *builder, TFormGetPay *entryForm, TFormCake *analysis = nullptr,
        QWidget *parent = nullptr);

    // True once the report grid has run: RefreshAll refreshes it only then.
    bool reportOpen() const;
    // RefreshMoneyGrid with the report grid: the session's report condition in the chosen order.
    void Refresh() override;

    DataGrid *grid() const { return reportGrid; }

private:
    void makeReport();
    void printReport();
    void editEntry();
    void showAnalysis();
    void saveColumnWidths();
    void restoreColumnWidths();

    TFormMakeReport *builder;
    TFormGetPay *entryForm;
    TFormCake *analysis;
    QComboBox *sortChoice = nullptr; // ComboBox3
    DataGrid *reportGrid = nullptr; // DBGridEh2 over ADOQueryReportGrid
};
