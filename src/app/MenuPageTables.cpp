// The editable tables of the Menu page: the page head, the BOG, button and command tables
// of the BOGs tab and the effect tables with the crop fields of the Effects tab. Cells and
// fields go to the core's edit operations, which decide what the model keeps; the page then
// shows the model again.

#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"
#include "menu/MenuEffects.h"
#include "navigation/CommandEdit.h"
#include "shell/Session.h"

#include "app/MenuPage.h"

#include "app/EditHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "app/BusyGuard.h"
#include "app/EditModeMenu.h"
#include "app/PictureConvert.h"
#include "app/PlaylistPageGrid.h"
#include "io/TextUtil.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane {

namespace {

constexpr int BogsTab = 0;
constexpr int EffectsTab = 1;
constexpr int ObjectsTab = 2;
constexpr std::size_t NoIndex = std::numeric_limits<std::size_t>::max();

// The edit masks of the tables are written as the layout tables give them: "A" a letter or
// digit, "L" a letter, "9" an optional digit, "0" a required digit, ">" upper case. Qt's
// masks spell the same with "N", "A", "0" and "9". "-" marks a column that takes no input.
QString qtMask(const std::string& mask) {
    QString out;
    for (char c : mask) {
        switch (c) {
        case 'A':
            out += QLatin1Char('N');
            break;
        case 'L':
            out += QLatin1Char('A');
            break;
        case '9':
            out += QLatin1Char('0');
            break;
        case '0':
            out += QLatin1Char('9');
            break;
        default:
            out += QLatin1Char(c);
        }
    }
    return out;
}

bool takesInput(const std::string& mask) {
    return !mask.empty() && mask != "-";
}

std::size_t indexOf(int value) {
    return value < 0 ? NoIndex : static_cast<std::size_t>(value);
}

// The animation code is taken over as it is typed: one step per visit of the field (two ids
// so that the next visit does not merge into the last one).
constexpr int MergeAnimationCode = 300;

// The records a table edit of one page may change: the page, and for button and command
// edits the page's button table, which holds a copy of every edited button.
void keepPage(EditScope& edit, Session& session, std::size_t page, bool buttons) {
    if (page >= session.menu.IGSc.pages.size()) return;
    edit.keep([&session, page]() -> TPage& { return session.menu.IGSc.pages[page]; });
    if (buttons && page < session.menu.PageButtons.size())
        edit.keep([&session, page]() -> TPageButton& { return session.menu.PageButtons[page]; });
}

// Runs an action when a watched widget gets an event of one type.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, QEvent::Type type, std::function<void()> action)
        : QObject(watched), m_type(type), m_action(std::move(action)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type) m_action();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_action;
};

// Editor of the BOG table: row 1 in edit mode, with its mask; the text goes to the page.
class BogCellDelegate : public QStyledItemDelegate {
public:
    using Editable = std::function<bool(int row, int column)>;
    using Edited = std::function<void(int row, int column, const QString& text)>;
    BogCellDelegate(QObject* parent, Editable editable, Edited edited)
        : QStyledItemDelegate(parent), m_editable(std::move(editable)), m_edited(std::move(edited)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        if (!m_editable(index.row(), index.column())) return nullptr;
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setInputMask(optionalInputMask(qtMask(bogEditMask(index.row()))));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        line->setText(index.data(Qt::DisplayRole).toString());
        line->selectAll();
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        const QString typed = static_cast<QLineEdit*>(editor)->displayText();
        m_edited(index.row(), index.column(), QString::fromStdString(padShortCell(typed.toStdString())));
    }

private:
    Editable m_editable;
    Edited m_edited;
};

template <typename Row> std::vector<std::vector<std::string>> gridRows(const std::vector<Row>& rows) {
    std::vector<std::vector<std::string>> out;
    out.reserve(rows.size());
    for (const Row& row : rows) out.emplace_back(row.begin(), row.end());
    return out;
}

} // namespace

