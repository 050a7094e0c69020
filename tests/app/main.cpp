// Runs every registered desktop test class with settings, data and temporary
// files kept in a folder of its own.

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTest.h"

namespace corvane::test {
std::vector<std::pair<TestFactory, bool>>& guiTests() {
    static std::vector<std::pair<TestFactory, bool>> tests;
    return tests;
}
namespace {
ErrorBoxCatcher* g_errorBoxes = nullptr;
}
ErrorBoxCatcher& errorBoxes() {
    return *g_errorBoxes;
}
} // namespace corvane::test

int main(int argc, char* argv[]) {
    QTemporaryDir sandbox;
    if (!sandbox.isValid()) return 2;
    // The close sequence empties the temporary folder of our files: keep it off the real one.
    const QString temp = sandbox.filePath(QStringLiteral("tmp"));
    QDir().mkpath(temp);
    qputenv("TMPDIR", temp.toLocal8Bit());

    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       sandbox.filePath(QStringLiteral("settings")));

    // Error boxes close by themselves; the tests read what they showed.
    corvane::test::ErrorBoxCatcher boxes;
    corvane::test::g_errorBoxes = &boxes;
    // CORVANE_GUI_CLASS names one class to run (its own ctest entry); the long runs
    // registered as separate run only so.
    const QByteArray only = qgetenv("CORVANE_GUI_CLASS");
    int failures = 0;
    int ran = 0;
    for (const auto& [make, separate] : corvane::test::guiTests()) {
        std::unique_ptr<QObject> test = make();
        const QByteArray name = QByteArray(test->metaObject()->className()).split(':').last();
        if (only.isEmpty() ? separate : name != only) continue;
        failures += QTest::qExec(test.get(), argc, argv);
        ++ran;
    }
    // A class name that matches nothing is a fault of the test set-up, not a pass.
    return failures == 0 && ran > 0 ? 0 : 1;
}
