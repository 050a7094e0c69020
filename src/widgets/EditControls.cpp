#include "widgets/EditControls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QRegularExpressionValidator>

#include "io/TextUtil.h"

namespace corvane {

namespace {

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Shared verdict: Backspace and Enter always go through, a key without a
// character is left to the edit, characters are judged by `allowed`.
template <typename Allowed>
KeyVerdict judgeKey(int key, const QString& text, Qt::KeyboardModifiers modifiers, Allowed allowed) {
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter) return KeyVerdict::Accept;
    if (text.isEmpty()) return KeyVerdict::Pass;
    // Control characters (Ctrl+letter) are keys like any other here.
    if (modifiers & Qt::ControlModifier) return KeyVerdict::Refuse;
    if (text.size() != 1 || !allowed(text.at(0))) return KeyVerdict::Refuse;
    return KeyVerdict::Accept;
}

} // namespace

// --- THexEdit ---

THexEdit::THexEdit(int digits, QWidget* parent) : QLineEdit(parent) {
    // A paste cannot bring in what the keys may not type.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]*")), this));
    setDigits(digits);
}

KeyVerdict THexEdit::acceptsKey(int key, const QString& text, Qt::KeyboardModifiers modifiers) {
    return judgeKey(key, text, modifiers, isHexDigit);
}

void THexEdit::setDigits(int digits) {
    setMaxLength(digits > 0 ? digits : 1);
}

std::uint64_t THexEdit::value() const {
    return hexToNumber(text().toStdString());
}

void THexEdit::setValue(std::uint64_t value) {
    setText(QString::fromStdString(hexText(value, maxLength())));
}

void THexEdit::keyPressEvent(QKeyEvent* event) {
    switch (acceptsKey(event->key(), event->text(), event->modifiers())) {
    case KeyVerdict::Refuse:
        QApplication::beep();
        event->accept();
        return;
    case KeyVerdict::Accept:
        if (event->text().size() == 1 && event->text().at(0).isLower()) {
            insert(event->text().toUpper());
            event->accept();
            return;
        }
        break;
    case KeyVerdict::Pass:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

// --- TIntEdit ---

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(parent) {}

KeyVerdict TIntEdit::acceptsKey(int key, const QString& text, Qt::KeyboardModifiers modifiers) {
    return judgeKey(key, text, modifiers,
                    [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-'; });
}

int TIntEdit::valueOf(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

void TIntEdit::keyPressEvent(QKeyEvent* event) {
    if (acceptsKey(event->key(), event->text(), event->modifiers()) == KeyVerdict::Refuse) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// --- TumNumberEdit ---

TumNumberEdit::TumNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setText(m_lastAccepted);
    connect(this, &QLineEdit::textEdited, this, &TumNumberEdit::onTextEdited);
}

QString TumNumberEdit::filterText(const QString& typed, const QString& lastAccepted,
                                  std::optional<std::uint64_t> maximum) {
    if (typed.isEmpty()) return typed;
    for (QChar c : typed)
        if (c < u'0' || c > u'9') return lastAccepted;
    bool ok = false;
    const std::uint64_t value = typed.toULongLong(&ok);
    if (!ok || (maximum && value > *maximum)) return lastAccepted;
    return typed;
}

void TumNumberEdit::setValue(std::uint64_t value) {
    if (m_maximum && value > *m_maximum) value = *m_maximum;
    m_lastAccepted = QString::number(value);
    setText(m_lastAccepted);
    emit valueChanged(value);
}

void TumNumberEdit::setMaximum(std::optional<std::uint64_t> maximum) {
    m_maximum = maximum;
    if (m_maximum && value() > *m_maximum) setValue(*m_maximum);
}

void TumNumberEdit::onTextEdited(const QString& typed) {
    const QString kept = filterText(typed, m_lastAccepted, m_maximum);
    if (kept != typed) {
        const int cursor = cursorPosition();
        setText(kept);
        setCursorPosition(qMin(qMax(0, cursor - 1), int(kept.size())));
        return;
    }
    if (!kept.isEmpty()) m_lastAccepted = kept;
    emit valueChanged(value());
}

// --- TumEdit ---

TumEdit::TumEdit(QWidget* parent) : QLineEdit(parent) {
    setDisabledColour(palette().color(QPalette::Disabled, QPalette::Window));
}

void TumEdit::setDisabledColour(const QColor& colour) {
    m_disabledColour = colour;
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::Base, colour);
    setPalette(p);
}

QString optionalInputMask(const QString& mask) {
    QString out;
    bool escaped = false;
    for (const QChar c : mask) {
        if (c == QLatin1Char(';') && !escaped) { // the blank character follows
            out += mask.mid(out.size());
            return out;
        }
        const bool required = !escaped && QStringLiteral("ANXD9HB").contains(c);
        out += required ? (c == QLatin1Char('9') ? QLatin1Char('0') : c.toLower()) : c;
        escaped = !escaped && c == QLatin1Char('\\');
    }
    return out;
}

} // namespace corvane
