#include "graphics/ObjectPicture.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGMenu.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuEdit.h"
#include "menu/MenuLimits.h"
#include "navigation/CommandText.h"
#include "navigation/Registers.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/Mux.h"

#include "app/MenuPage.h"

#include "app/EditHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "app/BusyGuard.h"
#include "app/PictureConvert.h"
#include "app/PlaylistPageGrid.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane {

namespace {

constexpr int BogsTab = 0;
constexpr int EffectsTab = 1;
constexpr int ObjectsTab = 2;

} // namespace

MenuPage::MenuPage(Session& session, EditHistory& history, QWidget* parent)
    : QWidget(parent), m_session(session), m_history(history) {
    setObjectName(QStringLiteral("tsMenu"));
    buildLayout();
    chooseFile = [this](bool save, const QString& title, const QString& proposed, const QString& filter) {
        return save ? QFileDialog::getSaveFileName(this, title, proposed, filter)
                    : QFileDialog::getOpenFileName(this, title, proposed, filter);
    };
    m_busy = new BusyGuard([this] { return busyControls(); }, this);
    connect(m_busy, &BusyGuard::engagedChanged, this, [this](bool engaged) {
        // The page shown may have changed under the loop.
        if (!engaged) sgBOG->setEnabled(currentPage() >= 0);
        // No undo while a loop walks the menu: the stack answers again when the loop ends (the
        // other pages are locked meanwhile, so the active stack cannot change under it).
        QUndoStack* stack = m_history.stack(EditedDocument::Menu);
        if (engaged && stack->isActive()) {
            m_undoHeld = true;
            stack->setActive(false);
        } else if (!engaged && m_undoHeld) {
            m_undoHeld = false;
            stack->setActive(true);
        }
    });
    // Cancel ends an effect playback; the request does not outlive the operation.
    const auto forgetCancel = [this] { m_session.reporter.CancelRequested = false; };
    connect(m_busy, &BusyGuard::started, this, forgetCancel);
    connect(m_busy, &BusyGuard::finished, this, forgetCancel);
    setupSimulator();
    connectControls();
    connectTables();
    connectStructure();
    connectPageView();
    m_history.setRefresh(EditedDocument::Menu, [this] { refreshFromModel(); });
    clearMenuPage();
    bbLoadIGObj->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{gbMenuHead, gbIGSInfo, pcMenu}) w->setEnabled(false);
}

MenuPage::~MenuPage() = default;

TMenu& MenuPage::menu() {
    return m_session.menu;
}

bool MenuPage::hasMenu() const {
    return m_session.menuOpen;
}

QCheckBox* MenuPage::viewOptionBox(ViewOption option) const {
    switch (option) {
    case ViewOption::ButtonId:
        return cbButtonId;
    case ViewOption::ObjectId:
        return cbObjectId;
    case ViewOption::ButtonFrame:
        return cbButtonFrame;
    case ViewOption::WindowFrame:
        return cbWindowFrame;
    case ViewOption::InEffect:
        return cbInEffect;
    case ViewOption::OutEffect:
        return cbOutEffect;
    case ViewOption::Animate:
        return cbAnimate;
    case ViewOption::FullScreen:
        return cbFullScreen;
    case ViewOption::PlaySound:
        return cbPlaySound;
    }
    return nullptr;
}

void MenuPage::focusPagePicker() {
    if (cbPage->isEnabled()) cbPage->setFocus();
}

std::vector<QWidget*> MenuPage::busyControls() const {
    // Not the page view nor the object views: the pictures stay as they are drawn.
    std::vector<QWidget*> controls{bLoadMenu,
                                   bMux,
                                   gbMenuHead,
                                   gbIGSInfo,
                                   sgBOG,
                                   sgButton,
                                   sgMCommands,
                                   pcMenu->widget(EffectsTab),
                                   pcMenu->widget(ObjectsTab)};
    if (windowBusyControls)
        for (QWidget* control : windowBusyControls()) controls.push_back(control);
    return controls;
}

