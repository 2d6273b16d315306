#include "widgets/DataGrid.h"

#include "platform/Seams.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

// The footer row: one cell under each column, drawn at the column's place in the header, so
// it follows resizing and horizontal scrolling.
class GridFooterBar : public QWidget
{
public:
    explicit GridFooterBar(DataGrid *grid) : QWidget(grid), grid(grid)
    {
        setAccessibleName(QStringLiteral("表尾合计行"));
        setAutoFillBackground(false);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            // The whole text of a footer cell that is too narrow for it.
            auto *help = static_cast<QHelpEvent *>(event);
            const QHeaderView *header = grid->horizontalHeader();
            const int logical = header->logicalIndexAt(help->pos().x());
            const QString text = logical >= 0 ? grid->footerText(logical) : QString();
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        return QWidget::event(event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        const QHeaderView *header = grid->horizontalHeader();
        const QColor line = palette().color(QPalette::Mid);
        p.setPen(line);
        p.drawLine(0, 0, width(), 0);
        p.setFont(grid->font());
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (header->isSectionHidden(logical))
                continue;
            const QRect cell(
                header->sectionViewportPosition(logical), 0, header->sectionSize(logical), height());
            if (cell.right() < 0 || cell.left() > width())
                continue;
            p.setPen(line);
            p.drawLine(cell.right(), 0, cell.right(), height());
            const QString text = grid->footerText(logical);
            if (text.isEmpty())
                continue;
            p.setPen(grid->footerColor(logical));
            const GridFooter f = grid->gridModel()->footer(logical);
            const QRect inner = cell.adjusted(3, 1, -4, 0);
            // Too long for its column: cut at the end like the cells, so the start stays readable.
            const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, inner.width());
            p.save();
            p.setClipRect(cell.adjusted(0, 1, -1, 0));
            p.drawText(inner, int(f.alignment), shown);
            p.restore();
        }
    }

private:
    DataGrid *grid;
};

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    dataModel = new DataGridModel(this);
    setModel(dataModel);
    rowSource = std::make_unique<GridRows>(*dataModel);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    showSelectionWhenInactive();
    // The default column widths were made for a table font of this size: at it the usual texts
    // (工商银行基本户, SR26070101) fit their columns whatever the screen's resolution. The rest of
    // the window keeps its own font.
    QFont cells = font();
    cells.setPixelSize(CellFontPixels);
    setFont(cells);

    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    footer = new GridFooterBar(this);

    connect(titles, &QHeaderView::sectionClicked, this, &DataGrid::titleClicked);
    connect(titles, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        // A hidden section shrinks to 0; that is not a width to keep.
        if (!applyingLayout && size > 0)
            dataModel->rememberWidth(logical, size);
        footer->update();
    });
    connect(titles, &QHeaderView::sectionMoved, footer, qOverload<>(&QWidget::update));
    connect(titles, &QHeaderView::geometriesChanged, footer, qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, footer, qOverload<>(&QWidget::update));
    connect(dataModel, &DataGridModel::footersChanged, footer, qOverload<>(&QWidget::update));
    // After the view's own reset handling (connected in setModel), so that ours comes last.
    connect(dataModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (!goingToTop && currentRow() >= 0)
            rowToRestore = currentRow();
    });
    connect(dataModel, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnLayout();
        restoreCurrentRow();
    });
    connect(dataModel, &QAbstractItemModel::columnsInserted, this, [this] {
        applyColumnLayout();
        restoreCurrentRow();
    });
    connect(dataModel, &QAbstractItemModel::headerDataChanged, this, [this] { applyColumnLayout(); });
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
            if (current.isValid())
                rowToRestore = current.row();
        });
}

DataGrid::~DataGrid() = default;

bool DataGrid::open(const Sql &statement, QString *error)
{
    rowBeforeRun = currentRow();
    goingToTop = true;
    rowToRestore = 0;
    const bool ok = dataModel->open(statement, error);
    goingToTop = false;
    restoreCurrentRow();
    return ok;
}

bool DataGrid::refresh(QString *error)
{
    rowBeforeRun = currentRow();
    goingToTop = true;
    rowToRestore = 0;
    const bool ok = dataModel->refresh(error);
    goingToTop = false;
    restoreCurrentRow();
    return ok;
}

void DataGrid::close()
{
    dataModel->close();
}

