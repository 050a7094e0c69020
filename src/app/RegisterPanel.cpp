#include "app/RegisterPanel.h"

#include <QHBoxLayout>
#include <QLabel>

#include "io/TextUtil.h"

namespace corvane {

// ---- RegisterNumberEdit ----

RegisterNumberEdit::RegisterNumberEdit(int count, int digits, QWidget* parent)
    : TIntEdit(parent), m_count(count), m_digits(digits) {
    setText(paddedText(0));
    connect(this, &QLineEdit::textEdited, this, &RegisterNumberEdit::typed);
}

int RegisterNumberEdit::number() const {
    const int shown = value();
    return shown >= 0 && shown < m_count ? shown : 0;
}

QString RegisterNumberEdit::paddedText(int number) const {
    return QString::fromStdString(zeroPad(static_cast<std::uint64_t>(number), m_digits));
}

void RegisterNumberEdit::setNumber(int number) {
    if (number < 0 || number >= m_count) number = 0;
    setText(hasFocus() ? QString::number(number) : paddedText(number));
    emit numberChanged(number);
}

void RegisterNumberEdit::typed() {
    const int shown = value();
    // A number beyond the file is refused as it is typed; an empty or lone sign may still grow.
    if (shown < 0 || shown >= m_count) setText(QStringLiteral("0"));
    emit numberChanged(number());
}

void RegisterNumberEdit::focusInEvent(QFocusEvent* event) {
    setText(QString::number(number()));
    TIntEdit::focusInEvent(event);
}

void RegisterNumberEdit::focusOutEvent(QFocusEvent* event) {
    TIntEdit::focusOutEvent(event);
    const int current = number();
    setText(paddedText(current));
    emit numberChanged(current);
}

// ---- RegisterPanel ----

RegisterPanel::RegisterPanel(RegisterFile& regs, QWidget* parent) : QWidget(parent), m_regs(regs) {
    setObjectName(QStringLiteral("pRegisters"));

    iePSR = new RegisterNumberEdit(static_cast<int>(PSRCount), 3, this);
    iePSR->setObjectName(QStringLiteral("iePSR"));
    iePSR->setToolTip(QStringLiteral("PSR number"));
    hePSRval = new THexEdit(8, this);
    hePSRval->setObjectName(QStringLiteral("hePSRval"));
    hePSRval->setToolTip(QStringLiteral("PSR value"));
    ieGPR = new RegisterNumberEdit(static_cast<int>(GPRCount), 4, this);
    ieGPR->setObjectName(QStringLiteral("ieGPR"));
    ieGPR->setToolTip(QStringLiteral("GPR number"));
    heGPRval = new THexEdit(8, this);
    heGPRval->setObjectName(QStringLiteral("heGPRval"));
    heGPRval->setToolTip(QStringLiteral("GPR value"));

    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    iePSR->setFixedWidth(digit * 4 + 12);
    ieGPR->setFixedWidth(digit * 5 + 12);
    hePSRval->setFixedWidth(digit * 9 + 12);
    heGPRval->setFixedWidth(digit * 9 + 12);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* psr = new QLabel(QStringLiteral("PSR"), this);
    psr->setBuddy(iePSR);
    auto* gpr = new QLabel(QStringLiteral("GPR"), this);
    gpr->setBuddy(ieGPR);
    layout->addWidget(psr);
    layout->addWidget(iePSR);
    layout->addWidget(hePSRval);
    layout->addSpacing(8);
    layout->addWidget(gpr);
    layout->addWidget(ieGPR);
    layout->addWidget(heGPRval);

    connect(iePSR, &RegisterNumberEdit::numberChanged, this,
            [this](int number) { hePSRval->setValue(m_regs.PSR[static_cast<std::size_t>(number)]); });
    connect(ieGPR, &RegisterNumberEdit::numberChanged, this,
            [this](int number) { heGPRval->setValue(m_regs.GPR[static_cast<std::size_t>(number)]); });
    connect(iePSR, &QLineEdit::returnPressed, hePSRval, [this] { hePSRval->setFocus(); });
    connect(ieGPR, &QLineEdit::returnPressed, heGPRval, [this] { heGPRval->setFocus(); });
    connect(hePSRval, &QLineEdit::editingFinished, this, &RegisterPanel::hePSRvalExit);
    connect(heGPRval, &QLineEdit::editingFinished, this, &RegisterPanel::heGPRvalExit);
    connect(hePSRval, &QLineEdit::returnPressed, iePSR, [this] { iePSR->setFocus(); });
    connect(heGPRval, &QLineEdit::returnPressed, ieGPR, [this] { ieGPR->setFocus(); });

    refresh();
}

void RegisterPanel::refresh() {
    hePSRval->setValue(m_regs.PSR[static_cast<std::size_t>(iePSR->number())]);
    heGPRval->setValue(m_regs.GPR[static_cast<std::size_t>(ieGPR->number())]);
}

void RegisterPanel::showPSR(int number) {
    iePSR->setNumber(number);
}

void RegisterPanel::showGPR(int number) {
    ieGPR->setNumber(number);
}

void RegisterPanel::hePSRvalExit() {
    const auto value = static_cast<std::uint32_t>(hePSRval->value());
    m_regs.PSR[static_cast<std::size_t>(iePSR->number())] = value;
    hePSRval->setValue(value);
}

void RegisterPanel::heGPRvalExit() {
    const auto value = static_cast<std::uint32_t>(heGPRval->value());
    m_regs.GPR[static_cast<std::size_t>(ieGPR->number())] = value;
    heGPRval->setValue(value);
}

} // namespace corvane
