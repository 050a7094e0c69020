#pragma once
// The top row shared by the pages that read one file of a list: a caption,
// the picker and its Read button.

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <string>
#include <vector>

namespace corvane {

inline QHBoxLayout* pickerRow(QWidget* page, const QString& caption, QComboBox* picker, QPushButton* read) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, page);
    label->setBuddy(picker);
    picker->setMinimumContentsLength(16);
    picker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(label);
    row->addWidget(picker);
    row->addWidget(read);
    row->addStretch(1);
    return row;
}

// Refills a picker with names and selects the first one.
inline void fillPicker(QComboBox* picker, const std::vector<std::string>& names) {
    picker->clear();
    for (const std::string& name : names) picker->addItem(QString::fromStdString(name));
    if (picker->count() > 0) picker->setCurrentIndex(0);
}

} // namespace corvane