void MenuPage::connectTables() {
    // Head: taken over when left, Enter goes on to the next field.
    const std::array<std::pair<QLineEdit*, QWidget*>, 7> head{{{heUO1, heUO2},
                                                               {heUO2, ieFramerate},
                                                               {ieFramerate, heDefSelButt},
                                                               {heDefSelButt, heDefActButt},
                                                               {heDefActButt, hePalette},
                                                               {hePalette, cbPage},
                                                               {eUTO, cbPage}}};
    eUTO->setInputMask(qtMask("0:00:00"));
    for (const auto& [field, next] : head) {
        field->setReadOnly(false);
        connect(field, &QLineEdit::editingFinished, this, [this, field = field] { takeOverHead(field); });
        connect(field, &QLineEdit::returnPressed, this, [this, field = field, next = next] {
            takeOverHead(field);
            next->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(next)) edit->selectAll();
        });
    }
    new EventHook(ieFramerate, QEvent::FocusIn, [this] { m_animationVisit = !m_animationVisit; });
    connect(ieFramerate, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int page = currentPage();
        if (page < 0) return;
        EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Edit animation frame rate"),
                       MergeAnimationCode + int{m_animationVisit});
        keepPage(edit, m_session, static_cast<std::size_t>(page), false);
        if (setAnimationFrameRateCode(menu(), static_cast<std::size_t>(page), text.toStdString()))
            emit headChanged();
    });
    // The counts are links to the Effects tab.
    for (const auto& [count, sequence] : std::array<std::pair<QLineEdit*, int>, 4>{
             {{ieInEffWin, 0}, {ieInEffEff, 0}, {ieOutEffWin, 1}, {ieOutEffEff, 1}}}) {
        count->setReadOnly(true);
        count->setCursor(Qt::PointingHandCursor);
        new EventHook(count, QEvent::MouseButtonPress,
                      [this, sequence = sequence] { showEffectsOf(sequence); });
    }

    // BOG table: one column per BOG under the row labels.
    sgBOG->horizontalHeader()->setDefaultSectionSize(bogColumnWidth());
    sgBOG->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    sgBOG->setItemDelegate(new BogCellDelegate(
        sgBOG,
        [this](int row, int column) {
            const int page = currentPage();
            return m_bogEditable && page >= 0 && takesInput(bogEditMask(row)) && column >= 0 &&
                   static_cast<std::size_t>(column) <
                       menu().IGSc.pages[static_cast<std::size_t>(page)].BOGs.size();
        },
        [this](int row, int column, const QString& text) { sgBOGSetEditText(row, column, text); }));
    connect(sgBOG, &BogGrid::currentCellChanged, this, [this](int, int column, int, int previous) {
        if (column != previous) sgBOGClick(column);
    });
    new EventHook(sgBOG, QEvent::Resize, [this] { fitBogHeight(); });

    // Buttons: masks per column; a new row fills the commands, every cell shows its object.
    std::map<int, QString> masks;
    for (int column = 0; column < ButtonColumns; ++column)
        if (takesInput(buttonEditMask(column))) masks[column] = qtMask(buttonEditMask(column));
    sgButton->setEditMasks(std::move(masks));
    connect(sgButton, &PlaylistGrid::currentCellChanged, this,
            [this](int row, int column, int previousRow, int) {
                if (row != previousRow) sgButtonClick(row);
                showButtonCellObject(row, column);
            });
    connect(sgButton, &PlaylistGrid::cellEdited, this, &MenuPage::sgButtonSetEditText);
    connect(sgButton, &PlaylistGrid::cellDoubleClicked, this, &MenuPage::sgButtonDblClick);

    connect(sgMCommands, &PlaylistGrid::cellEdited, this, &MenuPage::sgMCommandsSetEditText);
    connect(sgMCommands, &PlaylistGrid::cellDoubleClicked, this,
            [this](int row) { sgMCommandsDblClick(row); });
    new EventHook(sgMCommands, QEvent::Resize, [this] {
        // A wide table gives the command text what the word columns leave.
        if (sgMCommands->width() > 375) sgMCommands->setColumnWidth(4, sgMCommands->width() - 200);
    });

    // The edit-mode pop-up of the three tables.
    QMenu* popup = makeEditModeMenu(
        this,
        [this] {
            if (m_popupTable == sgBOG) return m_bogEditable;
            auto* grid = qobject_cast<PlaylistGrid*>(m_popupTable);
            return grid && grid->editable();
        },
        [this](bool editable) {
            if (m_popupTable == sgBOG)
                setBogEditable(editable);
            else if (auto* grid = qobject_cast<PlaylistGrid*>(m_popupTable))
                grid->setEditable(editable);
        });
    m_tablePopup = popup;
    for (QTableView* table : std::initializer_list<QTableView*>{sgBOG, sgButton, sgMCommands}) {
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(table, &QWidget::customContextMenuRequested, this, [this, table, popup](const QPoint& at) {
            m_popupTable = table;
            popup->popup(table->viewport()->mapToGlobal(at));
        });
    }

    // Effects tab.
    connect(rgEffects, &RadioGroup::itemIndexChanged, this, &MenuPage::fillEffects);
    connect(sgEffEffects, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) sgEffEffectsClick(row);
    });
    connect(sgEffCompObjects, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) sgEffCompObjectsClick(row);
    });
    const std::array<TIntEdit*, 4> crops{neCropX, neCropY, neCropW, neCropH};
    for (int field = 0; field < 4; ++field)
        connect(crops[static_cast<std::size_t>(field)], &QLineEdit::editingFinished, this,
                [this, field] { cropFieldLeft(field); });

    connect(pcMenu, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == ObjectsTab) {
            refreshObjectList();
            showObjectView();
        } else if (tab == BogsTab) {
            showButtonCellObject(sgButton->currentRow(), sgButton->currentColumn());
        }
    });
}

