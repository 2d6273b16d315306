#include "receivables/ReceivablesPage.h"

#include "journal/EntryRules.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "receivables/GetPayForm2.h"
#include "receivables/GetPayForm3.h"
#include "receivables/GetPayRules.h"
#include "reports/GridExport.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/DataGrid.h"
#include "widgets/FormParts.h"
#include "widgets/StatementRows.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QToolButton>

namespace {

// The object names and the right that tell the two halves apart.
struct ViewNames {
    QString kind;
    const char *grid;
    const char *radios[3];
    const char *findAction;
    const char *findButton;
    const char *printAction;
    const char *printButton;
    const char *newAction;
    const char *newButton;
    const char *editAction;
    const char *editButton;
    const char *deleteAction;
    const char *deleteButton;
    const char *exportAction;
    const char *exportButton;
    bool SessionValues::*newRight;
};

const ViewNames &namesFor(int which)
{
    static const ViewNames names[2] = {
        {EntryTexts::Receivable, "DBGridEh3", {"RadioButton1", "RadioButton2", "RadioButton3"},
            "ActionFindGet", "ButtonFindGet", "ActionPrintGet", "ButtonPrintGet", "ActionNewGet",
            "SpeedButton5", "ActionEditGet", "SpeedButton6", "ActionDeleteGet", "SpeedButton7",
            "ActionGetToExcel", "SpeedButton1", &SessionValues::RightIncome},
        {EntryTexts::Payable, "DBGridEh4", {"RadioButton4", "RadioButton5", "RadioButton6"}, "ActionFindPay",
            "ButtonFindPay", "ActionPrintPay", "ButtonPrintPay", "ActionNewPay", "SpeedButton8",
            "ActionEditPay", "SpeedButton9", "ActionDeletePay", "SpeedButton10", "ActionPayToExcel",
            "SpeedButton2", &SessionValues::RightExpense},
    };
    return names[which];
}

constexpr GetPayMode Modes[3] = {GetPayMode::Detail, GetPayMode::ByCustomer, GetPayMode::ByDate};

// Sets column number position of the grid: field, caption and width, centred, with its footer.
void SetGetPayColumn(DataGrid *grid, const QString &caption, const QString &field, int width, int position)
{
    GridColumn column = GridColumn::make(field, caption, width, GetPayFooter(field), Qt::AlignCenter);
    if (field == QLatin1String("GetPayTime"))
        column.format = ShortDateCell;
    grid->setColumn(position, column);
}

void showCommand(QAction *action, QWidget *button, bool shown)
{
    action->setVisible(shown);
    action->setEnabled(shown);
    button->setVisible(shown);
}

} // namespace

// One half of the page: a grid with its display modes and commands, for one kind.
class ReceivablesPage::GetPayView
{
public:
    // The grid and its commands go into area, from top down; the export button onto the page.
    GetPayView(ReceivablesPage *page, QWidget *area, int top, int exportTop, const ViewNames &names,
        TFormGetPay2 *recordDialog, TFormGetPay3 *filterDialog);

    void selectRecordMode();
    void refresh();
    // After each layout: the commands beside the grid keep their distance from its right edge
    // as the grid widens; where the layout's place for the export button, brought inside a
    // narrow page, would lie over the find or print button, it takes the free place under the
    // print button instead.
    void placeCommands();

private:
    void newRecord();
    void editRecord();
    void deleteRecord();
    void findRecords();
    void printRecords();
    // The current row's GetPayIndex, null when there is no row (or a grouped row).
    QVariant currentRecord() const;

    ReceivablesPage *page;
    const ViewNames &names;
    TFormGetPay2 *recordDialog;
    TFormGetPay3 *filterDialog;
    GetPayMode mode = GetPayMode::Detail;
    // The mode of the rows the grid holds, which its print follows.
    GetPayMode shownMode = GetPayMode::Detail;

    DataGrid *grid = nullptr;
    QRadioButton *radios[3] = {};
    QAction *newAction = nullptr;
    QAction *editAction = nullptr;
    QAction *deleteAction = nullptr;
    QToolButton *newButton = nullptr;
    QToolButton *editButton = nullptr;
    QToolButton *deleteButton = nullptr;
    QToolButton *findButton = nullptr;
    QToolButton *printButton = nullptr;
    QToolButton *exportButton = nullptr;
    // The commands beside the grid, at their places for the narrowest grid.
    QList<QPair<QWidget *, QPoint>> besideGrid;
};

