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

    bPSRs = new QPushButton(QStringLiteral("PS&Rs"), this);
    bPSRs->setObjectName(QStringLiteral("bPSRs"));
    bPSRs->setToolTip(QStringLiteral("List the PSRs"));
    bGPRs = new QPushButton(QStringLiteral("&GPRs"), this);
    bGPRs->setObjectName(QStringLiteral("bGPRs"));
    bGPRs->setToolTip(QStringLiteral("List the GPRs that are not zero"));
    bResetRegs = new QPushButton(QStringLiteral("Re&set Regs"), this);
    bResetRegs->setObjectName(QStringLiteral("bResetRegs"));
    bResetRegs->setToolTip(QStringLiteral("Set every register to its initial value"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bClear);
    buttons->addSpacing(16);
    buttons->addWidget(bPSRs);
    buttons->addWidget(bGPRs);
    buttons->addWidget(bResetRegs);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reMessage, 1);
    layout->addLayout(buttons);

    connect(bClear, &QPushButton::clicked, this, &StatusPage::bClearClick);
    connect(bPSRs, &QPushButton::clicked, this, &StatusPage::psrsRequested);
    connect(bGPRs, &QPushButton::clicked, this, &StatusPage::gprsRequested);
    connect(bResetRegs, &QPushButton::clicked, this, &StatusPage::resetRegsRequested);
}

void StatusPage::bClearClick() {
    reMessage->clearLog();
}

} // namespace corvane