// ---- BOG table ---------------------------------------------------------------------------

BogTableModel::BogTableModel(std::span<const std::string_view> rowLabels, QObject* parent)
    : QAbstractTableModel(parent) {
    for (std::string_view label : rowLabels)
        m_labels << QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

int BogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_labels.size());
}

int BogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant BogTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount() || index.row() >= 3) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return m_columns[static_cast<std::size_t>(index.column())][static_cast<std::size_t>(index.row())];
}

QVariant BogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < m_labels.size())
        return m_labels[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags BogTableModel::flags(const QModelIndex& index) const {
    // Whether a cell takes input is the editor's to decide.
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void BogTableModel::setColumns(const std::vector<std::array<std::string, 3>>& columns) {
    const int before = columnCount();
    const int after = static_cast<int>(columns.size());
    if (after < before) {
        beginRemoveColumns({}, after, before - 1);
        m_columns.resize(columns.size());
        endRemoveColumns();
    } else if (after > before) {
        beginInsertColumns({}, before, after - 1);
        m_columns.resize(columns.size());
        endInsertColumns();
    }
    for (int column = 0; column < after; ++column)
        setColumn(column, columns[static_cast<std::size_t>(column)]);
}

void BogTableModel::setColumn(int column, const std::array<std::string, 3>& cells) {
    if (column < 0 || column >= columnCount()) return;
    for (std::size_t row = 0; row < cells.size(); ++row)
        m_columns[static_cast<std::size_t>(column)][row] = QString::fromStdString(cells[row]);
    emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

BogGrid::BogGrid(const char* name, std::span<const std::string_view> rowLabels, QWidget* parent)
    : GridView(QLatin1String(name), parent), m_model(new BogTableModel(rowLabels, this)) {
    setModel(m_model);
    verticalHeader()->show();
    horizontalHeader()->hide();
    // Every column keeps its width: the height follows whether they all fit.
    horizontalHeader()->setStretchLastSection(false);
}

void BogGrid::setCurrentCell(int row, int column) {
    setCurrentIndex(m_model->index(row, column));
}

void BogGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    GridView::currentChanged(current, previous);
    emit currentCellChanged(current.row(), current.column(), previous.row(), previous.column());
}

// ---- Head -------------------------------------------------------------------------------

void MenuPage::fillHead(int page) {
    const PageHeaderTexts t = pageHeaderTexts(menu(), indexOf(page));
    const auto show = [](QLineEdit* field, const std::string& text) {
        field->setText(QString::fromStdString(text));
    };
    show(heUO1, t.heUO1);
    show(heUO2, t.heUO2);
    show(ieFramerate, t.ieFramerate);
    show(heDefSelButt, t.heDefSelButt);
    show(heDefActButt, t.heDefActButt);
    show(hePalette, t.hePalette);
    show(ieInEffWin, t.ieInEffWin);
    show(ieInEffEff, t.ieInEffEff);
    show(ieOutEffWin, t.ieOutEffWin);
    show(ieOutEffEff, t.ieOutEffEff);
    show(ieBOGs, t.ieBOGs);
}

void MenuPage::takeOverHead(QLineEdit* field) {
    if (!m_session.menuOpen || !field) return;
    TMenu& m = menu();
    const std::string text = field->text().toStdString();
    if (field == eUTO) {
        EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Edit time-out"));
        edit.keep([this]() -> std::uint32_t& { return m_session.menu.IGSc.user_time_out_duration; });
        const bool stored = setUserTimeOut(m, text) == TimeOutEdit::Stored;
        eUTO->setText(QString::fromStdString(userTimeOutText(m)));
        if (stored) emit headChanged();
        return;
    }
    const int page = currentPage();
    if (page < 0) return;
    const auto p = static_cast<std::size_t>(page);
    const QString step = field == heUO1 || field == heUO2 ? QStringLiteral("Edit UO mask")
                         : field == ieFramerate           ? QStringLiteral("Edit animation frame rate")
                         : field == heDefSelButt          ? QStringLiteral("Edit default selected button")
                         : field == heDefActButt          ? QStringLiteral("Edit default activated button")
                                                          : QStringLiteral("Edit page palette");
    EditScope edit(&m_history, EditedDocument::Menu, step,
                   field == ieFramerate ? MergeAnimationCode + int{m_animationVisit} : NoMerge);
    keepPage(edit, m_session, p, false);
    bool changed = false;
    if (field == heUO1)
        changed = setUOMask(m, p, UOWord::First, text);
    else if (field == heUO2)
        changed = setUOMask(m, p, UOWord::Second, text);
    else if (field == ieFramerate)
        changed = setAnimationFrameRateCode(m, p, text);
    else if (field == heDefSelButt)
        changed = setDefaultSelectedButton(m, p, text);
    else if (field == heDefActButt)
        changed = setDefaultActivatedButton(m, p, text);
    else if (field == hePalette)
        changed = setPagePalette(m, p, text);
    else
        return;
    fillHead(page);
    if (changed) emit headChanged();
}

void MenuPage::showEffectsOf(int sequence) {
    const int page = currentPage();
    if (page < 0 || sequence < 0 || sequence > 1) return;
    const Teffectseq& seq =
        menu().IGSc.pages[static_cast<std::size_t>(page)].effect_sequences[static_cast<std::size_t>(
            sequence)];
    if (seq.windows.empty() && seq.effects.empty()) return;
    {
        const QSignalBlocker quiet(rgEffects);
        rgEffects->setItemIndex(sequence);
    }
    pcMenu->setCurrentIndex(EffectsTab);
    fillEffects();
}

// ---- BOGs -------------------------------------------------------------------------------

void MenuPage::fillBOGs(int page) {
    const auto columns = bogColumns(menu(), indexOf(page));
    const int count = static_cast<int>(columns.size());
    {
        const QSignalBlocker quiet(sgBOG);
        sgBOG->setColumns(columns);
        for (int column = 0; column < count; ++column) sgBOG->setColumnWidth(column, bogColumnWidth());
        sgBOG->setCurrentCell(m_bogEditable ? 1 : 0, 0);
    }
    // A page without BOGs keeps the table enabled: Ins adds the first one.
    sgBOG->setEnabled(page >= 0 && !m_busy->engaged()); // a command changed the page during a loop
    fitBogHeight();
    sgBOGClick(0);
    clearEffectPreview();
}

void MenuPage::fitBogHeight() {
    // Three rows, and room for the scroll bar when the columns do not all fit.
    const int frame = 2 * sgBOG->frameWidth();
    const int rows = sgBOG->verticalHeader()->length() + frame;
    const int needed = sgBOG->verticalHeader()->width() + sgBOG->horizontalHeader()->length() + frame;
    const int bar = needed > sgBOG->width() ? sgBOG->horizontalScrollBar()->sizeHint().height() : 0;
    if (sgBOG->height() != rows + bar) sgBOG->setFixedHeight(rows + bar);
}

void MenuPage::setBogEditable(bool editable) {
    m_bogEditable = editable;
    if (editable) {
        sgBOG->setSelectionBehavior(QAbstractItemView::SelectItems);
        sgBOG->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
        const QSignalBlocker quiet(sgBOG);
        sgBOG->setCurrentCell(1, std::max(0, sgBOG->currentColumn()));
    } else {
        sgBOG->setSelectionBehavior(QAbstractItemView::SelectColumns);
        sgBOG->setEditTriggers(QAbstractItemView::NoEditTriggers);
        if (sgBOG->currentColumn() >= 0) sgBOG->selectColumn(sgBOG->currentColumn());
    }
}

void MenuPage::sgBOGSetEditText(int row, int column, const QString& text) {
    const int page = currentPage();
    if (page < 0 || column < 0 || column >= sgBOG->columnCount()) return;
    const std::size_t shown = m_session.interpreter.regs.PSR[PSR_PAGE];
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Edit BOG"));
    keepPage(edit, m_session, static_cast<std::size_t>(page), false);
    const bool changed = setBogCell(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(column),
                                    row, text.toStdString(), shown);
    const auto columns = bogColumns(menu(), static_cast<std::size_t>(page));
    if (static_cast<std::size_t>(column) < columns.size())
        sgBOG->setColumn(column, columns[static_cast<std::size_t>(column)]);
    if (changed) emit buttonsChanged();
}

int MenuPage::bogColumnWidth() const {
    // 32 pixels, or what four hex digits need in the table's font.
    return std::max(32, sgBOG->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 10);
}

int MenuPage::currentBog() const {
    return sgBOG->currentColumn();
}

void MenuPage::sgBOGClick(int column) {
    const int page = currentPage();
    const auto rows = page < 0 || column < 0 ? std::vector<std::vector<std::string>>{}
                                             : buttonRows(m_session.menu, static_cast<std::size_t>(page),
                                                          static_cast<std::size_t>(column));
    {
        const QSignalBlocker quiet(sgButton);
        sgButton->setRows(rows);
        if (!rows.empty()) sgButton->setCurrentCell(0, ColNormalStart);
    }
    sgButtonClick(rows.empty() ? -1 : 0);
    // The picture follows the current cell: the new BOG's first button, or nothing.
    if (rows.empty()) {
        if (pcMenu->currentIndex() == BogsTab) iBOG->clear();
    } else {
        showButtonCellObject(0, ColNormalStart, false);
    }
}

// ---- Buttons ----------------------------------------------------------------------------

void MenuPage::sgButtonClick(int row) {
    fillButtonCommands(row);
}

void MenuPage::fillButtonCommands(int row) {
    const int page = currentPage();
    const int bog = currentBog();
    const TIGbutton* button = nullptr;
    if (page >= 0 && bog >= 0 && row >= 0 && row < sgButton->dataRows()) {
        const TPage& p = menu().IGSc.pages[static_cast<std::size_t>(page)];
        if (static_cast<std::size_t>(bog) < p.BOGs.size() &&
            static_cast<std::size_t>(row) < p.BOGs[static_cast<std::size_t>(bog)].buttons.size())
            button = &p.BOGs[static_cast<std::size_t>(bog)].buttons[static_cast<std::size_t>(row)];
    }
    std::map<int, QString> masks;
    if (button && !button->navigation_commands.empty()) {
        for (int column = 1; column <= 3; ++column) masks[column] = qtMask(commandEditMask(*button, column));
        masks[4] = QString(); // typing into the text only brings the text back
    }
    sgMCommands->setEditMasks(std::move(masks));
    if (button && !button->navigation_commands.empty())
        sgMCommands->setRows(commandRows(*button));
    else
        sgMCommands->clearRows();
}

void MenuPage::showButtonCellObject(int row, int column, bool pick) {
    if (pcMenu->currentIndex() != BogsTab) return;
    const int page = currentPage();
    const int bog = currentBog();
    if (page < 0 || bog < 0 || row < 0) return;
    const TPage& p = menu().IGSc.pages[static_cast<std::size_t>(page)];
    if (static_cast<std::size_t>(bog) >= p.BOGs.size()) return;
    const auto& buttons = p.BOGs[static_cast<std::size_t>(bog)].buttons;
    if (static_cast<std::size_t>(row) >= buttons.size()) return;
    if (const auto object = buttonCellObject(buttons[static_cast<std::size_t>(row)], column))
        showPicture(*object, p.palette_id_ref, pick);
}

void MenuPage::sgButtonSetEditText(int row, int column, const QString& text) {
    const int page = currentPage();
    const int bog = currentBog();
    if (page < 0 || bog < 0 || row < 0) return;
    EditScope step(&m_history, EditedDocument::Menu, QStringLiteral("Edit button"));
    keepPage(step, m_session, static_cast<std::size_t>(page), true);
    const ButtonCellEdit edit = setButtonCell(
        menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog), static_cast<std::size_t>(row),
        column, text.toStdString(), m_session.sound.SoundIndex.entries.size());
    if (edit.refresh.empty()) return;
    const TIGbutton& button = menu()
                                  .IGSc.pages[static_cast<std::size_t>(page)]
                                  .BOGs[static_cast<std::size_t>(bog)]
                                  .buttons[static_cast<std::size_t>(row)];
    for (int refreshed : edit.refresh)
        sgButton->setCellText(row, refreshed, buttonCellText(button, refreshed));
    if (!edit.changed) return;
    showButtonCellObject(row, column);
    emit buttonsChanged();
}

bool MenuPage::waitFrame(int ms) {
    // A frame's time in a loop of its own: the window stays alive and Cancel is seen at once.
    QPointer<MenuPage> self(this);
    Reporter& reporter = m_session.reporter;
    const BusyGuard::Operation operation(*m_busy);
    m_busy->pumping();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(5);
    connect(&tick, &QTimer::timeout, &loop, [&] {
        if (!self || reporter.CancelRequested || clock.elapsed() >= ms) loop.quit();
    });
    tick.start();
    loop.exec();
    return self && !reporter.CancelRequested;
}

void MenuPage::sgButtonDblClick(int row, int column) {
    if (sgButton->editable() || m_animating || m_busy->running()) return;
    const int page = currentPage();
    const int bog = currentBog();
    if (page < 0 || bog < 0 || row < 0) return;
    const ButtonDblClickPlan plan =
        buttonDblClickPlan(menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog),
                           static_cast<std::size_t>(row), column, m_session.sound.SoundIndex.entries.size());
    if (plan.action == ButtonDblClickPlan::Action::PlaySound) {
        emit soundRequested(plan.sound);
        return;
    }
    if (plan.action != ButtonDblClickPlan::Action::Animate) return;

    const std::uint16_t palette = cbPalettes->count() > 0
                                      ? chosenPalette()
                                      : menu().IGSc.pages[static_cast<std::size_t>(page)].palette_id_ref;
    QPointer<MenuPage> self(this);
    const BusyGuard::Operation operation(*m_busy);
    m_animating = true;
    m_session.reporter.CancelRequested = false;
    if (plan.repeat) emit cancelEnabled(true);
    bool going = true;
    do {
        for (std::uint16_t frame : plan.frames) {
            showPicture(frame, palette);
            going = waitFrame(plan.frameMs);
            if (!going) break;
        }
    } while (going && plan.repeat && !plan.frames.empty());
    if (!self) return;
    showPicture(plan.finalObject, palette);
    m_session.reporter.CancelRequested = false;
    m_animating = false;
    emit cancelEnabled(false);
}

