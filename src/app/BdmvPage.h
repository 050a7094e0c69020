#pragma once
// The BDMV page: the disc folder, its chooser and the Read button.

#include <QWidget>

#include <string>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace corvane {

struct Session;

class BdmvPage : public QWidget {
    Q_OBJECT
public:
    explicit BdmvPage(Session& session, QWidget* parent = nullptr);

    // Makes `bdmvDir` the session's folder and shows it.
    void setFolder(const std::string& bdmvDir);
    // The folder chooser; reads at once when Auto Read is on.
    void bbOpenDirClick();

    QLineEdit* eBDMVdir;
    QToolButton* bbOpenDir;
    QPushButton* bReadBDMV;

signals:
    void readRequested();

private:
    Session& m_session;
};

} // namespace corvane