void MenuPage::connectControls() {
    connect(bLoadMenu, &QPushButton::clicked, this, &MenuPage::bLoadMenuClick);
    connect(bMux, &QPushButton::clicked, this, &MenuPage::bMuxClick);
    connect(cbPage, &QComboBox::currentIndexChanged, this, &MenuPage::cbPageChange);
    connect(cbComposition, &QComboBox::activated, this, [this](int index) {
        const int shown = m_composition;
        if (index == shown) return;
        // Declined or unreadable: the picker goes back to the composition shown.
        if (!loadMenuFile(m_menuPath, index)) {
            const QSignalBlocker quiet(cbComposition);
            cbComposition->setCurrentIndex(shown);
        }
    });
    connect(sgIGObjects, &PlaylistGrid::cellClicked, this, [this](int row) { sgIGObjectsClick(row); });
    connect(cbObjects, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < sgIGObjects->dataRows()) sgIGObjects->selectDataRow(index);
        showObjectView();
    });
    connect(cbPalettes, &QComboBox::currentIndexChanged, this, &MenuPage::showObjectView);
    connect(cbPalOnly, &QCheckBox::toggled, this, &MenuPage::showObjectView);
    connect(iObject, &PictureBox::pointerMoved, this, &MenuPage::iObjectMouseMove);
    connect(iBOG, &PictureBox::pointerMoved, this, &MenuPage::iObjectMouseMove);
    connect(bbSaveIGObj, &QToolButton::clicked, this, &MenuPage::bbSaveIGObjClick);
    connect(bbLoadIGObj, &QToolButton::clicked, this, &MenuPage::bbLoadIGObjClick);
    connect(actPngNewPalette, &QAction::triggered, this, [this] { importPng(std::nullopt); });
    connect(actPngIntoPalette, &QAction::triggered, this, [this] {
        if (cbPalettes->count() > 0) importPng(chosenPalette());
    });
    connect(bbLoadIGObj->menu(), &QMenu::aboutToShow, this, &MenuPage::updateImportMenu);
    connect(cbPalettes, &QComboBox::currentIndexChanged, this, &MenuPage::updateImportMenu);
}

void MenuPage::clearMenuPage() {
    const QSignalBlocker page(cbPage), objects(cbObjects), palettes(cbPalettes), bogs(sgBOG);
    sgBOG->setColumns(std::vector<std::array<std::string, 3>>(1));
    for (PlaylistGrid* grid :
         {sgButton, sgMCommands, sgEffWindows, sgEffEffects, sgEffCompObjects, sgIGObjects})
        grid->clearRows();
    bbSaveIGObj->setEnabled(false);
    bbLoadIGObj->setEnabled(true);
    cbPage->clear();
    {
        const QSignalBlocker quiet(cbComposition);
        cbComposition->clear();
    }
    cbComposition->hide();
    cbObjects->clear();
    cbPalettes->clear();
    meIGInTime->clear();
    eUTO->clear();
    lPagenum->clear();
    lIGObjnum->clear();
    iObject->clear();
    iBOG->clear();
    for (THexEdit* edit : {heUO1, heUO2, heDefSelButt, heDefActButt, hePalette}) edit->clear();
    for (TIntEdit* edit : {ieFramerate, ieInEffWin, ieInEffEff, ieOutEffWin, ieOutEffEff, ieBOGs})
        edit->clear();
    gbObjPal->setEnabled(false);
    sgIGObjects->setEnabled(false);
}

void MenuPage::bLoadMenuClick() {
    const QString folder = QString::fromStdString(m_session.options.WorkDir);
    const QString path =
        chooseFile(false, QStringLiteral("Load Menu"), folder, QStringLiteral("Menu (*.mnu)"));
    if (path.isEmpty()) return;
    loadMenuFile(path);
}

bool MenuPage::loadMenuFile(const QString& path, int composition) {
    if (m_busy->running()) return false;
    if (!m_history.confirmDiscard({EditedDocument::Menu})) return false;
    // A file that cannot be read leaves the menu in memory as it was.
    ReadStatus status = ReadStatus::FileError;
    std::vector<CompositionEntry> compositions;
    {
        const BusyGuard::Operation operation(*m_busy); // the read pumps events between segments
        status = loadMNUFile(m_session, path.toStdString(), m_session.menu,
                             static_cast<std::size_t>(std::max(composition, 0)), &compositions);
    }
    if (status != ReadStatus::FileError) m_history.setMenuName(QFileInfo(path).fileName());
    const bool shown = menuRead(status);
    if (shown) showCompositions(path, compositions, composition);
    return shown;
}

