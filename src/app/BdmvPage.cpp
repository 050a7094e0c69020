#include "app/BdmvPage.h"

#include "app/EditHistory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/BdmvPageUhd.h"
#include "app/CommandEditor.h"
#include "app/NavigationGrids.h"
#include "app/SoundGroup.h"
#include "io/FileIO.h"
#include "navigation/CommandEdit.h"
#include "navigation/CommandText.h"
#include "navigation/NavigationEdit.h"
#include "navigation/ProgramList.h"
#include "shell/Session.h"
#include "widgets/AngleLabel.h"

namespace corvane {

using namespace bdmvpage;

namespace {
// Typing in the content provider field is one step until another edit comes between.
constexpr int MergeContentProviderText = 100;
} // namespace

BdmvPage::BdmvPage(Session& session, EditHistory& history, QWidget* parent)
    : QWidget(parent), m_session(session), m_history(history) {
    setObjectName(QStringLiteral("tsBDMV"));

    eBDMVdir = new QLineEdit(this);
    eBDMVdir->setObjectName(QStringLiteral("eBDMVdir"));
    eBDMVdir->setMinimumWidth(320);
    eBDMVdir->setToolTip(QStringLiteral("Type or paste a folder and press Enter to read it"));

    m_recentMenu = new QMenu(this);
    m_recentMenu->setObjectName(QStringLiteral("mRecentDirs"));
    bRecentDirs = new QToolButton(this);
    bRecentDirs->setObjectName(QStringLiteral("bRecentDirs"));
    bRecentDirs->setText(QStringLiteral("Recent"));
    bRecentDirs->setToolTip(QStringLiteral("Recent folders"));
    bRecentDirs->setPopupMode(QToolButton::InstantPopup);
    bRecentDirs->setMenu(m_recentMenu);
    bRecentDirs->setEnabled(false);

    bbOpenDir = new QToolButton(this);
    bbOpenDir->setObjectName(QStringLiteral("bbOpenDir"));
    bbOpenDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbOpenDir->setToolTip(QStringLiteral("Select a directory"));

    bReadBDMV = new QPushButton(QStringLiteral("Read"), this);
    bReadBDMV->setObjectName(QStringLiteral("bReadBDMV"));
    bReadBDMV->setToolTip(QStringLiteral("Check and read the BDMV folder"));

    auto* label = new QLabel(QStringLiteral("BDMV folder"), this);
    label->setBuddy(eBDMVdir);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(eBDMVdir, 1);
    row->addWidget(bRecentDirs);
    row->addWidget(bbOpenDir);
    row->addWidget(bReadBDMV);

    auto* indexBox = new QGroupBox(QStringLiteral("index.bdmv"), this);
    auto* objectBox = new QGroupBox(QStringLiteral("MovieObject.bdmv"), this);
    buildIndexGroup(indexBox);
    buildObjectGroup(objectBox);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(indexBox);
    splitter->addWidget(objectBox);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(splitter, 1);

    chooseProgramListFile = [this](const QString& start, const QString& filter, QString* selected) {
        return QFileDialog::getSaveFileName(this, qs(ProgramListDialogTitle), start, filter, selected);
    };

    invalidLineBeep = [] { QApplication::beep(); };

    connect(bbOpenDir, &QToolButton::clicked, this, &BdmvPage::bbOpenDirClick);
    // Read and Enter take the field as it stands, typed or pasted.
    connect(bReadBDMV, &QPushButton::clicked, this, [this] { openPath(eBDMVdir->text()); });
    connect(eBDMVdir, &QLineEdit::returnPressed, this, [this] {
        if (bReadBDMV->isEnabled()) openPath(eBDMVdir->text());
    });
    connectControls();
    fillFromSession();
    m_history.setRefresh(EditedDocument::Navigation, [this] { refreshFromHistory(); });
}

void BdmvPage::connectControls() {
    connect(eContent, &QLineEdit::textEdited, this, [this](const QString& text) {
        EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Edit content provider"),
                       MergeContentProviderText);
        edit.keep([this]() -> std::string& { return m_session.index.content_provider_user_data; });
        setContentProvider(m_session.index, text.toStdString());
        // The field shows what the file will hold: '?' for a character outside Latin-1.
        const QString stored = qs(contentProviderText(m_session.index));
        if (stored == text) return;
        const int at = eContent->cursorPosition();
        eContent->setText(stored);
        eContent->setCursorPosition(std::min<int>(at, static_cast<int>(stored.size())));
    });