// ---- Commands ---------------------------------------------------------------------------

void MenuPage::sgMCommandsSetEditText(int row, int column, const QString& text) {
    const int page = currentPage();
    const int bog = currentBog();
    const int button = sgButton->currentRow();
    if (page < 0 || bog < 0 || button < 0 || row < 0) return;
    EditScope step(&m_history, EditedDocument::Menu, QStringLiteral("Edit command"));
    keepPage(step, m_session, static_cast<std::size_t>(page), true);
    const CommandCellEdit edit = setCommandCell(
        menu(), static_cast<std::size_t>(page), static_cast<std::size_t>(bog),
        static_cast<std::size_t>(button), static_cast<std::size_t>(row), column, text.toStdString());
    sgMCommands->setRow(row, edit.row);
    if (edit.changed) emit buttonsChanged();
}

void MenuPage::sgMCommandsDblClick(int line) {
    if (sgMCommands->editable()) return;
    const int page = currentPage();
    const int bog = currentBog();
    const int row = sgButton->currentRow();
    if (page < 0 || bog < 0 || row < 0 || line < 0) return;
    const TPage& p = menu().IGSc.pages[static_cast<std::size_t>(page)];
    if (static_cast<std::size_t>(bog) >= p.BOGs.size() ||
        static_cast<std::size_t>(row) >= p.BOGs[static_cast<std::size_t>(bog)].buttons.size())
        return;
    const auto& program =
        p.BOGs[static_cast<std::size_t>(bog)].buttons[static_cast<std::size_t>(row)].navigation_commands;
    const CommandReference target = followReference(std::span<const TNavCommand>(program),
                                                    static_cast<std::size_t>(line), cbPage->isEnabled());
    if (const auto* goTo = std::get_if<LineReference>(&target)) {
        sgMCommands->selectDataRow(static_cast<int>(goTo->line));
    } else if (const auto* title = std::get_if<TitleReference>(&target)) {
        emit titleRequested(static_cast<int>(title->title), title->selectTitle);
    } else if (const auto* playlist = std::get_if<PlaylistReference>(&target)) {
        emit playlistRequested(QString::fromStdString(playlistItemName(playlist->playlist)),
                               playlist->playItem ? static_cast<int>(*playlist->playItem) : -1);
    } else if (const auto* pageButton = std::get_if<PageButtonReference>(&target)) {
        selectPageButton(pageButton->page ? static_cast<int>(*pageButton->page & 0xFF) : -1,
                         pageButton->button ? static_cast<int>(*pageButton->button & 0xFFFF) : -1);
    }
}

