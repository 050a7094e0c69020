#include "app/BdjoPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/PickerRow.h"
#include "app/PlaylistPageGrid.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace corvane {

namespace {

PlaylistGrid* makeTable(QWidget* parent, const char* name, std::span<const std::string_view> headers) {
    auto* table = new PlaylistGrid(name, headers, parent);
    // The page's own row height and header highlight.
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setHighlightSections(true);
    table->setEnabled(false);
    return table;
}

// One row per item, at least one empty row.
void fillTable(PlaylistGrid* table, const std::vector<BdjoRow>& rows) {
    table->setRows(rows);
    table->resizeColumnsToContents();
    // Sizing to the contents takes the last column off the right edge; an empty table
    // keeps it stretched there.
    if (rows.empty()) {
        table->horizontalHeader()->setStretchLastSection(false);
        table->horizontalHeader()->setStretchLastSection(true);
    }
}

constexpr std::string_view CacheHeaders[] = {"", "entry type", "ref to name", "language"};
constexpr std::string_view PlayListHeaders[] = {"", "PlayList"};
constexpr std::string_view ProfileHeaders[] = {"", "profile", "version"};
constexpr std::string_view NameHeaders[] = {"", "lang", "name"};
constexpr std::string_view ParameterHeaders[] = {"", "parameter"};

QLineEdit* makeField(QWidget* parent, const char* name, int width) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFixedWidth(width);
    return field;
}

QCheckBox* makeBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAttribute(Qt::WA_TransparentForMouseEvents); // shows the file, takes no input
    box->setFocusPolicy(Qt::NoFocus);
    // The indicator on the page's background, not the white of a box that takes a click.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

} // namespace

BdjoPage::BdjoPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsBDJO"));
    cbBDJO = new QComboBox(this);
    cbBDJO->setObjectName(QStringLiteral("cbBDJO"));
    bReadBDJO = new QPushButton(QStringLiteral("&Read"), this);
    bReadBDJO->setObjectName(QStringLiteral("bReadBDJO"));
    bReadBDJO->setToolTip(QStringLiteral("Read the selected BD-J object file"));
    bReadBDJO->setEnabled(false);

    auto* terminal = new QGroupBox(QStringLiteral("TerminalInfo"), this);
    eDefaultFont = makeField(terminal, "eDefaultFont", 70);
    heInitHAVi = makeField(terminal, "heInitHAVi", 30);
    cbMenuCallMask = makeBox(terminal, "cbMenuCallMask", QStringLiteral("menu call mask"));
    cbTitleSearchMask = makeBox(terminal, "cbTitleSearchMask", QStringLiteral("title search mask"));
    auto* terminalLayout = new QGridLayout(terminal);
    terminalLayout->addWidget(new QLabel(QStringLiteral("default font"), terminal), 0, 0);
    terminalLayout->addWidget(eDefaultFont, 0, 1);
    terminalLayout->addWidget(new QLabel(QStringLiteral("initial HAVi configuration id"), terminal), 1, 0);
    terminalLayout->addWidget(heInitHAVi, 1, 1);
    terminalLayout->addWidget(cbMenuCallMask, 2, 0, 1, 2);
    terminalLayout->addWidget(cbTitleSearchMask, 3, 0, 1, 2);

    auto* cache = new QGroupBox(QStringLiteral("AppCacheInfo"), this);
    sgAppCacheInf = makeTable(cache, "sgAppCacheInf", CacheHeaders);
    (new QVBoxLayout(cache))->addWidget(sgAppCacheInf);

    auto* playlists = new QGroupBox(QStringLiteral("TableOfAccessiblePlayLists"), this);
    cbAccesAll = makeBox(playlists, "cbAccesAll", QStringLiteral("access to all"));
    cbAutostartfPL = makeBox(playlists, "cbAutostartfPL", QStringLiteral("autostart first PlayList"));
    sgAccPLs = makeTable(playlists, "sgAccPLs", PlayListHeaders);
    sgAccPLs->setToolTip(QStringLiteral("Double click opens the PlayList"));
    auto* playlistLayout = new QVBoxLayout(playlists);
    playlistLayout->addWidget(cbAccesAll);
    playlistLayout->addWidget(cbAutostartfPL);
    playlistLayout->addWidget(sgAccPLs);

    auto* keys = new QGroupBox(QStringLiteral("KeyInterestTable"), this);
    auto* keyLayout = new QGridLayout(keys);
    for (std::size_t i = 0; i < KeyInterestBoxes.size(); ++i) {
        const KeyBox& key = KeyInterestBoxes[i];
        keyBoxes[i] = makeBox(keys, std::string(key.objectName).c_str(),
                              QString::fromUtf8(key.caption.data(), static_cast<int>(key.caption.size())));
        keyLayout->addWidget(keyBoxes[i], static_cast<int>(i % 6), static_cast<int>(i / 6));
    }

    auto* apps = new QGroupBox(QStringLiteral("ApplicationManagementTable"), this);
    sgAppManage = makeTable(apps, "sgAppManage", AppManageHeaders);
    sgProfiles = makeTable(apps, "sgProfiles", ProfileHeaders);
    sgNames = makeTable(apps, "sgNames", NameHeaders);
    sgParams = makeTable(apps, "sgParams", ParameterHeaders);
    auto* details = new QHBoxLayout;
    details->addWidget(sgProfiles);
    details->addWidget(sgNames);
    details->addWidget(sgParams);
    auto* appLayout = new QVBoxLayout(apps);
    appLayout->addWidget(sgAppManage, 2);
    appLayout->addLayout(details, 1);

    auto* access = new QGroupBox(QStringLiteral("FileAccessInfo"), this);
    eDirectoryPath = new QLineEdit(access);
    eDirectoryPath->setObjectName(QStringLiteral("eDirectoryPath"));
    eDirectoryPath->setReadOnly(true);
    (new QHBoxLayout(access))->addWidget(eDirectoryPath);

    auto* top = new QHBoxLayout;
    top->addWidget(terminal);
    top->addWidget(cache, 1);
    top->addWidget(playlists, 1);
    top->addWidget(keys);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pickerRow(this, QStringLiteral("BD-J object"), cbBDJO, bReadBDJO));
    layout->addLayout(top, 2);
    layout->addWidget(apps, 3);
    layout->addWidget(access);

    connect(bReadBDJO, &QPushButton::clicked, this, &BdjoPage::bReadBDJOClick);
    connect(cbBDJO, &QComboBox::currentIndexChanged, this, &BdjoPage::cbBDJOChange);
    connect(sgAppManage->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BdjoPage::sgAppManageClick);
    connect(sgAccPLs, &PlaylistGrid::cellDoubleClicked, this, [this](int row) {
        const auto& names = m_session.bdjo.TableOfAccessiblePlayLists.PlayList_file_names;
        if (row >= 0 && static_cast<std::size_t>(row) < names.size() &&
            !names[static_cast<std::size_t>(row)].empty())
            emit playlistRequested(QString::fromStdString(names[static_cast<std::size_t>(row)]));
    });
}

