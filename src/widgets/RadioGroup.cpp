#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace corvane {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), m_buttons(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items.at(i), this);
        m_buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    layout->addStretch(1);
    connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const {
    return m_buttons->checkedId();
}

int RadioGroup::count() const {
    return int(m_buttons->buttons().size());
}

void RadioGroup::setItemIndex(int index) {
    if (auto* button = m_buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // Unchecking needs the group to let go of exclusivity for a moment.
    if (auto* checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
        emit itemIndexChanged(-1);
    }
}

} // namespace corvane
