#pragma once
// The "AppInfoBDMV / Ultra HD" group of the BDMV page: the AppInfoBDMV fields of index.bdmv
// and the UHD disc-type entry of its ExtensionData, one picker per field with its values
// named, and the kept bits without a settled meaning shown in binary. Edits go through the
// core's setUhdFieldValue into the session's index, one undo step each; the page's Save writes it. The page
// shows it in a scroll area, so that it does not raise the window's minimum size.

#include <QGroupBox>

#include <vector>

class QComboBox;
class QLabel;

namespace corvane {

struct Session;
class EditHistory;

class IndexUhdGroup : public QGroupBox {
    Q_OBJECT
public:
    IndexUhdGroup(Session& session, EditHistory& history, QWidget* parent = nullptr);
    // Shows the session's index; disabled without one, the disc-type pickers blank and
    // disabled when the index has no UHD entry.
    void fillFromSession();

private:
    void pickerChanged(std::size_t field, int item);

    Session& m_session;
    EditHistory& m_history;
    std::vector<QComboBox*> m_pickers; // cbUhd_<field name>, in IndexUhdFields order
    QLabel* m_reserved = nullptr;      // lUhdReserved
    bool m_filling = false;
};

} // namespace corvane
