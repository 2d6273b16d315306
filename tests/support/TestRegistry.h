#pragma once

// Lets one test executable hold several test classes, each in its own file:
//
//   class TestEntryForm : public QObject { Q_OBJECT … };
//   QUILL_TEST_CLASS(TestEntryForm)
//   #include "tst_entryform.moc"
//
// An executable whose files use QUILL_TEST_CLASS and no QTEST_MAIN gets its main() from the
// support library, which runs every registered class in turn.

#include <QObject>

#include <functional>

namespace TestSupport {
bool registerTestClass(const char *name, std::function<QObject *()> make);
int runRegisteredTests(int argc, char **argv);
} // namespace TestSupport

#define QUILL_TEST_CLASS(Class)                                                                              \
    static const bool quillTestRegistered_##Class                                                            \
        = TestSupport::registerTestClass(#Class, [] { return static_cast<QObject *>(new Class); });