void MenuPage::selectPageButton(int pageId, int buttonId) {
    if (pageId >= 0) {
        const int item = cbPage->findData(pageId);
        if (item >= 0) cbPage->setCurrentIndex(item); // runs cbPageChange
    }
    if (buttonId < 0) return;
    const int shown = currentPage();
    if (shown < 0) return;
    const auto& bogs = menu().IGSc.pages[static_cast<std::size_t>(shown)].BOGs;
    for (std::size_t b = 0; b < bogs.size(); ++b)
        for (std::size_t i = 0; i < bogs[b].buttons.size(); ++i)
            if (bogs[b].buttons[i].button_id == buttonId) {
                sgBOG->setCurrentCell(m_bogEditable ? 1 : 0, static_cast<int>(b)); // runs sgBOGClick
                sgButton->setCurrentCell(static_cast<int>(i), ColNormalStart);
                return;
            }
}

// ---- Effects ----------------------------------------------------------------------------

int MenuPage::effectSequence() const {
    return rgEffects->itemIndex() == 1 ? 1 : 0;
}

void MenuPage::fillEffects() {
    const int page = currentPage();
    EffectTables tables;
    if (page >= 0)
        tables = setEffects(
            menu().IGSc.pages[static_cast<std::size_t>(page)].effect_sequences[static_cast<std::size_t>(
                effectSequence())]);
    // Empty tables of a page stay enabled: Ins and their pop-up add the first row.
    sgEffWindows->setRows(gridRows(tables.windows));
    sgEffWindows->setEnabled(page >= 0);
    sgEffEffects->setRows(gridRows(tables.effects));
    sgEffEffects->setEnabled(page >= 0);
    if (!tables.effects.empty()) sgEffEffects->selectDataRow(0);
    sgEffEffectsClick(tables.effects.empty() ? -1 : 0);
}

