#include "support/TestRegistry.h"

#include <QApplication>
#include <QList>
#include <QTest>

#include <algorithm>
#include <memory>

namespace TestSupport {

namespace {
struct Entry {
    QByteArray name;
    std::function<QObject *()> make;
};
QList<Entry> &registry()
{
    static QList<Entry> entries;
    return entries;
}
} // namespace

bool registerTestClass(const char *name, std::function<QObject *()> make)
{
    registry().append({QByteArray(name), std::move(make)});
    return true;
}

int runRegisteredTests(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    auto entries = registry();
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    int failures = 0;
    for (const Entry &entry : entries) {
        std::unique_ptr<QObject> test(entry.make());
        failures += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failures;
}

} // namespace TestSupport
