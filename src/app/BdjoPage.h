#pragma once
// The BDJO page: the BD-J object picker of the folder read.

#include <QWidget>

class QComboBox;
class QPushButton;

namespace corvane {

struct Session;

class BdjoPage : public QWidget {
    Q_OBJECT
public:
    explicit BdjoPage(Session& session, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    void clear();

    QComboBox* cbBDJO;
    QPushButton* bReadBDJO;

private:
    Session& m_session;
};

} // namespace corvane
