// Building the menu's structure on the Menu page: pages, BOGs, buttons, their command lines,
// effects, effect windows and composition objects are inserted and deleted from the tables'
// pop-up menus and with Ins / Del; the video format, frame rate and cropped flag are set.
// Each is one step; the core keeps counts and references, the page shows the model again.

#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"
#include "menu/MenuStructure.h"
#include "navigation/Registers.h"
#include "shell/Session.h"

#include "app/MenuPage.h"

#include "app/EditHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <functional>

#include "app/BusyGuard.h"
#include "app/PlaylistPageGrid.h"
#include "widgets/RadioGroup.h"

namespace corvane {

namespace {

// Ins / Del on a widget that is no grid (the page picker).
class InsDelKeys : public QObject {
public:
    InsDelKeys(QWidget* watched, std::function<void()> insert, std::function<void()> remove)
        : QObject(watched), m_insert(std::move(insert)), m_remove(std::move(remove)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (key->key() == Qt::Key_Insert) {
            m_insert();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            m_remove();
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_insert;
    std::function<void()> m_remove;
};

// The records an edit inside one page changes: the page, its button table and the
// composition length that follows the page's size.
void keepPageStructure(EditScope& edit, Session& session, std::size_t page) {
    edit.keep([&session, page]() -> TPage& { return session.menu.IGSc.pages[page]; });
    if (page < session.menu.PageButtons.size())
        edit.keep([&session, page]() -> TPageButton& { return session.menu.PageButtons[page]; });
    edit.keep([&session]() -> std::uint32_t& { return session.menu.IGSc.interactive_composition_length; });
}

// Page inserts and deletes renumber across pages: the whole composition.
void keepComposition(EditScope& edit, Session& session) {
    edit.keep([&session]() -> TIGSc& { return session.menu.IGSc; });
    edit.keep([&session]() -> std::vector<TPageButton>& { return session.menu.PageButtons; });
}

} // namespace

void MenuPage::connectStructure() {
    // BOG and button tables: two items in their edit-mode pop-up.
    if (auto* popup = qobject_cast<QMenu*>(m_tablePopup)) {
        popup->addSeparator();
        QAction* insert = popup->addAction(QStringLiteral("Insert"));
        insert->setObjectName(QStringLiteral("miInsertItem"));
        QAction* remove = popup->addAction(QStringLiteral("Delete"));
        remove->setObjectName(QStringLiteral("miDeleteItem"));
        connect(popup, &QMenu::aboutToShow, this, [this, insert, remove] {
            const bool bog = m_popupTable == sgBOG;
            const bool button = m_popupTable == sgButton;
            const bool commands = m_popupTable == sgMCommands;
            insert->setVisible(bog || button || commands);
            remove->setVisible(bog || button || commands);
            insert->setText(bog      ? QStringLiteral("Insert BOG")
                            : button ? QStringLiteral("Insert button")
                                     : QStringLiteral("Insert line"));
            remove->setText(bog      ? QStringLiteral("Delete BOG")
                            : button ? QStringLiteral("Delete button")
                                     : QStringLiteral("Delete lines"));
        });
        connect(insert, &QAction::triggered, this, [this] {
            if (m_popupTable == sgBOG) insertBog();
            if (m_popupTable == sgButton) insertButton();
            if (m_popupTable == sgMCommands) insertButtonLine();
        });
        connect(remove, &QAction::triggered, this, [this] {
            if (m_popupTable == sgBOG) deleteBog();
            if (m_popupTable == sgButton) deleteButton();
            if (m_popupTable == sgMCommands) deleteButtonLines();
        });
    }
    connect(sgBOG, &GridView::insertKey, this, &MenuPage::insertBog);
    connect(sgBOG, &GridView::deleteKey, this, &MenuPage::deleteBog);
    connect(sgButton, &GridView::insertKey, this, &MenuPage::insertButton);
    connect(sgButton, &GridView::deleteKey, this, &MenuPage::deleteButton);
    connect(sgMCommands, &GridView::insertKey, this, &MenuPage::insertButtonLine);
    connect(sgMCommands, &GridView::deleteKey, this, &MenuPage::deleteButtonLines);

    // The page picker and the effect tables: a pop-up of their own.
    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("pmStructure"));
    QAction* insert = popup->addAction(QStringLiteral("Insert"));
    insert->setObjectName(QStringLiteral("miInsertItem"));
    QAction* remove = popup->addAction(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("miDeleteItem"));
    connect(insert, &QAction::triggered, this, [this] {
        if (m_structureTable == cbPage)
            insertPage();
        else
            insertEffectRow(m_structureTable);
    });
    connect(remove, &QAction::triggered, this, [this] {
        if (m_structureTable == cbPage)
            deletePage();
        else
            deleteEffectRow(m_structureTable);
    });
    const std::array<std::pair<QWidget*, QString>, 4> tables{{{cbPage, QStringLiteral("page")},
                                                              {sgEffWindows, QStringLiteral("window")},
                                                              {sgEffEffects, QStringLiteral("effect")},
                                                              {sgEffCompObjects, QStringLiteral("object")}}};
    for (const auto& [table, noun] : tables) {
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(table, &QWidget::customContextMenuRequested, this,
                [this, table = table, noun = noun, popup, insert, remove](const QPoint& at) {
                    if (!m_session.menuOpen) return;
                    m_structureTable = table;
                    insert->setText(QStringLiteral("Insert ") + noun);
                    remove->setText(QStringLiteral("Delete ") + noun);
                    auto* view = qobject_cast<QAbstractScrollArea*>(table);
                    popup->popup((view ? view->viewport() : table)->mapToGlobal(at));
                });
    }
    new InsDelKeys(
        cbPage, [this] { insertPage(); }, [this] { deletePage(); });
    for (PlaylistGrid* grid : {sgEffWindows, sgEffEffects, sgEffCompObjects}) {
        connect(grid, &GridView::insertKey, this, [this, grid] { insertEffectRow(grid); });
        connect(grid, &GridView::deleteKey, this, [this, grid] { deleteEffectRow(grid); });
    }

