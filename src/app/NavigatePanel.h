#pragma once
// The navigation panel under the Menu page: the four moves and the activation of the
// selected button, as a remote control's keys.

#include <QWidget>

class QPushButton;

namespace corvane {

class NavigatePanel : public QWidget {
    Q_OBJECT
public:
    explicit NavigatePanel(QWidget* parent = nullptr);
    void setKeysEnabled(bool enabled);

    QPushButton* bNavUp;
    QPushButton* bNavDown;
    QPushButton* bNavLeft;
    QPushButton* bNavRight;
    QPushButton* bNavSel;
};

} // namespace corvane