    // First Playback and Top Menu.
    for (QCheckBox* box : {cbFPBon, cbTMon}) {
        const bool fpb = box == cbFPBon;
        connect(box, &QCheckBox::toggled, this, [this, fpb](bool on) {
            if (m_filling) return;
            const QString what = fpb ? QStringLiteral("First Playback") : QStringLiteral("Top Menu");
            EditScope edit(&m_history, EditedDocument::Navigation,
                           (on ? QStringLiteral("Turn on ") : QStringLiteral("Turn off ")) + what);
            keepMenuEntry(edit, fpb);
            menuEntryChanged(fpb);
        });
    }
    for (QComboBox* box : {cbFPBtype, cbFPBObject, cbFPBTitlePBtype, cbTMtype, cbTMObject}) {
        const bool fpb = box == cbFPBtype || box == cbFPBObject || box == cbFPBTitlePBtype;
        connect(box, &QComboBox::currentIndexChanged, this, [this, box, fpb](int item) {
            if (m_filling || item < 0) return;
            EditScope edit(&m_history, EditedDocument::Navigation,
                           fpb ? QStringLiteral("Edit First Playback") : QStringLiteral("Edit Top Menu"));
            keepMenuEntry(edit, fpb);
            TTitleEntry& entry =
                fpb ? m_session.index.Indexes.first_playback : m_session.index.Indexes.top_menu;
            QComboBox* objects = fpb ? cbFPBObject : cbTMObject;
            if (box == cbFPBtype || box == cbTMtype) {
                setEntryObjectType(entry, item,
                                   static_cast<std::uint16_t>(std::max(0, objects->currentIndex())));
            } else if (box == cbFPBTitlePBtype) {
                setEntryPlaybackType(entry, item);
            } else if (entry.object_type == ObjectTypeHDMV) {
                setEntryObject(entry, static_cast<std::uint16_t>(item));
                setObjectSG(item);
            }
            menuEntryChanged(fpb);
        });
    }

