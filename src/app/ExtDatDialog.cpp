#include "app/ExtDatDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/PlaylistPageGrid.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "shell/Options.h"
#include "shell/Reporter.h"

namespace corvane {

namespace {

const QString ExdFilter = QStringLiteral("ExtensionData (*.exd)");
constexpr int ID1Column = 1;
constexpr std::string_view EntryHeaders[] = {"No.", "ID1", "ID2", "start", "length"};

QToolButton* makeToolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                            const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

} // namespace

TfExtDat::TfExtDat(const Options& options, QWidget* parent) : QDialog(parent), m_options(options) {
    setObjectName(QStringLiteral("fExtDat"));
    resize(760, 480);
    showError = [this](const QString& text) {
        if (m_reporter)
            m_reporter->fileError(text.toStdString());
        else
            QMessageBox::critical(this, windowTitle(), text);
    };

    lExtDatprop = new QLabel(this);
    lExtDatprop->setObjectName(QStringLiteral("lExtDatprop"));

    sgExtDatEntry = new PlaylistGrid("sgExtDatEntry", EntryHeaders, this);
    // Every cell but the number takes typing; what is typed goes to sgExtDatEntryChanged.
    sgExtDatEntry->setEditMasks({{1, QString()}, {2, QString()}, {3, QString()}, {4, QString()}});
    sgExtDatEntry->setEditable(true);
    // Whole rows selected while typing, and the dialog's own row height and header highlight.
    sgExtDatEntry->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView* rows = sgExtDatEntry->verticalHeader();
    rows->resetDefaultSectionSize(); // the style's height, for the rows there already too
    rows->setDefaultSectionSize(rows->defaultSectionSize());
    sgExtDatEntry->horizontalHeader()->setHighlightSections(true);
    sgExtDatEntry->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    reData = new QTextEdit(this);
    reData->setObjectName(QStringLiteral("reData"));
    reData->setReadOnly(true);
    reData->setLineWrapMode(QTextEdit::NoWrap);
    reData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A whole view line (address, 32 bytes in hex, 32 characters) without scrolling.
    reData->setMinimumWidth(reData->fontMetrics().horizontalAdvance(QString(136, QLatin1Char('0'))) +
                            2 * (reData->frameWidth() + int(reData->document()->documentMargin())) +
                            reData->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);

    bbDelExtDat = makeToolButton(this, "bbDelExtDat", QStyle::SP_TrashIcon, QStringLiteral("Delete"),
                                 QStringLiteral("Delete"));
    bbLoadExtDat = makeToolButton(this, "bbLoadExtDat", QStyle::SP_DialogOpenButton, QStringLiteral("Load"),
                                  QStringLiteral("Load ExtensionData()"));
    bbSaveExtDat = makeToolButton(this, "bbSaveExtDat", QStyle::SP_DialogSaveButton, QStringLiteral("Save"),
                                  QStringLiteral("Save ExtensionData()"));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));

    auto* top = new QHBoxLayout;
    top->addWidget(lExtDatprop, 1);
    top->addWidget(bbDelExtDat);
    top->addWidget(bbLoadExtDat);
    top->addWidget(bbSaveExtDat);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    bottom->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(sgExtDatEntry, 1);
    layout->addWidget(reData, 2);
    layout->addLayout(bottom);

    connect(bbDelExtDat, &QToolButton::clicked, this, &TfExtDat::bbDelExtDatClick);
    connect(bbLoadExtDat, &QToolButton::clicked, this, &TfExtDat::bbLoadExtDatClick);
    connect(bbSaveExtDat, &QToolButton::clicked, this, &TfExtDat::bbSaveExtDatClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(sgExtDatEntry, &PlaylistGrid::cellEdited, this, &TfExtDat::sgExtDatEntryChanged);
    connect(sgExtDatEntry, &PlaylistGrid::currentCellChanged, this,
            [this](int row, int, int, int) { showEntryData(row); });

    refresh();
}

bool TfExtDat::edit(const std::string& fileName, TExtensionData& block) {
    ExtDatFileName = fileName;
    setBlock(block);
    if (exec() != QDialog::Accepted) return false;
    block = m_block;
    return true;
}

