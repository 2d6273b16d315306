#pragma once

// A small window with one bar from 0 to 100, shown without blocking while a summary is worked
// out.

#include <QDialog>

class QProgressBar;

class TFormProgress : public QDialog
{
    Q_OBJECT
public:
    explicit TFormProgress(QWidget *parent = nullptr);

    // Shows the window (if hidden) at this position and lets it paint.
    void ShowAt(int position);
    int position() const;

private:
    QProgressBar *bar = nullptr; // ProgressBar1
};