void MenuPage::sgEffEffectsClick(int row) {
    const int page = currentPage();
    std::vector<EffCompObjectRow> rows;
    bool effect = false;
    if (page >= 0 && row >= 0) {
        const auto& effects = menu()
                                  .IGSc.pages[static_cast<std::size_t>(page)]
                                  .effect_sequences[static_cast<std::size_t>(effectSequence())]
                                  .effects;
        effect = static_cast<std::size_t>(row) < effects.size();
        if (effect) rows = compObjectRows(effects[static_cast<std::size_t>(row)]);
    }
    sgEffCompObjects->setRows(gridRows(rows));
    sgEffCompObjects->setEnabled(effect);
    if (!rows.empty()) sgEffCompObjects->selectDataRow(0);
    sgEffCompObjectsClick(rows.empty() ? -1 : 0);
}

void MenuPage::sgEffCompObjectsClick(int row) {
    showCropFields(row);
    drawEffectPreview();
}

void MenuPage::showCropFields(int row) {
    const int page = currentPage();
    const CropFields fields =
        page < 0 ? CropFields{}
                 : cropFields(menu(), static_cast<std::size_t>(page), effectSequence(),
                              indexOf(sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1),
                              indexOf(row));
    cbCropped->setChecked(fields.cropped);
    cbCropped->setEnabled(fields.exists);
    const std::array<TIntEdit*, 4> crops{neCropX, neCropY, neCropW, neCropH};
    for (std::size_t i = 0; i < crops.size(); ++i) {
        crops[i]->setValue(fields.values[i]);
        crops[i]->setEnabled(fields.cropped);
    }
}