    // Titles.
    connect(sgTitles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling && current.isValid()) titleClick(current.row());
            });
    connect(cbTitleNo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) cbTitleNoChange();
    });
    for (QComboBox* box : {cbTitleOT, cbTitleAT, cbTitlePBT, cbTitleOID, cbTitleFN})
        connect(box, &QComboBox::currentIndexChanged, this, [this, box](int item) {
            if (!m_filling && item >= 0) titlePickerChanged(box, item);
        });
    connect(bbTiins, &QToolButton::clicked, this, &BdmvPage::bbTiinsClick);
    connect(bbTidel, &QToolButton::clicked, this, &BdmvPage::bbTidelClick);
    connect(sgTitles, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { sgTitlesDblClick(index.row()); });
    connect(sgTitles, &NavGridView::insertKey, this, &BdmvPage::bbTiinsClick);
    connect(sgTitles, &NavGridView::deleteKey, this, &BdmvPage::bbTidelClick);

    // Objects.
    connect(sgObject->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling && current.isValid()) objectClick(current.row());
            });
    for (QComboBox* box : {cbResume, cbMenuCall, cbTitleSearch})
        connect(box, &QComboBox::currentIndexChanged, this, [this, box](int item) {
            if (!m_filling && item >= 0) objectFlagChanged(box, item);
        });
    connect(bbObins, &QToolButton::clicked, this, &BdmvPage::bbObinsClick);
    connect(bbObdel, &QToolButton::clicked, this, &BdmvPage::bbObdelClick);
    connect(sgObject, &NavGridView::insertKey, this, &BdmvPage::bbObinsClick);
    connect(sgObject, &NavGridView::deleteKey, this, &BdmvPage::bbObdelClick);

    // Command lines and the editor.
    connect(sgCommands->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling) sgCommandsClick(current.isValid() ? current.row() : -1);
            });
    connect(sgCommands, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!commandModel->editable()) sgCommandsDblClick(index.row());
    });
    connect(sgCommands, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit commandLineClicked(index.row()); });
    connect(sgCommands, &NavGridView::insertKey, this, &BdmvPage::bbNCinsClick);
    connect(sgCommands, &NavGridView::deleteKey, this, &BdmvPage::bbNCdelClick);
    connect(sgCommands, &NavGridView::nopKey, this, &BdmvPage::nopSelectedLine);
    connect(sgCommands, &NavGridView::arrowMoved, this, [this](int line) {
        const TNavCommand* command = commandModel->command(line);
        if (command &&
            commandLineClass(command->opcode, CommandContext::MovieObject) == CommandLineClass::Invalid)
            invalidLineBeep();
    });
    connect(commandModel, &CommandTableModel::wordTyped, this, [this](int line, int word, quint32 value) {
        const TNavCommand* command = commandModel->command(line);
        if (!command) return;
        const TNavCommand changed =
            word == 0 ? setOpcodeWord(*command, value)
                      : setOperandWord(*command, word == 1 ? Operand::Destination : Operand::Source, value);
        storeCommand(line, changed, QStringLiteral("Edit command line"));
        if (line == selectedLine()) commandEditor->showCommand(changed);
    });
    connect(commandEditor, &CommandEditor::edited, this, [this](const TNavCommand& command) {
        storeCommand(selectedLine(), command, QStringLiteral("Edit command line"));
    });
    connect(commandEditor, &CommandEditor::returnToGrid, this, [this] { sgCommands->setFocus(); });
    connect(commandEditor, &CommandEditor::hintChanged, sgCommands, &QWidget::setToolTip);
    connect(bbNCins, &QToolButton::clicked, this, &BdmvPage::bbNCinsClick);
    connect(bbNCdel, &QToolButton::clicked, this, &BdmvPage::bbNCdelClick);
    connect(bbSaveCommands, &QToolButton::clicked, this, &BdmvPage::bbSaveCommandsClick);

    connect(bIndExDatEdit, &QPushButton::clicked, this, &BdmvPage::bIndExDatEditClick);
    connect(bObjExtDatEdit, &QPushButton::clicked, this, &BdmvPage::bObjExtDatEditClick);
}

void BdmvPage::setFolder(const std::string& bdmvDir) {
    m_session.BDMVdir = bdmvDir;
    eBDMVdir->setText(QString::fromStdString(bdmvDir));
}

void BdmvPage::openPath(const QString& path) {
    const QString typed = path.trimmed();
    if (!typed.isEmpty() && QString::fromStdString(m_session.BDMVdir) != typed) {
        const QFileInfo info(QDir::cleanPath(QDir::fromNativeSeparators(typed)));
        std::string folder;
        if (info.isFile())
            folder = QDir::toNativeSeparators(info.absolutePath()).toStdString() + pathSeparator();
        else if (info.isDir())
            folder = bdmvFolderFromChosen(QDir::toNativeSeparators(info.absoluteFilePath()).toStdString());
        else
            // A folder that is not there: the read names it.
            folder = QDir::toNativeSeparators(info.absoluteFilePath()).toStdString() + pathSeparator();
        setFolder(folder);
    }
    emit readRequested();
}

