#pragma once
// The CLIPINF page: the clip picker of the folder read.

#include <QWidget>

class QComboBox;
class QPushButton;

namespace corvane {

struct Session;

class ClipInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit ClipInfoPage(Session& session, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    void clear();

    QComboBox* cbClipinf;
    QPushButton* bReadCI;

private:
    Session& m_session;
};

} // namespace corvane
