#include "app/MenuPage.h"

#include <QVBoxLayout>

#include "shell/Session.h"

namespace corvane {

MenuPage::MenuPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsMenu"));
    new QVBoxLayout(this);
}

} // namespace corvane
