#include "app/NavigatePanel.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace corvane {

namespace {

QPushButton* key(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setEnabled(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Sel")) + 24);
    return button;
}

} // namespace

NavigatePanel::NavigatePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pNavigate"));
    bNavUp = key(this, "bNavUp", QStringLiteral("&U"), QStringLiteral("Up"));
    bNavDown = key(this, "bNavDown", QStringLiteral("&D"), QStringLiteral("Down"));
    bNavLeft = key(this, "bNavLeft", QStringLiteral("&L"), QStringLiteral("Left"));
    bNavRight = key(this, "bNavRight", QStringLiteral("&R"), QStringLiteral("Right"));
    bNavSel = key(this, "bNavSel", QStringLiteral("S&el"), QStringLiteral("Activate the selected button"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QPushButton* button : {bNavLeft, bNavUp, bNavDown, bNavRight, bNavSel}) layout->addWidget(button);
}

void NavigatePanel::setKeysEnabled(bool enabled) {
    for (QPushButton* button : {bNavUp, bNavDown, bNavLeft, bNavRight, bNavSel}) button->setEnabled(enabled);
}

} // namespace corvane