    connect(cbCropped, &QCheckBox::clicked, this, &MenuPage::cbCroppedClick);
    connect(cbVideo, &QComboBox::activated, this, &MenuPage::cbVideoChange);
    connect(cbFrame, &QComboBox::activated, this, &MenuPage::cbFrameChange);
}

void MenuPage::refreshMenuHead() {
    const TIGSc& ics = menu().IGSc;
    {
        const QSignalBlocker quiet(cbPage);
        const int page = cbPage->currentIndex();
        cbPage->clear();
        for (const TPage& p : ics.pages) cbPage->addItem(QString::number(p.page_id), int{p.page_id});
        const int count = cbPage->count();
        cbPage->setCurrentIndex(count == 0 ? -1 : std::clamp(page, 0, count - 1));
    }
    // The page shown must exist: a deleted one gives way to the page picked.
    auto& shown = m_session.interpreter.regs.PSR[PSR_PAGE];
    if (shown >= ics.pages.size() && cbPage->currentIndex() >= 0)
        shown = static_cast<std::uint32_t>(cbPage->currentIndex());
    lPagenum->setText(QStringLiteral("(%1)").arg(ics.number_of_pages));
    cbVideo->setCurrentIndex(videoFormatIndex(ics));
    cbFrame->setCurrentIndex(ics.frame_rate_id < cbFrame->count() ? ics.frame_rate_id : -1);
}

void MenuPage::showStructure(int page, int bog, int button) {
    if (page >= 0) {
        const QSignalBlocker quiet(cbPage);
        refreshMenuHead();
        cbPage->setCurrentIndex(std::min(page, cbPage->count() - 1));
    }
    const bool pageChanged =
        static_cast<int>(m_session.interpreter.regs.PSR[PSR_PAGE]) != cbPage->currentIndex();
    refreshFromModel();
    if (pageChanged) showPageInView(currentPage());
    if (bog >= 0 && bog < sgBOG->columnCount()) sgBOG->setCurrentCell(m_bogEditable ? 1 : 0, bog);
    if (button >= 0 && button < sgButton->dataRows()) sgButton->setCurrentCell(button, ColNormalStart);
    emit buttonsChanged();
}

void MenuPage::insertPage() {
    if (!m_session.menuOpen || m_busy->running()) return;
    const int position = currentPage() + 1;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Insert page"));
    keepComposition(edit, m_session);
    if (!corvane::insertPage(menu(), static_cast<std::size_t>(position))) return;
    showStructure(position, 0, 0);
}

void MenuPage::deletePage() {
    const int page = currentPage();
    if (page < 0 || m_busy->running()) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Delete page"));
    keepComposition(edit, m_session);
    const StructureEdit done = corvane::deletePage(menu(), static_cast<std::size_t>(page));
    if (!done.changed) return;
    showStructure(std::max(0, page - 1), 0, 0);
    reportMenuReferences(m_session.reporter, done);
}

void MenuPage::insertBog() {
    const int page = currentPage();
    if (page < 0 || m_busy->running()) return;
    const auto& bogs = menu().IGSc.pages[static_cast<std::size_t>(page)].BOGs;
    const int position = bogs.empty() ? 0 : currentBog() + 1;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Insert BOG"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    if (!corvane::insertBog(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(position)))
        return;
    showStructure(-1, position, 0);
}

void MenuPage::deleteBog() {
    const int page = currentPage();
    const int bog = currentBog();
    if (page < 0 || bog < 0 || m_busy->running()) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Delete BOG"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    const StructureEdit done =
        corvane::deleteBog(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog));
    if (!done.changed) return;
    showStructure(-1, std::max(0, bog - 1), 0);
    reportMenuReferences(m_session.reporter, done);
}

void MenuPage::insertButton() {
    const int page = currentPage();
    const int bog = currentBog();
    if (page < 0 || bog < 0 || m_busy->running()) return;
    const int position = sgButton->dataRows() == 0 ? 0 : sgButton->currentRow() + 1;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Insert button"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    if (!corvane::insertButton(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog),
                               static_cast<std::size_t>(position)))
        return;
    showStructure(-1, bog, position);
}

