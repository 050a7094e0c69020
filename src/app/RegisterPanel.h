#pragma once
// The register panel at the bottom of the window: pick a PSR or GPR by number, see its
// value in hexadecimal and type a new one.

#include <QWidget>

#include "navigation/Registers.h"
#include "widgets/EditControls.h"

namespace corvane {

// A register number: the plain number while focused, zero-padded once left; a number
// outside 0 … count − 1 becomes 0.
class RegisterNumberEdit : public TIntEdit {
    Q_OBJECT
public:
    RegisterNumberEdit(int count, int digits, QWidget* parent = nullptr);

    // The shown number, 0 when it lies outside the register file.
    int number() const;
    // Shows `number` as the field shows it when not focused.
    void setNumber(int number);
    // What the field shows when left: `number` zero-padded to the field's digits.
    QString paddedText(int number) const;

signals:
    void numberChanged(int number);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void typed();
    int m_count;
    int m_digits;
};

class RegisterPanel : public QWidget {
    Q_OBJECT
public:
    explicit RegisterPanel(RegisterFile& regs, QWidget* parent = nullptr);

    // Shows the registers' current values again.
    void refresh();
    // Picks a register and shows its value (the trace follows the register a line names).
    void showPSR(int number);
    void showGPR(int number);

    RegisterNumberEdit* iePSR;
    THexEdit* hePSRval;
    RegisterNumberEdit* ieGPR;
    THexEdit* heGPRval;

private:
    void hePSRvalExit();
    void heGPRvalExit();

    RegisterFile& m_regs;
};

} // namespace corvane