void TfExtDat::setBlock(const TExtensionData& block) {
    m_block = block;
    refresh();
}

void TfExtDat::showEvent(QShowEvent* event) {
    refresh();
    QDialog::showEvent(event);
}

void TfExtDat::refresh() {
    setWindowTitle(QString::fromStdString(ExtDatFileName) + QStringLiteral(" ExtensionData edit"));
    lExtDatprop->setText(QString::fromStdString(extDatDialogSummary(m_block)));
    const bool present = m_block.length != 0;
    bbSaveExtDat->setEnabled(present);
    bbDelExtDat->setEnabled(present);

    // An empty table keeps one empty row under its header.
    std::vector<std::vector<std::string>> rows;
    for (std::size_t row = 0; row < m_block.ext_data_entries.size(); ++row)
        rows.push_back(extDataEntryRow(m_block, row));
    sgExtDatEntry->setRows(rows);
    sgExtDatEntry->setCurrentCell(0, ID1Column);
    // The empty row is never selected.
    if (rows.empty()) sgExtDatEntry->clearSelection();
    showEntryData(0);
}

void TfExtDat::fillRow(int row) {
    sgExtDatEntry->setRow(row, extDataEntryRow(m_block, std::size_t(row)));
}

void TfExtDat::sgExtDatEntryChanged(int row, int column, const QString& text) {
    if (row < 0 || row >= int(m_block.ext_data_entries.size())) return;
    // Only ID1 is taken over; any other typing is undone.
    if (column == ID1Column)
        m_block.ext_data_entries[std::size_t(row)].ID1 =
            static_cast<std::uint16_t>(hexToNumber(text.toStdString()));
    fillRow(row);
}

void TfExtDat::showEntryData(int row) {
    reData->clear();
    if (row < 0 || row >= int(m_block.ext_data_entries.size())) return;
    QTextCharFormat plain;
    QTextCharFormat address = plain;
    address.setForeground(QColor(0, 0, 255));
    QTextCharFormat chars = plain;
    chars.setForeground(QColor(255, 0, 0));
    QTextCursor cursor(reData->document());
    bool first = true;
    for (const ExtDataViewLine& line : extDataView(m_block, std::size_t(row))) {
        if (!first) cursor.insertBlock();
        first = false;
        cursor.insertText(QString::fromStdString(line.address), address);
        cursor.insertText(QString::fromStdString(line.hex), plain);
        cursor.insertText(QString::fromLatin1(line.chars.data(), qsizetype(line.chars.size())), chars);
    }
    reData->moveCursor(QTextCursor::Start);
}

QString TfExtDat::startFolder() const {
    return QString::fromStdString(m_options.WorkDir);
}

void TfExtDat::bbDelExtDatClick() {
    setBlock(TExtensionData{});
}

void TfExtDat::bbLoadExtDatClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Load ExtensionData()"), startFolder(), ExdFilter);
    if (!path.isEmpty()) loadFromFile(path);
}

void TfExtDat::bbSaveExtDatClick() {
    QFileDialog dialog(this, QStringLiteral("Save ExtensionData()"), startFolder(), ExdFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The suffix the Load filter and the CLI's dump look for.
    dialog.setDefaultSuffix(QStringLiteral("exd"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveToFile(dialog.selectedFiles().constFirst());
}

bool TfExtDat::loadFromFile(const QString& path) {
    std::string error;
    const auto bytes = readWholeFile(path.toStdString(), error);
    if (!bytes) {
        showError(QString::fromStdString(error));
        return false;
    }
    const auto block = readExdBytes(*bytes, error);
    if (!block) {
        showError(QString::fromStdString(error));
        return false;
    }
    setBlock(*block);
    return true;
}

bool TfExtDat::saveToFile(const QString& path) {
    const std::string file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
    const FileResult result = writeWholeFile(file, exdFileBytes(m_block));
    if (!result.ok) {
        showError(QString::fromStdString(result.error));
        return false;
    }
    if (m_reporter) m_reporter->log(file + " saved.");
    return true;
}

} // namespace corvane