void BdmvPage::setRecentFolders(const QStringList& folders) {
    m_recentMenu->clear();
    for (const QString& folder : folders)
        m_recentMenu->addAction(folder, this, [this, folder] { openPath(folder); });
    bRecentDirs->setEnabled(!folders.isEmpty());
}

void BdmvPage::setReadEnabled(bool enabled) {
    bReadBDMV->setEnabled(enabled);
}

bool BdmvPage::readEnabled() const {
    return bReadBDMV->isEnabled();
}

void BdmvPage::bbOpenDirClick() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Select a directory"),
                                          QString::fromStdString(chooserStartFolder(m_session.BDMVdir)));
    if (chosen.isEmpty()) return;
    setFolder(bdmvFolderFromChosen(QDir::toNativeSeparators(chosen).toStdString()));
    if (m_session.options.AutoRead) emit readRequested();
}

// ---- filling ----

void BdmvPage::fillFromSession() {
    m_filling = true;
    fillObjects();
    fillIndex();
    m_filling = false;
    setObjectSG(0);
    if (m_session.indexStatus == ReadStatus::Ok && !m_session.index.Indexes.titles.empty()) selectTitle(0);
    labels();
    gbSound->fillFromSession();
    emit saveStateChanged();
}

// After an undo or redo: everything from the session again, at the same title, object and
// line where they still exist (the nearest one otherwise).
void BdmvPage::refreshFromHistory() {
    const int title = cbTitleNo->currentIndex();
    const int object = selectedObject();
    const int line = selectedLine();
    const bool editable = commandModel->editable();
    m_filling = true;
    fillObjects();
    fillIndex();
    m_filling = false;
    const int titles = titleModel->titleCount();
    if (m_session.indexStatus == ReadStatus::Ok && titles > 0) {
        // The title alone: its object is not made current, the object shown stays.
        m_filling = true;
        cbTitleNo->setCurrentIndex(std::clamp(title, 0, titles - 1));
        m_filling = false;
        cbTitleNoChange();
    }
    const int objects = objectModel->objectCount();
    setObjectSG(objects == 0 ? -1 : std::clamp(object, 0, objects - 1));
    const int lines = commandModel->lineCount();
    if (lines > 0) selectLine(std::clamp(line, 0, lines - 1));
    setCommandsEditable(editable);
    labels();
    gbSound->refreshFromSession();
    emit saveStateChanged();
}

void BdmvPage::keepMenuEntry(EditScope& edit, bool firstPlayback) {
    if (firstPlayback)
        edit.keep([this]() -> TTitleEntry& { return m_session.index.Indexes.first_playback; });
    else
        edit.keep([this]() -> TTitleEntry& { return m_session.index.Indexes.top_menu; });
}

void BdmvPage::fillObjects() {
    const bool ok = m_session.mobjStatus == ReadStatus::Ok;
    // Without a readable index nothing can be saved, so nothing is edited either.
    const bool editable = m_session.navigationReadable();
    objectModel->reload();
    commandModel->setObject(-1);
    setCommandsEditable(false);
    setNames(cbResume, ResumeNames);
    setNames(cbMenuCall, MaskNames);
    setNames(cbTitleSearch, MaskNames);
    fillObjectPickers();
    lObjExtDat->setText(ok ? qs(ExtDatCap(m_session.mobj.ExtensionData)) : QString());
    bObjExtDatEdit->setEnabled(editable);
    sgObject->setEnabled(editable);
    sgCommands->setEnabled(editable);
    bbObins->setEnabled(editable);
    commandEditor->setPickersEnabled(editable);
    updateObjectPickerStates();
}

void BdmvPage::fillObjectPickers() {
    const bool wasFilling = m_filling;
    m_filling = true;
    QStringList numbers;
    const std::size_t count = m_session.mobj.MovieObjects.mobjs.size();
    numbers.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) numbers << QString::number(i);
    for (QComboBox* box : {cbTitleOID, cbFPBObject, cbTMObject}) {
        box->clear();
        box->addItems(numbers);
    }
    m_filling = wasFilling;
}

