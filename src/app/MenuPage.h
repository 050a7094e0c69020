#pragma once
// The Menu page, where an interactive-graphics menu is shown and simulated.

#include <QWidget>

namespace corvane {

struct Session;

class MenuPage : public QWidget {
    Q_OBJECT
public:
    explicit MenuPage(Session& session, QWidget* parent = nullptr);

private:
    [[maybe_unused]] Session& m_session;
};

} // namespace corvane
