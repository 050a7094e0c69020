#pragma once
// Small pieces shared by the BDMV page's source files.

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QToolButton>

#include <array>
#include <string_view>

namespace corvane::bdmvpage {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Replaces a picker's items with the names of a core table.
template <std::size_t N> void setNames(QComboBox* box, const std::array<std::string_view, N>& names) {
    box->clear();
    for (std::string_view name : names) box->addItem(qs(name));
}

inline QComboBox* picker(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

inline QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                               const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    return button;
}

// "List|*.lst|Binary|*.bin" as the file dialog writes it: "List (*.lst);;Binary (*.bin)".
inline QStringList dialogFilters(std::string_view pipeFilter) {
    const QStringList parts = qs(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    return filters;
}

// A picker item for a model value, or no item when the value has none.
inline int indexOrNone(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

} // namespace corvane::bdmvpage