void BdmvPage::fillTitlePickerNumbers() {
    const bool wasFilling = m_filling;
    m_filling = true;
    const int count = titleModel->titleCount();
    while (cbTitleNo->count() > count) cbTitleNo->removeItem(cbTitleNo->count() - 1);
    for (int n = cbTitleNo->count() + 1; n <= count; ++n) cbTitleNo->addItem(QString::number(n));
    m_filling = wasFilling;
}

void BdmvPage::fillIndex() {
    const bool ok = m_session.indexStatus == ReadStatus::Ok;
    const TIndexes& indexes = m_session.index.Indexes;
    titleModel->reload();
    eContent->setText(ok ? qs(contentProviderText(m_session.index)) : QString());
    eContent->setEnabled(ok);
    sgTitles->setEnabled(ok);
    cbFPBon->setEnabled(ok);
    cbTMon->setEnabled(ok);
    bbTiins->setEnabled(ok);
    bIndExDatEdit->setEnabled(ok);
    lIndexExtDat->setText(ok ? qs(ExtDatCap(m_session.index.ExtensionData)) : QString());
    QStringList files;
    for (const std::string& name : m_session.bdjoFiles) files << QString::fromStdString(name);
    cbTitleFN->clear();
    cbTitleFN->addItems(files);
    cbTitleNo->clear();
    fillTitlePickerNumbers();
    showMenuEntry(ok ? indexes.first_playback : TTitleEntry{}, cbFPBon, cbFPBtype, cbFPBObject, cbFPBFile,
                  cbFPBTitlePBtype);
    showMenuEntry(ok ? indexes.top_menu : TTitleEntry{}, cbTMon, cbTMtype, cbTMObject, cbTMFile, nullptr);
    if (!ok) {
        cbFPBon->setChecked(false);
        cbTMon->setChecked(false);
        menuEntryChanged(true);
        menuEntryChanged(false);
    }
    updateTitlePickerStates();
    m_uhdGroup->fillFromSession();
}

void BdmvPage::showMenuEntry(const TTitleEntry& entry, QCheckBox* on, QComboBox* type, QComboBox* object,
                             QComboBox* file, QComboBox* playback) {
    const bool wasFilling = m_filling;
    m_filling = true;
    file->clear();
    for (const std::string& name : m_session.bdjoFiles) file->addItem(QString::fromStdString(name));
    const bool hdmv = entry.object_type == ObjectTypeHDMV;
    if (!hdmv && !entry.bdjo_file_name.empty()) {
        const QString name = QString::fromStdString(entry.bdjo_file_name);
        if (file->findText(name) < 0) file->addItem(name);
        file->setCurrentIndex(file->findText(name));
    }
    type->setCurrentIndex(indexOrNone(entry.object_type - 1, type->count()));
    if (playback) playback->setCurrentIndex(indexOrNone(entry.playback_type, playback->count()));
    if (hdmv) object->setCurrentIndex(indexOrNone(entry.mobj_id_ref, object->count()));
    on->setChecked(entryIsOn(entry));
    m_filling = wasFilling;
    // Enables only: the entry already holds what the controls show.
    const bool isOn = on->isChecked() && on->isEnabled();
    type->setEnabled(isOn && file->count() > 0);
    if (playback) playback->setEnabled(isOn);
    object->setEnabled(isOn && type->currentIndex() == 0);
    file->setEnabled(isOn && type->currentIndex() == 1);
}

