#include "app/BdmvPageUhd.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/EditHistory.h"
#include "navigation/IndexUhd.h"
#include "shell/Session.h"

namespace corvane {

using namespace bdmvpage;

IndexUhdGroup::IndexUhdGroup(Session& session, EditHistory& history, QWidget* parent)
    : QGroupBox(QStringLiteral("AppInfoBDMV / Ultra HD"), parent), m_session(session), m_history(history) {
    setObjectName(QStringLiteral("gbIndexUhd"));
    auto* layout = new QGridLayout(this);
    // AppInfoBDMV's fields in the left column, the disc-type entry's in the right.
    int appInfoRows = 0, extensionRows = 0;
    for (std::size_t i = 0; i < IndexUhdFields.size(); ++i) {
        const IndexUhdFieldInfo& info = IndexUhdFields[i];
        auto* label = new QLabel(qs(info.name), this);
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cbUhd_") + qs(info.name));
        // Narrow pickers: the group shares the page's width with the title and object grids.
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(4);
        const QString tip =
            qs(info.meaning) + (info.inExtension ? QStringLiteral(" (ExtensionData 3.1)") : QString());
        label->setToolTip(tip);
        box->setToolTip(tip);
        // The items are every value the field's width holds, so nothing out of range can be picked.
        for (std::uint32_t value = 0; value < (1u << info.bits); ++value)
            box->addItem(qs(uhdValueText(info.field, value)), value);
        const int row = info.inExtension ? extensionRows++ : appInfoRows++, column = info.inExtension ? 2 : 0;
        layout->addWidget(label, row, column);
        layout->addWidget(box, row, column + 1);
        connect(box, &QComboBox::currentIndexChanged, this, [this, i](int item) { pickerChanged(i, item); });
        m_pickers.push_back(box);
    }
    m_reserved = new QLabel(this);
    m_reserved->setObjectName(QStringLiteral("lUhdReserved"));
    m_reserved->setWordWrap(true);
    m_reserved->setToolTip(QStringLiteral("Bits kept as read: their meaning is not settled"));
    layout->addWidget(m_reserved, std::max(appInfoRows, extensionRows), 0, 1, 4);
    layout->setVerticalSpacing(2);
}

void IndexUhdGroup::fillFromSession() {
    m_filling = true;
    const bool ok = m_session.indexStatus == ReadStatus::Ok;
    setEnabled(ok);
    for (std::size_t i = 0; i < m_pickers.size(); ++i) {
        const auto value = ok ? uhdFieldValue(m_session.index, IndexUhdFields[i].field) : std::nullopt;
        m_pickers[i]->setEnabled(value.has_value());
        m_pickers[i]->setCurrentIndex(value ? m_pickers[i]->findData(*value) : -1);
    }
    m_reserved->setText(ok ? QStringLiteral("kept bits: ") + qs(uhdReservedBitsText(m_session.index))
                           : QString());
    m_filling = false;
}

void IndexUhdGroup::pickerChanged(std::size_t field, int item) {
    if (m_filling || item < 0) return;
    const auto value = m_pickers[field]->itemData(item).toUInt();
    // A value the core refuses is not taken: the picker shows the model again.
    EditScope edit(&m_history, EditedDocument::Navigation,
                   QStringLiteral("Edit ") + qs(IndexUhdFields[field].name));
    // AppInfoBDMV or the ExtensionData block: both are index.bdmv's, which is small.
    edit.keep([this]() -> TINDX& { return m_session.index; });
    if (!setUhdFieldValue(m_session.index, IndexUhdFields[field].field, value)) fillFromSession();
}

} // namespace corvane