ReceivablesPage::GetPayView::GetPayView(ReceivablesPage *page, QWidget *area, int top, int exportTop,
    const ViewNames &names, TFormGetPay2 *recordDialog, TFormGetPay3 *filterDialog)
    : page(page), names(names), recordDialog(recordDialog), filterDialog(filterDialog)
{
    grid = new DataGrid(area);
    grid->setObjectName(QString::fromLatin1(names.grid));
    grid->setAccessibleName(names.kind + QStringLiteral("记录"));
    grid->setGeometry(8, top, 418, 213);

    auto action = [page](const char *name, const char *text) {
        return NewAction(page, name, QString::fromUtf8(text));
    };
    newAction = action(names.newAction, "新增记录");
    editAction = action(names.editAction, "修改记录");
    deleteAction = action(names.deleteAction, "删除记录");
    QAction *findAction = action(names.findAction, "查找记录");
    QAction *printAction = action(names.printAction, "打印记录");
    newButton = MakeToolButton(area, names.newButton, newAction, QRect(436, top, 100, 26));
    editButton = MakeToolButton(area, names.editButton, editAction, QRect(436, top + 32, 100, 26));
    deleteButton = MakeToolButton(area, names.deleteButton, deleteAction, QRect(436, top + 64, 100, 26));
    findButton = MakeToolButton(area, names.findButton, findAction, QRect(544, top, 100, 26));
    printButton = MakeToolButton(area, names.printButton, printAction, QRect(544, top + 32, 100, 26));
    QAction *exportAction = action(names.exportAction, "导出");
    exportButton = MakeToolButton(page, names.exportButton, exportAction, QRect(665, exportTop, 48, 26));
    // Both halves have buttons of the same texts; a screen reader tells them apart by this.
    for (QToolButton *button : {newButton, editButton, deleteButton, findButton, printButton, exportButton})
        button->setAccessibleDescription(grid->accessibleName());

    auto *modes = new QGroupBox(QStringLiteral("记录显示方式"), area);
    modes->setGeometry(436, top + 100, 208, 104);
    for (QWidget *w : std::initializer_list<QWidget *> {
             newButton, editButton, deleteButton, findButton, printButton, modes})
        besideGrid.append({w, w->pos()});
    const char *captions[3] = {"按记录显示", "按客户显示", "按日期显示"};
    for (int i = 0; i < 3; ++i) {
        radios[i] = new QRadioButton(QString::fromUtf8(captions[i]), modes);
        radios[i]->setObjectName(QString::fromLatin1(names.radios[i]));
        radios[i]->setGeometry(12, 22 + 26 * i, 180, 22);
        const GetPayMode m = Modes[i];
        QObject::connect(radios[i], &QRadioButton::toggled, page, [this, m](bool on) {
            if (!on)
                return;
            mode = m;
            refresh();
        });
    }

    QObject::connect(newAction, &QAction::triggered, page, [this] { newRecord(); });
    QObject::connect(editAction, &QAction::triggered, page, [this] { editRecord(); });
    QObject::connect(deleteAction, &QAction::triggered, page, [this] { deleteRecord(); });
    QObject::connect(findAction, &QAction::triggered, page, [this] { findRecords(); });
    QObject::connect(printAction, &QAction::triggered, page, [this] { printRecords(); });
    QObject::connect(exportAction, &QAction::triggered, page, [this] {
        this->page->BringUpToDate();
        ExportGridToExcel(grid);
    });
    // A double click edits in detail mode; a grouped row is no record.
    QObject::connect(grid, &DataGrid::gridDoubleClicked, page, [this] {
        if (mode == GetPayMode::Detail)
            editRecord();
    });
}

void ReceivablesPage::GetPayView::placeCommands()
{
    // 10 pixels from the grid, as at the narrowest layout.
    const int shift = grid->geometry().right() + 1 + 10 - besideGrid.first().second.x();
    for (const auto &[widget, designed] : std::as_const(besideGrid))
        widget->move(designed + QPoint(shift, 0));

    const auto onPage = [this](const QWidget *w) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); };
    const QRect print = onPage(printButton);
    const QRect underPrint = print.translated(0, print.height() + 6);
    const bool covers = exportButton->geometry().intersects(onPage(findButton))
        || exportButton->geometry().intersects(print);
    if (covers && page->rect().contains(underPrint))
        exportButton->setGeometry(underPrint);
}

void ReceivablesPage::GetPayView::selectRecordMode()
{
    const QSignalBlocker quiet(radios[0]);
    radios[0]->setChecked(true);
    mode = GetPayMode::Detail;
    refresh();
}

void ReceivablesPage::GetPayView::refresh()
{
    const SessionValues &s = Session();
    const Sql filter = filterDialog ? filterDialog->filterFor(names.kind) : Sql();
    grid->clearColumns();
    if (!RunGridQuery(grid, GetPayGridStatement(names.kind, mode, s.GetPayOwnerFilter, filter),
            Texts::DatabaseOpenFailed))
        return;
    shownMode = mode;
    const QList<GetPayColumnSpec> columns = GetPayColumns(names.kind, mode);
    for (int i = 0; i < columns.size(); ++i)
        SetGetPayColumn(grid, columns[i].caption, columns[i].field, columns[i].width, i);
    const bool detail = mode == GetPayMode::Detail;
    showCommand(newAction, newButton, detail && s.*(names.newRight));
    showCommand(editAction, editButton, detail && s.RightEdit);
    showCommand(deleteAction, deleteButton, detail && s.RightEdit);
}