void MenuPage::cropFieldLeft(int field) {
    const int page = currentPage();
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    const int object = sgEffCompObjects->dataRows() > 0 ? sgEffCompObjects->currentRow() : -1;
    if (page < 0 || effect < 0 || object < 0 || field < 0 || field > 3) return;
    const std::array<TIntEdit*, 4> crops{neCropX, neCropY, neCropW, neCropH};
    bool number = false;
    const qlonglong value = crops[static_cast<std::size_t>(field)]->text().toLongLong(&number);
    EditScope edit(&m_history, EditedDocument::Menu, QStringLiteral("Edit cropping"));
    keepPage(edit, m_session, static_cast<std::size_t>(page), false);
    if (number)
        setCropField(menu(), static_cast<std::size_t>(page), effectSequence(),
                     static_cast<std::size_t>(effect), static_cast<std::size_t>(object),
                     static_cast<CropField>(field), value);
    showCropFields(object);
    drawEffectPreview();
}

void MenuPage::drawEffectPreview() {
    const int page = currentPage();
    if (page < 0) {
        clearEffectPreview();
        return;
    }
    const int effect = sgEffEffects->dataRows() > 0 ? sgEffEffects->currentRow() : -1;
    const int object = sgEffCompObjects->dataRows() > 0 ? sgEffCompObjects->currentRow() : -1;
    TMenu& m = menu();
    const Teffectseq& sequence = m.IGSc.pages[static_cast<std::size_t>(page)]
                                     .effect_sequences[static_cast<std::size_t>(effectSequence())];
    const QPixmap pixmap =
        toPixmap(EffPreview(m, sequence, indexOf(effect), indexOf(object), m_session.options));
    iEffect->setPixmap(pixmap);
    iEffect->resize(pixmap.size());
}

void MenuPage::clearEffectPreview() {
    const QSize size = iEffect->pixmap().isNull() ? QSize() : iEffect->pixmap().size();
    if (size.isEmpty()) {
        iEffect->clear();
        return;
    }
    QPixmap blank(size);
    const std::uint32_t rgb = objectBackground();
    blank.fill(QColor(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                      static_cast<int>(rgb & 0xFF)));
    iEffect->setPixmap(blank);
}

// ---- Objects ----------------------------------------------------------------------------

void MenuPage::refreshObjectList() {
    // Table edits may have changed the references column.
    if (!m_session.menuOpen) return;
    const int object = cbObjects->currentIndex();
    const QSignalBlocker objects(cbObjects), grid(sgIGObjects);
    cbObjects->clear();
    fillObjectList();
    if (object >= 0 && object < cbObjects->count()) {
        cbObjects->setCurrentIndex(object);
        sgIGObjects->selectDataRow(object);
    }
}

} // namespace corvane
