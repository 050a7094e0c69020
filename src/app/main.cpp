// The desktop program: the main window over one session.
//
//   corvane [FILE]                     FILE inside a BDMV folder: that folder is read at once
//   corvane --screenshot PNG [--page N] [FILE]
//                                      renders the window after start-up into PNG and quits

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "app/MainWindow.h"
#include "app/PageTabs.h"

int main(int argc, char* argv[]) {
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
