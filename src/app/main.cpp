// The desktop program: the main window over one session.
//
//   corvane [FILE]                     FILE inside a BDMV folder: that folder is read at once
//   corvane --screenshot PNG [--page N] [FILE]
//                                      renders the window after start-up into PNG and quits

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"
#include "app/PageTabs.h"

namespace {

const char Usage[] = "Usage: corvane [FILE]\n"
                     "       corvane --screenshot PNG [--page N] [FILE]\n"
                     "\n"
                     "Opens the desktop program. FILE is a file inside a BDMV folder (index.bdmv, a\n"
                     "playlist, ...): that folder is read at once. --screenshot renders the window after\n"
                     "start-up into PNG and quits; --page N shows page N first.\n"
                     "\n"
                     "  -h, --help     this text\n"
                     "  --version      the version\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before a window or a display is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("corvane " CORVANE_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vorlund Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    QStringList arguments = QCoreApplication::arguments().mid(1);
    QString screenshot;
    int page = -1;
    for (int i = 0; i + 1 < arguments.size();) {
        if (arguments[i] == QLatin1String("--screenshot")) {
            screenshot = arguments[i + 1];
            arguments.remove(i, 2);
        } else if (arguments[i] == QLatin1String("--page")) {
            page = arguments[i + 1].toInt();
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }

    corvane::MainWindow window;
    window.showFromSettings();
    window.openFromArguments(arguments);
    if (page >= 0) window.PageControl->setCurrentIndex(page);
    // Unsaved edits left by a run that did not end cleanly (not for a picture).
    if (screenshot.isEmpty()) QTimer::singleShot(0, &window, [&window] { window.offerRecovery(); });

    if (!screenshot.isEmpty()) {
        QTimer::singleShot(200, &window, [&window, screenshot] {
            const bool saved = window.grab().save(screenshot, "PNG");
            if (!saved) std::fprintf(stderr, "error: cannot write %s\n", qPrintable(screenshot));
            // Leaves the settings as they were: no close sequence for a picture.
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
