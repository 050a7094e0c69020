#pragma once
// The About page: the program's history and a few links.

#include <QWidget>

class QTextBrowser;

namespace corvane {

class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    // The About text kept in the program's resources.
    static QString aboutText();

private:
    QTextBrowser* reAbout;
};

} // namespace corvane
