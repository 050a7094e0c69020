#pragma once
// The Status page: the message log and its Clear button.

#include <QWidget>

class QPushButton;

namespace corvane {

class MessageLog;

class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    void bClearClick();

    MessageLog* reMessage;
    QPushButton* bClear;
};

} // namespace corvane