QVariant ReceivablesPage::GetPayView::currentRecord() const
{
    page->BringUpToDate();
    return grid->isOpen() ? grid->value(QStringLiteral("GetPayIndex")) : QVariant();
}

void ReceivablesPage::GetPayView::newRecord()
{
    if (mode != GetPayMode::Detail || !recordDialog)
        return;
    recordDialog->Request = RecordRequest {.RecordMode = EntryTexts::ModeNew, .RecordKind = names.kind};
    Platform::ShowModal(recordDialog);
    if (recordDialog->RecordChanged)
        refresh();
}

void ReceivablesPage::GetPayView::editRecord()
{
    if (mode != GetPayMode::Detail || !recordDialog)
        return;
    const QVariant index = currentRecord();
    if (index.isNull()) {
        Platform::ShowMessage(GetPayTexts::SelectToEdit);
        return;
    }
    recordDialog->Request = RecordRequest {.RecordMode = EntryTexts::ModeEdit,
        .RecordKind = grid->value(QStringLiteral("GetPayKind")).toString(),
        .RecordIndex = index.toLongLong()};
    Platform::ShowModal(recordDialog);
    if (recordDialog->RecordChanged)
        refresh();
    grid->selectRowWithKey(QStringLiteral("GetPayIndex"), index);
}

void ReceivablesPage::GetPayView::deleteRecord()
{
    if (mode != GetPayMode::Detail)
        return;
    const QVariant index = currentRecord();
    if (index.isNull()) {
        Platform::ShowMessage(GetPayTexts::SelectToDelete);
        return;
    }
    if (!Platform::AskYesNo(GetPayTexts::DeleteQuestion, GetPayTexts::DeleteCaption))
        return;
    Query linked;
    if (!RunQuery(linked,
            Sql("Select Count(*) As N From MoneyTable Where MoneyGetPay = ") + Sql::value(index),
            Texts::DatabaseOpenFailed))
        return;
    const bool withEntries = linked.integer(QStringLiteral("N")) > 0
        && Platform::AskYesNo(LinkedEntriesQuestion(names.kind), GetPayTexts::DeleteChoiceCaption);
    // Entries kept keep their MoneyGetPay and stay ordinary entries of their accounts.
    if (!DeleteGetPayRecord(index.toLongLong(), withEntries))
        return;
    if (withEntries)
        ShareDataModule->RequestRefreshAll(); // balances changed
    else
        refresh();
}

void ReceivablesPage::GetPayView::findRecords()
{
    if (!filterDialog)
        return;
    filterDialog->Request = FilterRequest {.FilterKind = names.kind};
    if (Platform::ShowModal(filterDialog) == QDialog::Accepted)
        refresh();
}

void ReceivablesPage::GetPayView::printRecords()
{
    page->BringUpToDate();
    if (!grid->isOpen())
        return;
    // The grid's rows as they stand: same statement, filter and mode, read page by page.
    const auto rows = StatementRows::open(grid->statement(), Texts::DatabaseOpenFailed);
    if (!rows)
        return;
    PrintReport(ReportTemplatePath(GetPayTemplate(names.kind, shownMode)), rows, {}, page);
}

ReceivablesPage::ReceivablesPage(TFormGetPay2 *recordDialog, TFormGetPay3 *filterDialog, QWidget *parent)
    : MainPage(QStringLiteral("应收应付"), QStringLiteral("TabSheet3"), parent)
{
    auto *panelPay = new QFrame(this);
    panelPay->setObjectName(QStringLiteral("PanelPay"));
    panelPay->setGeometry(0, 240, 663, 275);
    auto *bevel = new QFrame(panelPay);
    bevel->setObjectName(QStringLiteral("Bevel6"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 2, 640, 4);

    views[GetPayGridReceivables]
        = std::make_unique<GetPayView>(this, this, 8, 20, namesFor(0), recordDialog, filterDialog);
    views[GetPayGridPayables]
        = std::make_unique<GetPayView>(this, panelPay, 12, 260, namesFor(1), recordDialog, filterDialog);
}

ReceivablesPage::~ReceivablesPage() = default;

void ReceivablesPage::SelectGetPayRecordMode()
{
    for (const auto &view : views)
        view->selectRecordMode();
}

void ReceivablesPage::RefreshGetPayGrids(int which)
{
    if (which == GetPayGridReceivables || which == GetPayGridBoth)
        views[GetPayGridReceivables]->refresh();
    if (which == GetPayGridPayables || which == GetPayGridBoth)
        views[GetPayGridPayables]->refresh();
}

void ReceivablesPage::Refresh()
{
    RefreshGetPayGrids(GetPayGridBoth);
}

void ReceivablesPage::FitControls()
{
    MainPage::FitControls();
    for (const std::unique_ptr<GetPayView> &view : views)
        if (view)
            view->placeCommands();
}
