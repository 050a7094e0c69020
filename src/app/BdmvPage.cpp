#include "app/BdmvPage.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/Session.h"

namespace corvane {

BdmvPage::BdmvPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsBDMV"));

    eBDMVdir = new QLineEdit(this);
    eBDMVdir->setObjectName(QStringLiteral("eBDMVdir"));
    eBDMVdir->setReadOnly(true);
    eBDMVdir->setMinimumWidth(420);

    bbOpenDir = new QToolButton(this);
    bbOpenDir->setObjectName(QStringLiteral("bbOpenDir"));
    bbOpenDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbOpenDir->setToolTip(QStringLiteral("Select a directory"));

    bReadBDMV = new QPushButton(QStringLiteral("Read"), this);
    bReadBDMV->setObjectName(QStringLiteral("bReadBDMV"));
    bReadBDMV->setToolTip(QStringLiteral("Check and read the BDMV folder"));

    auto* label = new QLabel(QStringLiteral("BDMV folder"), this);
    label->setBuddy(eBDMVdir);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(eBDMVdir, 1);
    row->addWidget(bbOpenDir);
    row->addWidget(bReadBDMV);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);

    connect(bbOpenDir, &QToolButton::clicked, this, &BdmvPage::bbOpenDirClick);
    connect(bReadBDMV, &QPushButton::clicked, this, &BdmvPage::readRequested);
}

void BdmvPage::setFolder(const std::string& bdmvDir) {
    m_session.BDMVdir = bdmvDir;
    eBDMVdir->setText(QString::fromStdString(bdmvDir));
}

void BdmvPage::bbOpenDirClick() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Select a directory"),
                                          QString::fromStdString(chooserStartFolder(m_session.BDMVdir)));
    if (chosen.isEmpty()) return;
    setFolder(bdmvFolderFromChosen(QDir::toNativeSeparators(chosen).toStdString()));
    if (m_session.options.AutoRead) emit readRequested();
}

} // namespace corvane
