#include "app/StatusPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MessageLog.h"

namespace corvane {

StatusPage::StatusPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsStatus"));
    reMessage = new MessageLog(this);
    reMessage->setObjectName(QStringLiteral("reMessage"));
    bClear = new QPushButton(QStringLiteral("Clear"), this);
    bClear->setObjectName(QStringLiteral("bClear"));
    bClear->setToolTip(QStringLiteral("Clear the messages"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bClear);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reMessage, 1);
    layout->addLayout(buttons);

    connect(bClear, &QPushButton::clicked, this, &StatusPage::bClearClick);
}

void StatusPage::bClearClick() {
    reMessage->clearLog();
}

} // namespace corvane