void BdjoPage::fillFromSession() {
    fillPicker(cbBDJO, m_session.bdjoFiles);
    bReadBDJO->setEnabled(cbBDJO->count() > 0);
}

void BdjoPage::clear() {
    cbBDJO->clear();
    bReadBDJO->setEnabled(false);
    clearFields();
}

const TBDJO& BdjoPage::bdjo() const {
    return m_session.bdjo;
}

void BdjoPage::cbBDJOChange() {
    if (m_session.options.AutoRead && cbBDJO->currentIndex() >= 0 && !m_session.BDMVdir.empty())
        bReadBDJOClick();
}

int BdjoPage::objectCount() const {
    return cbBDJO->count();
}

void BdjoPage::readObject(int position) {
    {
        const QSignalBlocker quiet(cbBDJO); // read once, not again through Auto Read
        cbBDJO->setCurrentIndex(position);
    }
    bReadBDJO->click();
}

void BdjoPage::bReadBDJOClick() {
    if (cbBDJO->currentIndex() < 0) return;
    readBDJOFile(m_session, cbBDJO->currentText().toStdString(), m_session.bdjo);
    showBdjo();
    cbBDJO->setFocus();
}

void BdjoPage::clearFields() {
    eDefaultFont->clear();
    heInitHAVi->clear();
    cbMenuCallMask->setChecked(false);
    cbTitleSearchMask->setChecked(false);
    cbAccesAll->setChecked(false);
    cbAutostartfPL->setChecked(false);
    for (QCheckBox* box : keyBoxes) box->setChecked(false);
    eDirectoryPath->clear();
    for (PlaylistGrid* table : {sgAppCacheInf, sgAccPLs, sgAppManage, sgProfiles, sgNames, sgParams}) {
        fillTable(table, {});
        table->setEnabled(false);
    }
}

void BdjoPage::showBdjo() {
    clearFields();
    eDefaultFont->setText(QString::fromStdString(m_session.bdjo.default_font));
    if (!m_session.bdjo.type_indicator.empty())
        heInitHAVi->setText(QString::number(m_session.bdjo.initial_HAVi_configuration_id, 16).toUpper());
    cbMenuCallMask->setChecked(m_session.bdjo.menu_call_mask != 0);
    cbTitleSearchMask->setChecked(m_session.bdjo.title_search_mask != 0);

    const auto cacheRows = appCacheRows(m_session.bdjo);
    fillTable(sgAppCacheInf, cacheRows);
    sgAppCacheInf->setEnabled(!cacheRows.empty());
    cbAccesAll->setChecked(m_session.bdjo.TableOfAccessiblePlayLists.access_to_all_flag != 0);
    cbAutostartfPL->setChecked(m_session.bdjo.TableOfAccessiblePlayLists.autostart_first_PlayList_flag != 0);
    const auto playlistRows = accessiblePlayListRows(m_session.bdjo);
    fillTable(sgAccPLs, playlistRows);
    sgAccPLs->setEnabled(!playlistRows.empty());
    const auto appRows = applicationRows(m_session.bdjo);
    fillTable(sgAppManage, appRows);
    sgAppManage->setEnabled(!appRows.empty());
    for (std::size_t i = 0; i < KeyInterestBoxes.size(); ++i)
        keyBoxes[i]->setChecked((m_session.bdjo.KeyInterestTable >> KeyInterestBoxes[i].bit) & 1u);
    eDirectoryPath->setText(QString::fromStdString(m_session.bdjo.FileAccessInfo.directory_paths));
    if (!appRows.empty()) sgAppManage->selectRow(0);
    sgAppManageClick();
}

void BdjoPage::sgAppManageClick() {
    const auto& apps = m_session.bdjo.ApplicationManagementTable.applications;
    const int row = sgAppManage->currentRow();
    if (apps.empty()) return;
    const Tapplication& app =
        apps[static_cast<std::size_t>(std::clamp(row, 0, static_cast<int>(apps.size()) - 1))];
    fillTable(sgProfiles, profileRows(app));
    fillTable(sgNames, nameRows(app));
    fillTable(sgParams, parameterRows(app));
    for (PlaylistGrid* table : {sgProfiles, sgNames, sgParams}) table->setEnabled(true);
}

} // namespace corvane