void MenuPage::showCompositions(const QString& path, const std::vector<CompositionEntry>& compositions,
                                int chosen) {
    {
        const QSignalBlocker quiet(cbComposition);
        cbComposition->clear();
        if (compositions.size() > 1)
            for (std::size_t i = 0; i < compositions.size(); ++i)
                cbComposition->addItem(QString::fromStdString(compositionTitle(i, compositions[i])));
        cbComposition->setCurrentIndex(chosen);
    }
    m_menuPath = path;
    m_composition = chosen;
    cbComposition->setToolTip(QStringLiteral("%1 compositions").arg(compositions.size()));
    cbComposition->setVisible(compositions.size() > 1);
}

bool MenuPage::menuRead(ReadStatus status) {
    if (status == ReadStatus::FileError) return false;
    m_history.documentReplaced(EditedDocument::Menu);
    if (status == ReadStatus::Cancelled) {
        clearMenuPage();
        m_session.menuOpen = false;
        bMux->setEnabled(false);
        return false;
    }
    MenuOn();
    return true;
}

void MenuPage::MenuOn() {
    m_session.interpreter.ResetRegs(registerDefaults(m_session.options));
    fillPage();
}

void MenuPage::bCreateMenuClick() {
    if (!m_history.confirmDiscard({EditedDocument::Menu})) return;
    m_session.menu = createMenu();
    m_history.setMenuName(QStringLiteral("new menu"));
    m_history.documentReplaced(EditedDocument::Menu);
    fillPage();
}

void MenuPage::fillPage() {
    clearMenuPage();
    m_session.menuOpen = true;
    bMux->setEnabled(true);
    const TMenu& m = menu();
    const TIGSc& ics = m.IGSc;
    {
        const QSignalBlocker objects(cbObjects), palettes(cbPalettes), pages(cbPage);
        fillObjectList();
        for (const TIGPalette& palette : m.IGPalettes)
            cbPalettes->addItem(QString::fromStdString(hexText(palette.palette_id, 2)),
                                int{palette.palette_id});
        cbPalettes->setCurrentIndex(cbPalettes->count() > 0 ? 0 : -1);
        cbObjects->setToolTip(QStringLiteral("%1 objects").arg(m.IGObjects.size()));
        cbPalettes->setToolTip(QStringLiteral("%1 palettes").arg(m.IGPalettes.size()));
        for (const TPage& page : ics.pages) cbPage->addItem(QString::number(page.page_id), int{page.page_id});
    }
    cbVideo->setCurrentIndex(videoFormatIndex(ics));
    cbFrame->setCurrentIndex(ics.frame_rate_id < cbFrame->count() ? ics.frame_rate_id : -1);
    eUTO->setText(QString::fromStdString(menuTimeOutText(ics.user_time_out_duration)));
    meIGInTime->setText(QString::fromStdString(menuInTimeText(m.MenuInTime)));
    lPagenum->setText(QStringLiteral("(%1)").arg(ics.number_of_pages));
    for (QWidget* w : std::initializer_list<QWidget*>{gbMenuHead, gbIGSInfo, pcMenu, sgButton, sgMCommands,
                                                      sgBOG, cbPage, cbPalettes, cbObjects})
        w->setEnabled(true);
    gbObjPal->setEnabled(!m.IGObjects.empty() && !m.IGPalettes.empty());
    {
        const QSignalBlocker pages(cbPage);
        cbPage->setCurrentIndex(cbPage->count() > 0 ? 0 : -1);
    }
    cbPageChange();
    showObjectView();
    emit menuOpened();
}

void MenuPage::fillObjectList() {
    const TMenu& m = menu();
    std::vector<std::vector<std::string>> rows;
    rows.reserve(m.IGObjects.size());
    for (std::size_t i = 0; i < m.IGObjects.size(); ++i) {
        const TIGobject& object = m.IGObjects[i];
        rows.push_back({hexText(object.object_id, 4), std::to_string(object.object_width),
                        std::to_string(object.object_height), getobjref(m, static_cast<std::uint16_t>(i))});
        cbObjects->addItem(QString::fromStdString(hexText(i, 4)), static_cast<int>(i));
    }
    sgIGObjects->setRows(rows);
    sgIGObjects->setCellAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const bool any = !m.IGObjects.empty();
    sgIGObjects->setEnabled(any);
    bbSaveIGObj->setEnabled(any);
    lIGObjnum->setText(any ? QStringLiteral("%1 objects").arg(m.IGObjects.size()) : QString());
    cbObjects->setCurrentIndex(any ? 0 : -1);
    if (any) sgIGObjects->selectDataRow(0);
}

