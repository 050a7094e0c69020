#include "app/AboutPage.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

// The resources live in a static library: without this call the linker may drop them.
static void initAboutResources() {
    Q_INIT_RESOURCE(corvane);
}

namespace corvane {

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsAbout"));
    reAbout = new QTextBrowser(this);
    reAbout->setObjectName(QStringLiteral("reAbout"));
    reAbout->setOpenExternalLinks(true);
    reAbout->setHtml(aboutText());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reAbout);
}

QString AboutPage::aboutText() {
    initAboutResources();
    QFile file(QStringLiteral(":/corvane/about.html"));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("@VERSION@"), QStringLiteral(CORVANE_VERSION));
}

} // namespace corvane
