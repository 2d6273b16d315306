#pragma once

class QApplication;

// Chinese translations for Qt's own buttons and dialogs, the CJK font, the program's names.
void ConfigureApplication(QApplication &app);
