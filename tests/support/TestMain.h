#pragma once

// The main() of a test executable: one test class per file, run as QtTest runs it, so that its
// command line (a function by name, -functions, -o file,format) works on that class.
//
//   class TestEntryForm : public QObject { Q_OBJECT … };
//   QUILL_TEST_MAIN(TestEntryForm)
//   #include "tst_entryform.moc"
//
// The environment (offscreen platform, Chinese locale) is set where the test is registered.

#include <QApplication>
#include <QTest>

#define QUILL_TEST_MAIN(TestClass)                                                                           \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