void MenuPage::deleteButton() {
    const int page = currentPage();
    const int bog = currentBog();
    const int row = sgButton->dataRows() == 0 ? -1 : sgButton->currentRow();
    if (page < 0 || bog < 0 || row < 0 || m_busy->running()) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Delete button"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    const StructureEdit done = corvane::deleteButton(
        menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog), static_cast<std::size_t>(row));
    if (!done.changed) return;
    showStructure(-1, bog, std::max(0, row - 1));
    reportMenuReferences(m_session.reporter, done);
}

void MenuPage::insertButtonLine() {
    const int page = currentPage();
    const int bog = currentBog();
    const int button = sgButton->dataRows() == 0 ? -1 : sgButton->currentRow();
    if (page < 0 || bog < 0 || button < 0 || m_busy->running()) return;
    const int lines = sgMCommands->dataRows();
    const int selected = sgMCommands->selectedRange().second;
    const int after = lines == 0 ? -1 : (selected < 0 ? lines - 1 : selected);
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Insert command line"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    if (!insertButtonCommand(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog),
                             static_cast<std::size_t>(button), after))
        return;
    refreshFromModel();
    sgMCommands->selectDataRow(after + 1);
    emit buttonsChanged();
}

void MenuPage::deleteButtonLines() {
    const int page = currentPage();
    const int bog = currentBog();
    const int button = sgButton->dataRows() == 0 ? -1 : sgButton->currentRow();
    const auto [first, last] = sgMCommands->selectedRange();
    if (page < 0 || bog < 0 || button < 0 || first < 0 || m_busy->running()) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Delete command lines"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    const StructureEdit done = deleteButtonCommands(
        menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog),
        static_cast<std::size_t>(button), static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    if (!done.changed) return;
    refreshFromModel();
    sgMCommands->selectDataRow(std::min(std::max(0, first - 1), sgMCommands->dataRows() - 1));
    emit buttonsChanged();
    reportMenuReferences(m_session.reporter, done);
}