void MenuPage::refreshFromModel() {
    if (!m_session.menuOpen) return;
    refreshMenuHead();
    TMenu& m = menu();
    // Pictures of an object or palette that an undone import added belong to no object now.
    std::erase_if(m.objectCache, [&m](const auto& entry) {
        return entry.first.first >= m.IGObjects.size() || entry.first.second >= m.IGPalettes.size();
    });
    const auto clamped = [](int index, int count) {
        return count == 0 ? -1 : std::clamp(index, 0, count - 1);
    };
    const int object = cbObjects->currentIndex();
    const int palette = cbPalettes->currentIndex();
    const int bog = sgBOG->currentColumn();
    const int bogRow = std::max(0, sgBOG->currentIndex().row());
    const int button = sgButton->currentRow();
    const int buttonColumn = std::max(0, sgButton->currentColumn());
    const int line = sgMCommands->currentRow();
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    const int compObject = sgEffCompObjects->dataRows() > 0 ? sgEffCompObjects->currentRow() : -1;
    {
        const QSignalBlocker objects(cbObjects), palettes(cbPalettes), grid(sgIGObjects);
        cbObjects->clear();
        fillObjectList();
        cbPalettes->clear();
        for (const TIGPalette& entry : m.IGPalettes)
            cbPalettes->addItem(QString::fromStdString(hexText(entry.palette_id, 2)), int{entry.palette_id});
        cbObjects->setCurrentIndex(clamped(object, cbObjects->count()));
        if (cbObjects->currentIndex() >= 0) sgIGObjects->selectDataRow(cbObjects->currentIndex());
        cbPalettes->setCurrentIndex(clamped(palette, cbPalettes->count()));
        cbObjects->setToolTip(QStringLiteral("%1 objects").arg(m.IGObjects.size()));
        cbPalettes->setToolTip(QStringLiteral("%1 palettes").arg(m.IGPalettes.size()));
    }
    gbObjPal->setEnabled(!m.IGObjects.empty() && !m.IGPalettes.empty());
    eUTO->setText(QString::fromStdString(userTimeOutText(m)));
    const int page = currentPage();
    if (page >= 0) {
        fillHead(page);
        fillBOGs(page); // its first BOG and button
        if (bog > 0 && bog < sgBOG->columnCount()) sgBOG->setCurrentCell(bogRow, bog);
        if (button >= 0 && button < sgButton->dataRows()) sgButton->setCurrentCell(button, buttonColumn);
        if (line >= 0 && line < sgMCommands->dataRows()) sgMCommands->selectDataRow(line);
        fillEffects(); // its first effect and object
        if (effect > 0 && effect < sgEffEffects->dataRows()) {
            sgEffEffects->selectDataRow(effect);
            sgEffEffectsClick(effect);
        }
        if (compObject > 0 && compObject < sgEffCompObjects->dataRows()) {
            sgEffCompObjects->selectDataRow(compObject);
            sgEffCompObjectsClick(compObject);
        }
    }
    // The page shown gets its button states as a page change builds them, without the
    // in-effects a page change plays.
    const std::size_t shown = m_session.interpreter.regs.PSR[PSR_PAGE];
    if (shown < m.IGSc.pages.size()) m.ButtonStates = buildButtonStates(m, shown);
    redrawPage();
    showObjectView();
}

int MenuPage::currentPage() const {
    const int page = cbPage->currentIndex();
    if (!m_session.menuOpen || page < 0 || static_cast<std::size_t>(page) >= m_session.menu.IGSc.pages.size())
        return -1;
    return page;
}

void MenuPage::cbPageChange() {
    const int page = currentPage();
    if (page < 0) return;
    fillHead(page);
    fillBOGs(page);
    fillEffects();
    // PSR11, the button states and the page picture (MenuPageView.cpp).
    showPageInView(page);
}

std::uint16_t MenuPage::chosenObject() const {
    const QVariant id = cbObjects->currentData();
    return id.isValid() ? static_cast<std::uint16_t>(id.toUInt()) : NoIGObject;
}

std::uint16_t MenuPage::chosenPalette() const {
    return static_cast<std::uint16_t>(cbPalettes->currentData().toUInt());
}

std::uint32_t MenuPage::objectBackground() const {
    return colourToRgb(m_session.options.colObjectBackground);
}