bool DataGrid::isOpen() const
{
    return dataModel->isOpen();
}

const Sql &DataGrid::statement() const
{
    return dataModel->statement();
}

void DataGrid::setColumns(const QList<GridColumn> &columns)
{
    dataModel->setColumns(columns);
}

void DataGrid::setColumn(int position, const GridColumn &column)
{
    dataModel->setColumn(position, column);
    applyColumnLayout();
}

void DataGrid::clearColumns()
{
    dataModel->clearColumns();
}

int DataGrid::columnCount() const
{
    return dataModel->columnCount();
}

GridColumn DataGrid::column(int position) const
{
    return dataModel->column(position);
}

void DataGrid::setColumnVisible(int position, bool visible)
{
    dataModel->rememberVisible(position, visible);
    setColumnHidden(position, !visible);
    footer->update();
}

int DataGrid::rowCount() const
{
    return dataModel->totalRows();
}

int DataGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int DataGrid::firstVisibleColumn() const
{
    const QHeaderView *titles = horizontalHeader();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (!titles->isSectionHidden(logical))
            return logical;
    }
    return dataModel->columnCount() > 0 ? 0 : -1;
}

void DataGrid::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    int column = currentIndex().isValid() ? currentIndex().column() : firstVisibleColumn();
    if (column < 0)
        return;
    const QModelIndex index = dataModel->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