void BdmvPage::menuEntryChanged(bool firstPlayback) {
    QCheckBox* on = firstPlayback ? cbFPBon : cbTMon;
    QComboBox* type = firstPlayback ? cbFPBtype : cbTMtype;
    QComboBox* object = firstPlayback ? cbFPBObject : cbTMObject;
    QComboBox* file = firstPlayback ? cbFPBFile : cbTMFile;
    TTitleEntry& entry =
        firstPlayback ? m_session.index.Indexes.first_playback : m_session.index.Indexes.top_menu;
    if (m_session.indexStatus == ReadStatus::Ok) {
        const int shownType = std::max(0, type->currentIndex());
        setEntryOn(entry, on->isChecked(), static_cast<std::uint8_t>(shownType + 1),
                   static_cast<std::uint16_t>(std::max(0, object->currentIndex())));
    }
    const bool isOn = on->isChecked() && on->isEnabled();
    type->setEnabled(isOn && file->count() > 0);
    if (firstPlayback) cbFPBTitlePBtype->setEnabled(isOn);
    object->setEnabled(isOn && type->currentIndex() == 0);
    file->setEnabled(isOn && type->currentIndex() == 1);
    labels();
}

// ---- titles ----

int BdmvPage::selectedTitle() const {
    const int title = cbTitleNo->currentIndex();
    return title < titleModel->titleCount() ? title : -1;
}

void BdmvPage::selectTitle(int title) {
    if (title < 0 || title >= titleModel->titleCount()) return;
    m_filling = true;
    sgTitles->selectRow(title);
    m_filling = false;
    titleClick(title);
}

void BdmvPage::titleClick(int title) {
    if (title < 0 || title >= titleModel->titleCount()) return;
    m_filling = true;
    cbTitleNo->setCurrentIndex(title);
    m_filling = false;
    cbTitleNoChange();
    const TTitleEntry& entry = m_session.index.Indexes.titles[static_cast<std::size_t>(title)];
    if (entry.object_type == ObjectTypeHDMV && entry.mobj_id_ref < m_session.mobj.MovieObjects.mobjs.size())
        setObjectSG(entry.mobj_id_ref);
}

void BdmvPage::cbTitleNoChange() {
    const int title = selectedTitle();
    if (title < 0) return;
    const TTitleEntry& entry = m_session.index.Indexes.titles[static_cast<std::size_t>(title)];
    m_filling = true;
    cbTitleOT->setCurrentIndex(indexOrNone(entry.object_type - 1, cbTitleOT->count()));
    cbTitleAT->setCurrentIndex(accessPickerIndex(entry.access_type));
    cbTitlePBT->setCurrentIndex(indexOrNone(entry.playback_type, cbTitlePBT->count()));
    if (entry.object_type == ObjectTypeHDMV)
        cbTitleOID->setCurrentIndex(indexOrNone(entry.mobj_id_ref, cbTitleOID->count()));
    else
        cbTitleFN->setCurrentIndex(cbTitleFN->findText(QString::fromStdString(entry.bdjo_file_name)));
    if (sgTitles->currentIndex().row() != title) sgTitles->selectRow(title);
    m_filling = false;
    updateTitlePickerStates();
}

void BdmvPage::updateTitlePickerStates() {
    const bool has = m_session.indexStatus == ReadStatus::Ok && titleModel->titleCount() > 0;
    const int title = selectedTitle();
    const bool hdmv =
        title >= 0 &&
        m_session.index.Indexes.titles[static_cast<std::size_t>(title)].object_type == ObjectTypeHDMV;
    for (QComboBox* box : {cbTitleNo, cbTitleAT, cbTitlePBT}) box->setEnabled(has);
    cbTitleOT->setEnabled(has && !m_session.bdjoFiles.empty());
    cbTitleOID->setEnabled(has && hdmv);
    cbTitleFN->setEnabled(has && !hdmv);
    bbTidel->setEnabled(has);
}