void MenuPage::sgIGObjectsClick(int row) {
    if (row < 0 || row >= sgIGObjects->dataRows()) return;
    const std::optional<std::uint8_t> palette = objectPalette(menu(), static_cast<std::uint16_t>(row));
    {
        const QSignalBlocker objects(cbObjects), palettes(cbPalettes);
        cbObjects->setCurrentIndex(row);
        if (palette) {
            const int item = cbPalettes->findData(int{*palette});
            if (item >= 0) cbPalettes->setCurrentIndex(item);
        }
    }
    showObjectView();
}

void MenuPage::showObjectView() {
    if (!m_session.menuOpen || pcMenu->currentIndex() != ObjectsTab) return;
    if (cbPalOnly->isChecked()) {
        if (cbPalettes->count() > 0) showPicture(chosenObject(), chosenPalette());
        return;
    }
    if (cbObjects->count() == 0 || cbPalettes->count() == 0) return;
    showPicture(chosenObject(), chosenPalette());
}

void MenuPage::showPicture(std::uint16_t objectId, std::uint16_t palette, bool pick) {
    TMenu& m = menu();
    PictureBox* target = pcMenu->currentIndex() == BogsTab ? iBOG : iObject;
    const bool paletteOnly = cbPalOnly->isChecked();
    const bool slow = !paletteOnly && objectId != NoIGObject && objectDrawable(m, objectId) &&
                      !objectPictureCached(m, objectId, palette);
    if (slow) {
        m_session.reporter.slog("Decoding RLE pixel data and build bitmaps...", 0);
        m_session.reporter.slog("", 1);
    }
    const ShownPicture shown = showButtonPic(m, objectId, palette, paletteOnly, objectBackground());
    if (slow) m_session.reporter.slog("Ready.", 0);
    if (!shown.changed) {
        // A missing object: the BOGs tab shows no other button's picture instead.
        if (target == iBOG) iBOG->clear();
        return;
    }
    if (pick && !paletteOnly && objectId != NoIGObject) {
        const QSignalBlocker objects(cbObjects), palettes(cbPalettes);
        const int item = cbObjects->findData(int{objectId});
        if (item >= 0) cbObjects->setCurrentIndex(item);
        const int pal = cbPalettes->findData(int{palette});
        if (pal >= 0) cbPalettes->setCurrentIndex(pal);
    }
    const QPixmap pixmap = toPixmap(shown.image);
    target->setPixmap(pixmap);
    target->resize(pixmap.size());
    m_session.reporter.slog(shown.status, 1);
}