void DataGrid::restoreCurrentRow()
{
    if (currentIndex().isValid()) {
        // Columns set after the row was chosen join its selection: the whole row shows selected.
        selectionModel()->select(
            currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    if (rowCount() == 0)
        return;
    setCurrentRow(qBound(0, rowToRestore, rowCount() - 1));
}

QVariant DataGrid::value(const QString &field) const
{
    const int row = currentRow();
    return row < 0 ? QVariant() : dataModel->value(row, field);
}

QVariant DataGrid::value(int row, const QString &field) const
{
    return dataModel->value(row, field);
}

QString DataGrid::displayText(int row, int column) const
{
    return dataModel->displayText(row, column);
}

bool DataGrid::selectRowWithKey(const QString &field, const QVariant &value)
{
    const int row = dataModel->findRow(field, value, rowBeforeRun);
    if (row < 0)
        return false;
    setCurrentRow(row);
    return true;
}

void DataGrid::setFooterVisible(bool visible)
{
    footerShown = visible;
    updateGeometries();
}

QString DataGrid::footerText(int column) const
{
    return dataModel->footerText(column);
}

QColor DataGrid::footerColor(int column) const
{
    return dataModel->footer(column).color;
}

QWidget *DataGrid::footerBar() const
{
    return footer;
}

void DataGrid::setBeforeDrawCell(CellColorCallback callback)
{
    dataModel->setDefaultTextColor(palette().color(QPalette::Text));
    dataModel->setCellColorCallback(std::move(callback));
    viewport()->update();
}

void DataGrid::showSelectionWhenInactive()
{
    // The current row is the row every command acts on: it shows as selected whether or not the
    // grid has the focus, not only after a click into it.
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

void DataGrid::applyColumnLayout()
{
    applyingLayout = true;
    const QList<GridColumn> &columns = dataModel->columns();
    for (int c = 0; c < columns.size() && c < horizontalHeader()->count(); ++c) {
        if (horizontalHeader()->sectionSize(c) != columns[c].width)
            horizontalHeader()->resizeSection(c, qMax(0, columns[c].width));
        if (isColumnHidden(c) == columns[c].visible)
            setColumnHidden(c, !columns[c].visible);
    }
    applyingLayout = false;
    footer->update();
}

int DataGrid::footerHeight() const
{
    return fontMetrics().height() + 8;
}

void DataGrid::updateGeometries()
{
    if (!footer) { // still in the constructor
        QTableView::updateGeometries();
        return;
    }
    if (inGeometryUpdate)
        return;
    inGeometryUpdate = true;
    // The table view lays out its headers and sets the scroll ranges for a viewport without the
    // footer's strip, for it resets the viewport margins. The ranges are set again for the strip
    // before the margins take it back: laying out the scroll bars in between with the table
    // view's ranges would hide a bar that ours shows again, without end.
    QScrollBar *rowsBar = verticalScrollBar();
    QScrollBar *columnsBar = horizontalScrollBar();
    const int rowsAt = rowsBar->value();
    const int columnsAt = columnsBar->value();
    QTableView::updateGeometries();
    const int height = footerShown ? footerHeight() : 0;
    if (height > 0) {
        fitScrollRanges(height);
        rowsBar->setValue(rowsAt);
        columnsBar->setValue(columnsAt);
    }
    const QMargins margins = viewportMargins();
    if (margins.bottom() != height)
        setViewportMargins(margins.left(), margins.top(), margins.right(), height);
    if (height > 0) {
        const QRect area = viewport()->geometry();
        footer->setGeometry(area.left(), area.bottom() + 1, area.width(), height);
        // The row header (hidden or not) measures the last page with its own height, and
        // places the rows for the scroll bar again at that height: the table view placed them
        // for the taller strip, which would leave the last row under the footer.
        QHeaderView *rowsHeader = verticalHeader();
        const QRect rowsPlace = rowsHeader->geometry();
        rowsHeader->setGeometry(rowsPlace.left(), area.top(), rowsPlace.width(), area.height());
        if (rowsHeader->isHidden() && rowsPlace.size() != rowsHeader->size()) {
            // Hidden, it lays out its own viewport, which it measures with, only on a resize event.
            QResizeEvent resized(rowsHeader->size(), rowsPlace.size());
            QCoreApplication::sendEvent(rowsHeader, &resized);
        }
        if (verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
            if (rowsBar->maximum() > 0 && rowsBar->value() == rowsBar->maximum())
                rowsHeader->setOffsetToLastSection();
            else
                rowsHeader->setOffsetToSectionPosition(rowsBar->value());
            viewport()->update();
        }
        footer->show();
        footer->update();
    } else {
        footer->hide();
    }
    inGeometryUpdate = false;
}

void DataGrid::fitScrollRanges(int footerStrip)
{
    // The table view's own rule, for the viewport that the footer's strip leaves: when every row
    // and column fits without scroll bars, none is needed; otherwise the viewport as the bars
    // shown now leave it decides.
    const QMargins margins = viewportMargins();
    const int stripNow = footerStrip - margins.bottom();
    const QHeaderView *rowsHeader = verticalHeader();
    const QHeaderView *columnsHeader = horizontalHeader();
    QSize area = maximumViewportSize() - QSize(0, stripNow);
    if (area.width() < columnsHeader->length() || area.height() < rowsHeader->length())
        area = viewport()->size() - QSize(0, stripNow);

    QScrollBar *columnsBar = horizontalScrollBar();
    if (horizontalScrollMode() == QAbstractItemView::ScrollPerPixel) {
        columnsBar->setPageStep(area.width());
        columnsBar->setRange(0, qMax(0, columnsHeader->length() - area.width()));
    }

    QScrollBar *rowsBar = verticalScrollBar();
    if (verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        const int rows = rowsHeader->count();
        int fitting = 0;
        for (int used = 0, visual = rows - 1; visual >= 0; --visual) {
            const int logical = rowsHeader->logicalIndex(visual);
            if (rowsHeader->isSectionHidden(logical))
                continue;
            used += rowsHeader->sectionSize(logical);
            if (used > area.height())
                break;
            ++fitting;
        }
        fitting = qMax(fitting, 1);
        const int visibleRows = rows - rowsHeader->hiddenSectionCount();
        rowsBar->setPageStep(fitting);
        rowsBar->setRange(0, qMax(0, visibleRows - fitting));
    } else {
        rowsBar->setPageStep(area.height());
        rowsBar->setRange(0, qMax(0, rowsHeader->length() - area.height()));
    }
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    emit gridDoubleClicked(rowAt(at.y()), columnAt(at.x()));
}

void DataGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        updateGeometries();
    } else if (event->type() == QEvent::PaletteChange) {
        dataModel->setDefaultTextColor(palette().color(QPalette::Text));
        if (palette().color(QPalette::Inactive, QPalette::Highlight)
            != palette().color(QPalette::Active, QPalette::Highlight))
            showSelectionWhenInactive();
    }
}

bool RunGridQuery(DataGrid *grid, const Sql &sql, const QString &failMessage)
{
    if (!grid->open(sql)) {
        Platform::ShowMessage(failMessage);
        return false;
    }
    return true;
}
