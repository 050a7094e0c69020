#pragma once
// Edit controls with their own input rules: hexadecimal, signed decimal,
// bounded non-negative number, and a plain edit with a disabled colour.

#include <QColor>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace corvane {

// What a key press does to an edit that filters its keys.
enum class KeyVerdict {
    Pass,   // not a character key (arrows, Tab, Delete…): the edit handles it as usual
    Accept, // an allowed character, Backspace or Enter
    Refuse  // any other character: dropped with a beep
};

// Hexadecimal edit: hex digits, Backspace and Enter only; the value is shown
// with as many digits as the edit may hold.
class THexEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit THexEdit(int digits = 4, QWidget* parent = nullptr);

    static KeyVerdict acceptsKey(int key, const QString& text, Qt::KeyboardModifiers modifiers);

    std::uint64_t value() const;
    void setValue(std::uint64_t value);
    int digits() const { return maxLength(); }
    void setDigits(int digits);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Signed decimal edit: digits, "+", "-", Backspace and Enter; value 0 when the text is no number.
class TIntEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TIntEdit(QWidget* parent = nullptr);

    static KeyVerdict acceptsKey(int key, const QString& text, Qt::KeyboardModifiers modifiers);
    static int valueOf(const QString& text);

    int value() const { return valueOf(text()); }
    void setValue(int value) { setText(QString::number(value)); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Non-negative number with an optional maximum. A text that is no number or
// exceeds the maximum is replaced by the last accepted one; an empty field is
// allowed while typing and counts as 0.
class TumNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TumNumberEdit(QWidget* parent = nullptr);

    // The text the edit keeps after `typed` was entered over `lastAccepted`.
    static QString filterText(const QString& typed, const QString& lastAccepted,
                              std::optional<std::uint64_t> maximum);

    std::uint64_t value() const { return text().toULongLong(); }
    void setValue(std::uint64_t value);
    std::optional<std::uint64_t> maximum() const { return m_maximum; }
    void setMaximum(std::optional<std::uint64_t> maximum);

signals:
    void valueChanged(std::uint64_t value);

private:
    void onTextEdited(const QString& typed);
    QString m_lastAccepted = QStringLiteral("0");
    std::optional<std::uint64_t> m_maximum;
};

// A Qt input mask whose required characters are all optional, so that a cell editor
// takes an entry shorter than the mask (the page pads it).
QString optionalInputMask(const QString& mask);

// Line edit with an alignment and its own background colour while disabled.
class TumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TumEdit(QWidget* parent = nullptr);

    QColor disabledColour() const { return m_disabledColour; }
    void setDisabledColour(const QColor& colour);

private:
    QColor m_disabledColour;
};

} // namespace corvane