void MenuPage::iObjectMouseMove(const QPoint& position) {
    auto* box = qobject_cast<PictureBox*>(sender());
    if (!m_session.menuOpen || !cbPalOnly->isChecked() || cbPalettes->count() == 0) {
        if (box) box->unsetCursor();
        return;
    }
    const std::uint16_t palette = chosenPalette();
    const bool entry = paletteEntryAt(position.x(), position.y()).has_value();
    if (box) box->setCursor(entry ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_session.reporter.slog(paletteReadout(palette, id2pal(menu(), palette), position.x(), position.y()), 1);
}

void MenuPage::bbSaveIGObjClick() {
    if (!m_session.menuOpen || cbObjects->count() == 0 || cbPalettes->count() == 0) return;
    const int row = std::max(0, sgIGObjects->currentRow());
    QString proposed = QString::fromStdString(objectSaveName(
        static_cast<std::size_t>(row), static_cast<std::size_t>(std::max(0, cbPalettes->currentIndex()))));
    if (!m_session.options.WorkDir.empty())
        proposed = QDir(QString::fromStdString(m_session.options.WorkDir)).filePath(proposed);
    QString path = chooseFile(true, QStringLiteral("Save image"), proposed + QStringLiteral(".png"),
                              QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    std::string error;
    const auto png = exportObjectPng(menu(), chosenObject(), chosenPalette(),
                                     window()->windowTitle().toStdString(), error);
    if (!png) {
        m_session.reporter.erlog(error);
        return;
    }
    const FileResult written = writeWholeFile(path.toStdString(), *png);
    if (!written.ok) m_session.reporter.fileError(written.error);
}

void MenuPage::bbLoadIGObjClick() {
    importPng(std::nullopt);
}

void MenuPage::updateImportMenu() {
    const bool any = cbPalettes->count() > 0;
    actPngIntoPalette->setEnabled(any);
    actPngIntoPalette->setText(any ? QStringLiteral("Into palette ") + cbPalettes->currentText()
                                   : QStringLiteral("Into palette"));
}

void MenuPage::importPng(std::optional<std::uint16_t> intoPalette) {
    if (!m_session.menuOpen) return;
    const QString path =
        chooseFile(false, QStringLiteral("Open image"), QString::fromStdString(m_session.options.WorkDir),
                   QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    std::string error;
    const auto bytes = readWholeFile(path.toStdString(), error);
    if (!bytes) {
        m_session.reporter.fileError(error);
        return;
    }
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Import PNG"));
    edit.keep([this]() -> std::vector<TIGobject>& { return m_session.menu.IGObjects; });
    edit.keep([this]() -> std::vector<TIGPalette>& { return m_session.menu.IGPalettes; });
    PngImportOptions options;
    options.intoPalette = intoPalette;
    const auto id = importObjectPng(menu(), *bytes, error, options);
    if (!id) {
        if (!error.empty()) error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        m_session.reporter.erlog(error);
        return;
    }
    const TMenu& m = menu();
    {
        const QSignalBlocker objects(cbObjects), palettes(cbPalettes);
        cbObjects->clear();
        fillObjectList();
        if (!intoPalette) {
            const TIGPalette& added = m.IGPalettes.back();
            cbPalettes->addItem(QString::fromStdString(hexText(added.palette_id, 2)), int{added.palette_id});
            cbPalettes->setCurrentIndex(cbPalettes->count() - 1);
        }
        cbObjects->setCurrentIndex(*id);
        sgIGObjects->selectDataRow(*id);
        cbObjects->setToolTip(QStringLiteral("%1 objects").arg(m.IGObjects.size()));
        cbPalettes->setToolTip(QStringLiteral("%1 palettes").arg(m.IGPalettes.size()));
    }
    for (QWidget* w : std::initializer_list<QWidget*>{cbObjects, cbPalettes, sgIGObjects, gbObjPal})
        w->setEnabled(true);
    showObjectView();
}

void MenuPage::bSaveClick() {
    if (!m_session.menuOpen) return;
    QString proposed = QStringLiteral("mymenu.mnu");
    if (!m_session.options.WorkDir.empty())
        proposed = QDir(QString::fromStdString(m_session.options.WorkDir)).filePath(proposed);
    QString path = chooseFile(true, QStringLiteral("Save Menu"), proposed, QStringLiteral("Menu (*.mnu)"));
    if (path.isEmpty()) {
        m_session.reporter.slogR();
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".mnu");
    if (!reportMenuLimits(m_session.reporter, menu(), "Save")) return;
    if (saveIGSFile(m_session, menu(), path.toStdString(), IGSaveMode::Mnu)) {
        m_history.setMenuName(QFileInfo(path).fileName());
        m_history.fileSaved(EditedFile::Menu);
    }
}

void MenuPage::bMuxClick() {
    if (!m_session.menuOpen) return;
    // The stream extension of the folder's name set: ".m2ts", or ".MTS" with 8.3 names.
    const QString extension = QString::fromStdString(m_session.names.StreamExt);
    QString proposed = QStringLiteral("mymenu") + extension;
    if (!m_session.options.WorkDir.empty())
        proposed = QDir(QString::fromStdString(m_session.options.WorkDir)).filePath(proposed);
    const QString bare = extension.mid(1);
    QString path = chooseFile(true, QStringLiteral("Mux Menu"), proposed,
                              bare + QStringLiteral(" (*") + extension + QStringLiteral(")"));
    if (path.isEmpty()) {
        m_session.reporter.slogR();
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) path += extension;
    // The clip information file goes beside the stream under the same name; a playlist that
    // plays it is written when a name is given for it.
    const QFileInfo stream(path);
    const QString base = stream.dir().filePath(stream.completeBaseName());
    const QString clipExtension = QString::fromStdString(m_session.names.ClipInfoExt);
    const QString listExtension = QString::fromStdString(m_session.names.PlayListExt);
    QString playlist =
        chooseFile(true, QStringLiteral("Mux Menu: playlist (cancel for none)"), base + listExtension,
                   listExtension.mid(1) + QStringLiteral(" (*") + listExtension + QStringLiteral(")"));
    if (!playlist.isEmpty() && QFileInfo(playlist).suffix().isEmpty()) playlist += listExtension;
    MuxFiles files;
    files.m2ts = path.toStdString();
    files.clpi = (base + clipExtension).toStdString();
    files.mpls = playlist.toStdString();
    files.clipName = stream.completeBaseName().left(5).toStdString();
    files.pes = tempFolder() + MuxPesFileName;
    Mux(m_session.reporter, menu(), files);
}

} // namespace corvane
