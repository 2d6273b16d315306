#pragma once

// The template designer (单据设计): lists the templates of a folder, opens one into a text
// editor, checks it as it is typed (with a live picture of its first page on sample rows),
// saves it, and previews it on sample rows; no data set is bound.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

class TFormDesigner : public QDialog
{
    Q_OBJECT
public:
    explicit TFormDesigner(QWidget *parent = nullptr);

    // The folder whose *.frf files are listed; reread at every show.
    void setFolder(const QString &folder);
    QString folder() const { return folderPath; }
    QString currentPath() const { return currentFile; }
    bool isModified() const;

    // Opens a template into the editor (after asking to save unsaved edits).
    bool openTemplate(const QString &path);
    // Parses and checks the text being edited; quiet skips the message.
    bool checkTemplate(bool quiet = false);
    // Writes the text to the current file when it is a valid template.
    bool saveTemplate();
    // Writes the text to a file chosen in the save dialog, in the folder.
    bool saveTemplateAs();
    // Shows the edited template in the print preview, on sample rows.
    void previewTemplate();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void reloadList();
    bool askToSave();
    bool writeFile(const QString &path);
    void updateLivePreview();
    void selectListItem(const QString &path);

    QString folderPath;
    QString currentFile;
    QString savedText; // the file's text as last read or written
    QListWidget *templateList;
    QPlainTextEdit *editor;
    QLabel *fileLabel;
    QLabel *statusLabel;
    QLabel *pagePicture;
    QPushButton *checkButton;
    QPushButton *saveButton;
    QPushButton *saveAsButton;
    QPushButton *previewButton;
    QPushButton *closeButton;
    QTimer *liveTimer;
};

// What 单据设计 does: the designer over ProgramDir + "Frf", shown modally. The dialog is made
// once as a child of parent and reused.
void OpenTemplateDesigner(QWidget *parent);
