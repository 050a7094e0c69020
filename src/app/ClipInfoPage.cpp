#include "app/ClipInfoPage.h"

#include <QVBoxLayout>

#include "app/PickerRow.h"
#include "shell/Session.h"

namespace corvane {

ClipInfoPage::ClipInfoPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsClipinf"));
    cbClipinf = new QComboBox(this);
    cbClipinf->setObjectName(QStringLiteral("cbClipinf"));
    bReadCI = new QPushButton(QStringLiteral("Read"), this);
    bReadCI->setObjectName(QStringLiteral("bReadCI"));
    bReadCI->setToolTip(QStringLiteral("Read the selected .clpi file"));
    bReadCI->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pickerRow(this, QStringLiteral("Clip"), cbClipinf, bReadCI));
    layout->addStretch(1);
}

void ClipInfoPage::fillFromSession() {
    fillPicker(cbClipinf, m_session.clips);
}

void ClipInfoPage::clear() {
    cbClipinf->clear();
    bReadCI->setEnabled(false);
}

} // namespace corvane
