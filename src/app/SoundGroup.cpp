#include "app/SoundGroup.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/EditHistory.h"
#include "app/ExtDatDialog.h"
#include "app/PlaylistPageGrid.h"
#include "app/SoundPlayer.h"
#include "io/FileIO.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "sound/SoundFile.h"

namespace corvane {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr std::string_view SoundHeaders[] = {"No.", "channel", "frequency", "bits/sample", "length"};

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setEnabled(false);
    return button;
}

} // namespace

SoundGroup::SoundGroup(Session& session, EditHistory& history, SoundPlayer& player, QWidget* parent)
    : QGroupBox(QStringLiteral("sound.bdmv"), parent), m_session(session), m_history(history),
      m_player(player) {
    setObjectName(QStringLiteral("gbSound"));
    sgSounds = new PlaylistGrid("sgSounds", SoundHeaders, this);
    sgSounds->setToolTip(QStringLiteral("Sound entries\nShift-Del: Delete sound\nIns: Insert sound"));
    // The group's own row height and header highlight.
    sgSounds->verticalHeader()->setDefaultSectionSize(20);
    sgSounds->horizontalHeader()->setHighlightSections(true);
    // Narrow number columns, so that the length shows at the window's default size.
    for (int column = 0; column < 4; ++column)
        sgSounds->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    sgSounds->horizontalHeader()->setStretchLastSection(true);
    sgSounds->installEventFilter(this);
    bbSoundPlay = toolButton(this, "bbSoundPlay", QStringLiteral("▶"), QStringLiteral("Play sound entry"));
    bbSaveSound = toolButton(this, "bbSaveSound", QString(), QStringLiteral("Save sound entry"));
    bbSaveSound->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bbInsSound =
        toolButton(this, "bbInsSound", QStringLiteral("Ins"), QStringLiteral("Insert a sound (Ins)"));
    bbDelSound =
        toolButton(this, "bbDelSound", QStringLiteral("Del"), QStringLiteral("Delete the sound (Shift-Del)"));
    lSNDExtDat = new QLabel(this);
    lSNDExtDat->setObjectName(QStringLiteral("lSNDExtDat"));
    bEditSndExtDat = new QPushButton(QStringLiteral("Edit"), this);
    bEditSndExtDat->setObjectName(QStringLiteral("bEditSndExtDat"));
    bEditSndExtDat->setToolTip(QStringLiteral("Edit the ExtensionData of sound.bdmv"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(bbSoundPlay);
    buttons->addWidget(bbSaveSound);
    buttons->addWidget(bbInsSound);
    buttons->addWidget(bbDelSound);
    buttons->addStretch(1);
    auto* table = new QHBoxLayout;
    table->addWidget(sgSounds, 1);
    table->addLayout(buttons);
    auto* extension = new QHBoxLayout;
    extension->addWidget(lSNDExtDat, 1);
    extension->addWidget(bEditSndExtDat);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(table, 1);
    layout->addLayout(extension);
    hide();

    connect(bbSoundPlay, &QToolButton::clicked, this, &SoundGroup::bbSoundPlayClick);
    connect(bbSaveSound, &QToolButton::clicked, this, &SoundGroup::bbSaveSoundClick);
    connect(bbInsSound, &QToolButton::clicked, this, [this] {
        const int row = selectedRow();
        loadSound(row < 0 ? std::nullopt : std::optional<int>(row));
    });
    connect(bbDelSound, &QToolButton::clicked, this, &SoundGroup::deleteSelected);
    connect(bEditSndExtDat, &QPushButton::clicked, this, &SoundGroup::bEditSndExtDatClick);
    connect(sgSounds->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_filling) sgSoundsClick();
    });

    chooseWavToOpen = [this](const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(this, title, QString::fromStdString(m_session.options.WorkDir),
                                            filter);
    };
    chooseWavToSave = [this](const QString& title, const QString& filter, const QString& proposed) {
        return QFileDialog::getSaveFileName(this, title, proposed, filter);
    };
}

void SoundGroup::fillFromSession() {
    m_inUse = m_session.soundFound && m_session.soundStatus != ReadStatus::FileError;
    setVisible(m_inUse);
    fillTable();
    emit createdStateChanged(m_inUse);
}

void SoundGroup::refreshFromSession() {
    const int row = sgSounds->currentRow();
    m_inUse = m_session.soundFound && m_session.soundStatus != ReadStatus::FileError;
    setVisible(m_inUse);
    fillTable();
    const int count = static_cast<int>(m_session.sound.SoundIndex.entries.size());
    if (count > 0) sgSounds->selectRow(std::clamp(row, 0, count - 1));
    emit createdStateChanged(m_inUse);
}

void SoundGroup::keepSound(EditScope& edit) {
    edit.keep([this]() -> TSND& { return m_session.sound; });
}

// The record takes the addresses the file will have, as Save does, so that an undo or redo
// back to what was saved shows no unsaved edit.
void SoundGroup::layOut() {
    layOutSound(m_session.sound);
}

void SoundGroup::fillTable() {
    const auto& entries = m_session.sound.SoundIndex.entries;
    const QChar point = QLocale().decimalPoint().at(0);
    {
        // Emptying the table is no choice of the user: the status bar keeps what it shows.
        const QScopedValueRollback quiet(m_filling, true);
        std::vector<std::vector<std::string>> rows;
        for (std::size_t i = 0; i < entries.size(); ++i)
            rows.push_back(soundRow(entries[i], i, point.toLatin1() ? point.toLatin1() : '.'));
        sgSounds->setRows(rows);
    }
    sgSounds->setEnabled(m_inUse);
    bbSoundPlay->setEnabled(!entries.empty());
    bbSaveSound->setEnabled(!entries.empty());
    bbDelSound->setEnabled(!entries.empty());
    bbInsSound->setEnabled(m_inUse);
    lSNDExtDat->setText(qs(ExtDatCap(m_session.sound.ExtensionData)));
    if (!entries.empty() && selectedRow() < 0) sgSounds->selectRow(0);
}

