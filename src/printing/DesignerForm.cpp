#include "printing/DesignerForm.h"

#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "storage/ShareDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString SaveCaption = QStringLiteral("保存确认");
const QString FrfFilter = QStringLiteral("报表模板 (*.frf)");
} // namespace

TFormDesigner::TFormDesigner(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormDesigner"));
    setWindowTitle(QStringLiteral("单据设计"));
    resize(1100, 720);

    templateList = new QListWidget(this);
    templateList->setObjectName(QStringLiteral("TemplateList"));
    templateList->setAccessibleName(QStringLiteral("报表模板列表"));
    auto *listLabel = new QLabel(QStringLiteral("报表模板(&L)"), this);
    listLabel->setBuddy(templateList);

    editor = new QPlainTextEdit(this);
    editor->setObjectName(QStringLiteral("TemplateEditor"));
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setTabChangesFocus(false);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setFamilies({QStringLiteral("WenQuanYi Micro Hei Mono"), mono.family()});
    editor->setFont(mono);
    fileLabel = new QLabel(QStringLiteral("模板内容(&E)"), this);
    fileLabel->setBuddy(editor);

    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("CheckStatus"));
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    pagePicture = new QLabel(this);
    pagePicture->setObjectName(QStringLiteral("PagePicture"));
    pagePicture->setAccessibleName(QStringLiteral("第一页的样张"));
    pagePicture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    pagePicture->setMinimumWidth(300);

    checkButton = new QPushButton(QStringLiteral("检查(&C)"), this);
    checkButton->setObjectName(QStringLiteral("CheckButton"));
    saveButton = new QPushButton(QStringLiteral("保存(&S)"), this);
    saveButton->setObjectName(QStringLiteral("SaveButton"));
    saveAsButton = new QPushButton(QStringLiteral("另存为(&A)"), this);
    saveAsButton->setObjectName(QStringLiteral("SaveAsButton"));
    previewButton = new QPushButton(QStringLiteral("预览(&P)"), this);
    previewButton->setObjectName(QStringLiteral("PreviewButton"));
    closeButton = new QPushButton(QStringLiteral("关闭"), this);
    closeButton->setObjectName(QStringLiteral("CloseButton"));

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(listLabel);
    leftLayout->addWidget(templateList);
    auto *middle = new QWidget(this);
    auto *middleLayout = new QVBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->addWidget(fileLabel);
    middleLayout->addWidget(editor, 1);
    middleLayout->addWidget(statusLabel);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(middle);
    splitter->addWidget(pagePicture);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({180, 600, 320});

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(checkButton);
    buttons->addWidget(previewButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(saveAsButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    liveTimer = new QTimer(this);
    liveTimer->setSingleShot(true);
    liveTimer->setInterval(400);
    connect(liveTimer, &QTimer::timeout, this, &TFormDesigner::updateLivePreview);
    connect(editor, &QPlainTextEdit::textChanged, liveTimer, qOverload<>(&QTimer::start));
    connect(editor, &QPlainTextEdit::textChanged, this,
        [this] { saveButton->setEnabled(isModified() && !currentFile.isEmpty()); });
    connect(templateList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const QString path = templateList->item(row)->data(Qt::UserRole).toString();
        if (path != currentFile && !openTemplate(path))
            selectListItem(currentFile);
    });
    connect(checkButton, &QPushButton::clicked, this, [this] { checkTemplate(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveTemplate(); });
    connect(saveAsButton, &QPushButton::clicked, this, [this] { saveTemplateAs(); });
    connect(previewButton, &QPushButton::clicked, this, &TFormDesigner::previewTemplate);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    saveButton->setEnabled(false);
}

void TFormDesigner::setFolder(const QString &folder)
{
    const QString cleaned = QDir::cleanPath(folder);
    if (cleaned != folderPath) {
        folderPath = cleaned;
        currentFile.clear();
        savedText.clear();
        editor->clear();
    }
    reloadList();
}

bool TFormDesigner::isModified() const
{
    return editor->toPlainText() != savedText;
}

void TFormDesigner::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    reloadList();
    if (currentFile.isEmpty() && templateList->count() > 0)
        openTemplate(templateList->item(0)->data(Qt::UserRole).toString());
}

