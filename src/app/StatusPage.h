#pragma once
// The Status page: the message log with its Clear button, and the register buttons.

#include <QWidget>

class QPushButton;

namespace corvane {

class MessageLog;

class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    void bClearClick();
    MessageLog* messageLog() const { return reMessage; }

signals:
    // The register buttons: the main window lists or resets the registers.
    void psrsRequested();
    void gprsRequested();
    void resetRegsRequested();

private:
    MessageLog* reMessage;
    QPushButton* bClear;
    QPushButton* bPSRs;
    QPushButton* bGPRs;
    QPushButton* bResetRegs;
};

} // namespace corvane