void BdmvPage::titlePickerChanged(QComboBox* box, int item) {
    const int title = selectedTitle();
    if (title < 0) return;
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Edit title"));
    edit.keep([this, title]() -> TTitleEntry& {
        return m_session.index.Indexes.titles[static_cast<std::size_t>(title)];
    });
    TTitleEntry& entry = m_session.index.Indexes.titles[static_cast<std::size_t>(title)];
    if (box == cbTitleOT)
        setEntryObjectType(entry, item, static_cast<std::uint16_t>(std::max(0, cbTitleOID->currentIndex())));
    else if (box == cbTitleAT)
        setEntryAccessType(entry, item);
    else if (box == cbTitlePBT)
        setEntryPlaybackType(entry, item);
    else if (box == cbTitleOID)
        setEntryObject(entry, static_cast<std::uint16_t>(item));
    else if (box == cbTitleFN)
        setEntryBdjoFile(entry, box->itemText(item).toStdString());
    titleModel->refreshRows(title, title);
    updateTitlePickerStates();
}

void BdmvPage::sgTitlesDblClick(int title) {
    if (title < 0 || title >= titleModel->titleCount()) return;
    if (m_session.index.Indexes.titles[static_cast<std::size_t>(title)].object_type != ObjectTypeBDJ) return;
    selectTitle(title);
    if (cbTitleFN->currentIndex() >= 0) emit bdjoRequested(cbTitleFN->currentIndex());
}

void BdmvPage::bbTiinsClick() {
    if (m_session.indexStatus != ReadStatus::Ok) return;
    const int count = titleModel->titleCount();
    const int last = count == 0 ? -1 : sgTitles->selectedRange().second;
    const int position = last < 0 ? count : std::min(last + 1, count);
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Insert title"));
    edit.keep([this]() -> TINDX& { return m_session.index; });
    if (!insertTitle(m_session.index, static_cast<std::size_t>(position))) return;
    titleModel->reload();
    fillTitlePickerNumbers();
    selectTitle(position);
    updateTitlePickerStates();
    labels();
    emit saveStateChanged();
}

void BdmvPage::bbTidelClick() {
    const int count = titleModel->titleCount();
    if (m_session.indexStatus != ReadStatus::Ok || count == 0) return;
    auto [first, last] = sgTitles->selectedRange();
    if (first < 0 || first >= count) return;
    last = std::min(last, count - 1);
    EditScope edit(&m_history, EditedDocument::Navigation,
                   first == last ? QStringLiteral("Delete title") : QStringLiteral("Delete titles"));
    edit.keep([this]() -> TINDX& { return m_session.index; });
    deleteTitles(m_session.index, static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    titleModel->reload();
    fillTitlePickerNumbers();
    if (titleModel->titleCount() == 0) {
        m_filling = true;
        cbTitleNo->setCurrentIndex(-1);
        m_filling = false;
    } else {
        selectTitle(std::max(first - 1, 0));
    }
    updateTitlePickerStates();
    labels();
    emit saveStateChanged();
}

bool BdmvPage::canSave() const {
    return m_session.navigationReadable() &&
           (!m_session.mobj.MovieObjects.mobjs.empty() || !m_session.index.Indexes.titles.empty());
}

void BdmvPage::bSaveClick() {
    if (!canSave()) return;
    if (saveDiscFile(m_session, m_session.BDMVdir, m_session.names.IndexName, writeIndex(m_session.index),
                     false, true))
        m_history.fileSaved(EditedFile::Index);
    if (!saveDiscFile(m_session, m_session.BDMVdir, m_session.names.MovieObjectName,
                      writeMovieObject(m_session.mobj), false, true))
        return;
    m_history.fileSaved(EditedFile::MovieObject);
    if (gbSound->save()) m_history.fileSaved(EditedFile::Sound);
}

void BdmvPage::setExtDatDialog(TfExtDat* dialog) {
    m_extDat = dialog;
    gbSound->setExtDatDialog(dialog);
}

void BdmvPage::labels() {
    const BdmvLabelTexts texts =
        BDMVlabels(m_session.index, m_session.mobj, m_session.indexStatus == ReadStatus::Ok);
    lTitlenum->setText(QString::fromStdString(texts.titles));
    lObjects->setText(QString::fromStdString(texts.objects));
}

} // namespace corvane