void TFormDesigner::reloadList()
{
    const QSignalBlocker blocker(templateList);
    templateList->clear();
    const QDir dir(folderPath);
    const QStringList names
        = dir.entryList({QStringLiteral("*.frf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, templateList);
        item->setData(Qt::UserRole, dir.filePath(name));
    }
    selectListItem(currentFile);
}

void TFormDesigner::selectListItem(const QString &path)
{
    const QSignalBlocker blocker(templateList);
    templateList->setCurrentRow(-1);
    for (int i = 0; i < templateList->count(); ++i)
        if (templateList->item(i)->data(Qt::UserRole).toString() == path)
            templateList->setCurrentRow(i);
}

bool TFormDesigner::askToSave()
{
    if (!isModified())
        return true;
    const QString question
        = QStringLiteral("模板“") + QFileInfo(currentFile).fileName() + QStringLiteral("”已修改，是否保存？");
    if (!Platform::AskYesNo(question, SaveCaption)) {
        savedText = editor->toPlainText();
        return true;
    }
    return saveTemplate();
}

bool TFormDesigner::openTemplate(const QString &path)
{
    if (!askToSave())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Platform::ShowMessage(ReportTexts::missingFile(path));
        return false;
    }
    currentFile = path;
    editor->setPlainText(QString::fromUtf8(file.readAll()));
    savedText = editor->toPlainText();
    fileLabel->setText(QStringLiteral("模板内容(&E)：") + QFileInfo(path).fileName());
    selectListItem(path);
    updateLivePreview();
    return true;
}

bool TFormDesigner::checkTemplate(bool quiet)
{
    ReportEngine engine;
    QString error;
    const bool ok = engine.loadTemplateText(editor->toPlainText().toUtf8(), currentFile, &error)
        && engine.prepare(&error);
    if (!quiet)
        Platform::ShowMessage(ok ? QStringLiteral("模板检查通过：") + currentFile : error);
    return ok;
}

bool TFormDesigner::writeFile(const QString &path)
{
    // Written whole or not at all: a full disk must not leave an empty template behind.
    const int error = Platform::WriteFileWhole(path, editor->toPlainText().toUtf8());
    if (error != 0) {
        Platform::ShowMessage(QStringLiteral("模板保存失败：") + path + QStringLiteral("，失败号为：")
            + Platform::ErrorNumberText(error));
        return false;
    }
    return true;
}

bool TFormDesigner::saveTemplate()
{
    if (currentFile.isEmpty())
        return saveTemplateAs();
    ReportEngine engine;
    QString error;
    if (!engine.loadTemplateText(editor->toPlainText().toUtf8(), currentFile, &error)) {
        Platform::ShowMessage(error + QStringLiteral("\n模板有错误，没有保存。"));
        return false;
    }
    if (!writeFile(currentFile))
        return false;
    savedText = editor->toPlainText();
    saveButton->setEnabled(false);
    Platform::ShowMessage(QStringLiteral("模板保存成功：") + currentFile);
    return true;
}

bool TFormDesigner::saveTemplateAs()
{
    ReportEngine engine;
    QString error;
    const QString shownPath = currentFile.isEmpty() ? folderPath : currentFile;
    if (!engine.loadTemplateText(editor->toPlainText().toUtf8(), shownPath, &error)) {
        Platform::ShowMessage(error + QStringLiteral("\n模板有错误，没有保存。"));
        return false;
    }
    QString path = Platform::GetSaveFileName(this,
        {QStringLiteral("模板另存为"), folderPath, QFileInfo(currentFile).fileName(), FrfFilter,
            QStringLiteral("frf")});
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".frf");
    if (!writeFile(path))
        return false;
    currentFile = path;
    savedText = editor->toPlainText();
    saveButton->setEnabled(false);
    fileLabel->setText(QStringLiteral("模板内容(&E)：") + QFileInfo(path).fileName());
    reloadList();
    Platform::ShowMessage(QStringLiteral("模板保存成功：") + path);
    return true;
}

void TFormDesigner::previewTemplate()
{
    ReportEngine engine;
    QString error;
    if (!engine.loadTemplateText(editor->toPlainText().toUtf8(), currentFile, &error)
        || !engine.prepare(&error)) {
        Platform::ShowMessage(error);
        return;
    }
    engine.preview(this);
}

void TFormDesigner::updateLivePreview()
{
    liveTimer->stop();
    ReportEngine engine;
    QString error;
    if (!engine.loadTemplateText(editor->toPlainText().toUtf8(), currentFile, &error)
        || !engine.prepare(&error)) {
        statusLabel->setText(error);
        statusLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
        return;
    }
    const ReportTemplate &t = engine.reportTemplate();
    statusLabel->setText(QStringLiteral("模板正确：")
        + (t.landscape ? QStringLiteral("横向") : QStringLiteral("纵向"))
        + (t.isVoucher ? QStringLiteral("，单据 %1 行").arg(t.voucher.rows.size())
                       : QStringLiteral("，%1 列").arg(t.columns.size()))
        + QStringLiteral("，样张 %1 页").arg(engine.prepared().pageCount()));
    statusLabel->setStyleSheet(QString());
    const QImage page = engine.prepared().renderPage(0, 48);
    pagePicture->setPixmap(QPixmap::fromImage(
        page.scaledToWidth(std::max(200, pagePicture->width() - 8), Qt::SmoothTransformation)));
}

void TFormDesigner::done(int result)
{
    if (!askToSave())
        return;
    QDialog::done(result);
}

void OpenTemplateDesigner(QWidget *parent)
{
    TFormDesigner *designer = parent
        ? parent->findChild<TFormDesigner *>(QStringLiteral("TFormDesigner"), Qt::FindDirectChildrenOnly)
        : nullptr;
    std::unique_ptr<TFormDesigner> owned;
    if (!designer) {
        designer = new TFormDesigner(parent);
        if (!parent)
            owned.reset(designer);
    }
    const QString dir = ShareDataModule ? Session().ProgramDir : QString();
    designer->setFolder(dir + QStringLiteral("Frf"));
    Platform::ShowModal(designer);
}