void MenuPage::insertEffectRow(QWidget* table) {
    const int page = currentPage();
    if (page < 0 || m_busy->running()) return;
    const auto p = static_cast<std::size_t>(page);
    const int sequence = effectSequence();
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    auto after = [](PlaylistGrid* grid) { return grid->dataRows() > 0 ? grid->currentRow() + 1 : 0; };
    const QString noun = table == sgEffWindows   ? QStringLiteral("window")
                         : table == sgEffEffects ? QStringLiteral("effect")
                                                 : QStringLiteral("object");
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Insert ") + noun);
    keepPageStructure(edit, m_session, p);
    bool done = false;
    if (table == sgEffWindows) {
        done =
            corvane::insertEffectWindow(menu(), p, sequence, static_cast<std::size_t>(after(sgEffWindows)));
    } else if (table == sgEffEffects) {
        done = corvane::insertEffect(menu(), p, sequence, static_cast<std::size_t>(after(sgEffEffects)));
    } else if (table == sgEffCompObjects && effect >= 0) {
        done = insertCompObject(menu(), p, sequence, static_cast<std::size_t>(effect),
                                static_cast<std::size_t>(after(sgEffCompObjects)));
    }
    if (!done) return;
    refreshFromModel();
    fillHead(page); // the window and effect counts
}

void MenuPage::deleteEffectRow(QWidget* table) {
    const int page = currentPage();
    if (page < 0 || m_busy->running()) return;
    const auto p = static_cast<std::size_t>(page);
    const int sequence = effectSequence();
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    const QString noun = table == sgEffWindows   ? QStringLiteral("window")
                         : table == sgEffEffects ? QStringLiteral("effect")
                                                 : QStringLiteral("object");
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Delete ") + noun);
    keepPageStructure(edit, m_session, p);
    StructureEdit done;
    if (table == sgEffWindows && sgEffWindows->dataRows() > 0) {
        done = deleteEffectWindow(menu(), p, sequence, static_cast<std::size_t>(sgEffWindows->currentRow()));
    } else if (table == sgEffEffects && effect >= 0) {
        done.changed = deleteEffect(menu(), p, sequence, static_cast<std::size_t>(effect));
    } else if (table == sgEffCompObjects && effect >= 0 && sgEffCompObjects->dataRows() > 0) {
        done.changed = deleteCompObject(menu(), p, sequence, static_cast<std::size_t>(effect),
                                        static_cast<std::size_t>(sgEffCompObjects->currentRow()));
    }
    if (!done.changed) return;
    refreshFromModel();
    fillHead(page);
    reportMenuReferences(m_session.reporter, done);
}

void MenuPage::cbCroppedClick(bool cropped) {
    const int page = currentPage();
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    const int object = sgEffCompObjects->dataRows() > 0 ? sgEffCompObjects->currentRow() : -1;
    if (page < 0 || effect < 0 || object < 0) return;
    EditScope edit(&m_history, EditedDocument::Menu,
                   cropped ? QStringLiteral("Set cropped flag") : QStringLiteral("Clear cropped flag"));
    keepPageStructure(edit, m_session, static_cast<std::size_t>(page));
    setCompObjectCropped(menu(), static_cast<std::size_t>(page), effectSequence(),
                         static_cast<std::size_t>(effect), static_cast<std::size_t>(object), cropped);
    showCropFields(object);
    drawEffectPreview();
}

void MenuPage::cbVideoChange(int item) {
    if (!m_session.menuOpen) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Change video format"));
    edit.keep([this]() -> std::uint16_t& { return m_session.menu.IGSc.video_width; });
    edit.keep([this]() -> std::uint16_t& { return m_session.menu.IGSc.video_height; });
    setMenuVideoFormat(menu(), item);
    cbVideo->setCurrentIndex(videoFormatIndex(menu().IGSc));
}

void MenuPage::cbFrameChange(int item) {
    if (!m_session.menuOpen) return;
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Change frame rate"));
    edit.keep([this]() -> std::uint8_t& { return m_session.menu.IGSc.frame_rate_id; });
    setMenuFrameRate(menu(), item);
    const std::uint8_t id = menu().IGSc.frame_rate_id;
    cbFrame->setCurrentIndex(id < cbFrame->count() ? id : -1);
}

} // namespace corvane
