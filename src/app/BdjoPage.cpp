#include "app/BdjoPage.h"

#include <QVBoxLayout>

#include "app/PickerRow.h"
#include "shell/Session.h"

namespace corvane {

BdjoPage::BdjoPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsBDJO"));
    cbBDJO = new QComboBox(this);
    cbBDJO->setObjectName(QStringLiteral("cbBDJO"));
    bReadBDJO = new QPushButton(QStringLiteral("&Read"), this);
    bReadBDJO->setObjectName(QStringLiteral("bReadBDJO"));
    bReadBDJO->setToolTip(QStringLiteral("Read the selected BD-J object file"));
    bReadBDJO->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pickerRow(this, QStringLiteral("BD-J object"), cbBDJO, bReadBDJO));
    layout->addStretch(1);
}

void BdjoPage::fillFromSession() {
    fillPicker(cbBDJO, m_session.bdjoFiles);
}

void BdjoPage::clear() {
    cbBDJO->clear();
    bReadBDJO->setEnabled(false);
}

} // namespace corvane