int SoundGroup::selectedRow() const {
    const int row = sgSounds->currentRow();
    const int count = static_cast<int>(m_session.sound.SoundIndex.entries.size());
    return row >= 0 && row < count ? row : -1;
}

void SoundGroup::sgSoundsClick() {
    const int row = selectedRow();
    const QChar separator = QLocale().groupSeparator().at(0);
    m_session.reporter.slog(row < 0 ? std::string{}
                                    : soundInfoLine(m_session.sound, static_cast<std::size_t>(row),
                                                    separator.toLatin1() ? separator.toLatin1() : ','),
                            0);
}

bool SoundGroup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgSounds && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ShiftModifier) {
            deleteSelected();
            return true;
        }
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            const int row = selectedRow();
            loadSound(row < 0 ? std::nullopt : std::optional<int>(row));
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void SoundGroup::loadSound(std::optional<int> row) {
    Reporter& r = m_session.reporter;
    if (m_session.sound.SoundIndex.entries.size() >= MaxSounds) {
        r.erlog("sound.bdmv holds 255 sounds, the most it can.");
        return;
    }
    const QString path =
        chooseWavToOpen(QStringLiteral("Select a sound file (mandatory 16 bit, 48kHz, uncompressed)"),
                        QStringLiteral("Wave (*.wav)"));
    if (path.isEmpty()) return;
    r.slog(QFileInfo(path).fileName().toStdString(), 0);
    std::string error;
    const auto bytes = readWholeFile(path.toStdString(), error);
    if (!bytes) {
        r.fileError(error);
        return;
    }
    WavImport wav = importWav(*bytes);
    if (!wav.entry) {
        r.erlog(wav.error);
        if (wav.formatError) r.sink().pause(3000);
        return;
    }
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Import WAV"));
    keepSound(edit);
    const auto at = insertSound(
        m_session.sound, row ? std::optional<std::size_t>(static_cast<std::size_t>(*row)) : std::nullopt,
        std::move(*wav.entry));
    layOut();
    fillTable();
    if (at) sgSounds->selectRow(static_cast<int>(*at));
    sgSoundsClick();
}

void SoundGroup::deleteSelected() {
    const int row = selectedRow();
    if (row < 0) return;
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Delete sound"));
    keepSound(edit);
    deleteSound(m_session.sound, static_cast<std::size_t>(row));
    layOut();
    fillTable();
    if (row < sgSounds->rowCount() && !m_session.sound.SoundIndex.entries.empty())
        sgSounds->selectRow(std::min(row, static_cast<int>(m_session.sound.SoundIndex.entries.size()) - 1));
    sgSoundsClick();
}

void SoundGroup::bbSoundPlayClick() {
    const int row = selectedRow();
    if (row >= 0) m_player.Play(mkWav(m_session.sound.SoundIndex.entries[static_cast<std::size_t>(row)]));
    sgSounds->setFocus();
}

void SoundGroup::bbSaveSoundClick() {
    const int row = selectedRow();
    if (row < 0) return;
    QString proposed = qs(soundWavName(static_cast<std::size_t>(row)));
    if (!m_session.options.WorkDir.empty()) proposed = QDir(qs(m_session.options.WorkDir)).filePath(proposed);
    const QString path =
        chooseWavToSave(QStringLiteral("Save sound entry"), QStringLiteral("Wave (*.wav)"), proposed);
    sgSounds->setFocus();
    if (path.isEmpty()) return;
    const std::string file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
    const auto written =
        writeWholeFile(file, mkWav(m_session.sound.SoundIndex.entries[static_cast<std::size_t>(row)]));
    if (written.ok)
        m_session.reporter.log(file + " saved.");
    else
        m_session.reporter.fileError(written.error);
}

void SoundGroup::bEditSndExtDatClick() {
    if (!m_extDat || !m_inUse) return;
    TExtensionData block = m_session.sound.ExtensionData;
    if (!m_extDat->edit("sound.bdmv", block)) return;
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Edit ExtensionData"));
    keepSound(edit);
    setSoundExtensionData(m_session.sound, block);
    layOut();
    lSNDExtDat->setText(qs(ExtDatCap(m_session.sound.ExtensionData)));
}

bool SoundGroup::create() {
    if (m_session.BDMVdir.empty()) return false;
    // The new record with its first sound is one step; undone, the folder has no sound.bdmv again.
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Create sound.bdmv"));
    keepSound(edit);
    edit.keep([this]() -> ReadStatus& { return m_session.soundStatus; });
    edit.keep([this]() -> bool& { return m_session.soundFound; });
    m_session.sound = createSound();
    m_session.soundStatus = ReadStatus::Ok;
    m_inUse = true;
    show();
    fillTable();
    loadSound(std::nullopt);
    if (m_session.sound.SoundIndex.entries.empty()) {
        edit.cancel();
        m_inUse = false;
        m_session.soundStatus = ReadStatus::FileError;
        hide();
        return false;
    }
    const QString auxdata = QDir(qs(m_session.BDMVdir)).filePath(QStringLiteral("AUXDATA"));
    if (!QDir().mkpath(auxdata))
        m_session.reporter.fileError("Cannot create the folder " + auxdata.toStdString());
    m_session.soundFound = true;
    emit createdStateChanged(true);
    return true;
}

bool SoundGroup::save() {
    if (!m_inUse) return true;
    return soundsave(m_session);
}

} // namespace corvane
