// The PLAYLIST page's controls and their arrangement.
#include "app/PlaylistPage.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/EditModeMenu.h"
#include "app/PickerRow.h"
#include "app/PlaylistPageGrid.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListNames.h"
#include "shell/Session.h"
#include "widgets/EditControls.h"

namespace corvane {

using bdmvpage::picker;
using bdmvpage::qs;
using bdmvpage::toolButton;

namespace {

const QString TimeMask = QStringLiteral("99:99:99.999");

void setItems(QComboBox* box, const std::vector<std::string>& items) {
    box->clear();
    for (const std::string& item : items) box->addItem(QString::fromStdString(item));
    // The box may be narrow over a grid cell; its list shows the whole texts.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
}

QLabel* smallLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.8);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    return label;
}

THexEdit* hexEdit(QWidget* parent, const char* name, int digits, const QString& hint) {
    auto* edit = new THexEdit(digits, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits + 2, QLatin1Char('0'))) + 8);
    return edit;
}

TIntEdit* intEdit(QWidget* parent, const char* name, int digits, const QString& hint = {}) {
    auto* edit = new TIntEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(digits);
    edit->setToolTip(hint);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits + 2, QLatin1Char('0'))) + 8);
    return edit;
}

} // namespace

void PlaylistPage::buildAppInfoGroup() {
    gbAppInfo = new QGroupBox(QStringLiteral("AppInfoPlayList"), this);
    gbAppInfo->setObjectName(QStringLiteral("gbAppInfo"));
    gbAppInfo->setFocusPolicy(Qt::StrongFocus);
    cbAIpbt = picker(gbAppInfo, "cbAIpbt");
    cbAIpbt->addItems({QStringLiteral("Sequential"), QStringLiteral("Random"), QStringLiteral("Shuffle")});
    cbAIpbt->setToolTip(QStringLiteral("PlayList playback type"));
    ieAIpbc = intEdit(gbAppInfo, "ieAIpbc", 5, QStringLiteral("Playback count"));
    heAIUO = hexEdit(gbAppInfo, "heAIUO", 8, QStringLiteral("UO mask table, bits 63..32"));
    heAIUO2 = hexEdit(gbAppInfo, "heAIUO2", 8, QStringLiteral("UO mask table, bits 31..0"));
    cbAIRA = new QCheckBox(QStringLiteral("random access"), gbAppInfo);
    cbAIRA->setObjectName(QStringLiteral("cbAIRA"));
    cbAIRA->setToolTip(QStringLiteral("PlayList_random_access_flag"));
    cbAIAM = new QCheckBox(QStringLiteral("audio mix"), gbAppInfo);
    cbAIAM->setObjectName(QStringLiteral("cbAIAM"));
    cbAIAM->setToolTip(QStringLiteral("audio_mix_app_flag"));
    cbAIBM = new QCheckBox(QStringLiteral("bypass mixer"), gbAppInfo);
    cbAIBM->setObjectName(QStringLiteral("cbAIBM"));
    cbAIBM->setToolTip(QStringLiteral("lossless_may_bypass_mixer_flag"));

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Playback type"), gbAppInfo));
    fields->addWidget(cbAIpbt);
    fields->addSpacing(8);
    fields->addWidget(new QLabel(QStringLiteral("count"), gbAppInfo));
    fields->addWidget(ieAIpbc);
    fields->addSpacing(8);
    fields->addWidget(new QLabel(QStringLiteral("UO mask"), gbAppInfo));
    fields->addWidget(heAIUO);
    fields->addWidget(heAIUO2);
    fields->addSpacing(8);
    fields->addWidget(cbAIRA);
    fields->addWidget(cbAIAM);
    fields->addWidget(cbAIBM);
    fields->addStretch(1);

    // One box per mask bit, its bit number above it: 31..0 of the first word, then bit 30 of the second.
    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(2);
    boxes->setVerticalSpacing(0);
    boxes->addWidget(new QLabel(QStringLiteral("UO"), gbAppInfo), 1, 0);
    for (int bit = 31; bit >= 0; --bit) {
        auto* box = new QCheckBox(gbAppInfo);
        box->setObjectName(QStringLiteral("cbUO%1").arg(bit));
        box->setToolTip(qs(uoHint(bit)));
        cbUO[static_cast<std::size_t>(bit)] = box;
        const int column = 32 - bit;
        boxes->addWidget(smallLabel(QString::number(bit), gbAppInfo), 0, column, Qt::AlignHCenter);
        boxes->addWidget(box, 1, column, Qt::AlignHCenter);
    }
    cbUO2_30 = new QCheckBox(gbAppInfo);
    cbUO2_30->setObjectName(QStringLiteral("cbUO2_30"));
    cbUO2_30->setToolTip(qs(UO2_30Hint));
    boxes->setColumnMinimumWidth(33, 10);
    boxes->addWidget(smallLabel(QStringLiteral("2:30"), gbAppInfo), 0, 34, Qt::AlignHCenter);
    boxes->addWidget(cbUO2_30, 1, 34, Qt::AlignHCenter);
    boxes->setColumnStretch(35, 1);

    auto* layout = new QVBoxLayout(gbAppInfo);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addLayout(fields);
    layout->addLayout(boxes);
}

void PlaylistPage::buildPlayItemGroup() {
    gbPLayList = new QGroupBox(QStringLiteral("PlayItems"), this);
    gbPLayList->setObjectName(QStringLiteral("gbPLayList"));
    sgPLitem = new PlaylistGrid("sgPLitem", PlayItemHeaders, gbPLayList);
    sgPLitem->setColumnChars({3, 5, 5, 12, 12, 12, 8, 8, 2});
    sgPLitem->setEditMasks({{1, QStringLiteral("99999")},
                            {3, TimeMask},
                            {4, TimeMask},
                            {6, QStringLiteral(">HHHHHHHH")},
                            {7, QStringLiteral(">HHHHHHHH")}});
    // Wide enough for every column beside the STN table.
    int itemWidth = 2 * sgPLitem->frameWidth() + sgPLitem->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < sgPLitem->columnCount(); ++column)
        itemWidth += sgPLitem->columnWidth(column);
    sgPLitem->setMinimumWidth(itemWidth);
    sgPLitem->setContextMenuPolicy(Qt::CustomContextMenu);
    sgPLitem->setToolTip(QStringLiteral("Right click: Edit mode / Read only; double click: the clip"));
    sgPIangles = new PlaylistGrid("sgPIangles", AngleHeaders, gbPLayList);
    sgPIangles->setColumnChars({3, 5, 5, 3});
    sgPIangles->setFixedWidth(sgPIangles->fontMetrics().horizontalAdvance(QString(18, QLatin1Char('0'))) +
                              48);
    sgPIangles->hide();

    sgSTN = new PlaylistGrid("sgSTN", StnHeaders, gbPLayList);
    sgSTN->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgSTN->setColumnChars({3, 3, 3, 3, 3, 3, 3, 3});
    sgSTN->horizontalHeader()->setStretchLastSection(false);
    sgSTN->setToolTip(QStringLiteral("Primary video, primary audio, PG/textST, IG, secondary video, "
                                     "secondary audio, PiP PG/textST, Dolby Vision enhancement layer"));
    sgSTN->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSTN->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int stnWidth = 2 * sgSTN->frameWidth();
    for (int column = 0; column < sgSTN->columnCount(); ++column) stnWidth += sgSTN->columnWidth(column);
    sgSTN->setFixedSize(stnWidth, sgSTN->horizontalHeader()->sizeHint().height() +
                                      sgSTN->verticalHeader()->defaultSectionSize() +
                                      2 * sgSTN->frameWidth());

    sgStreamEntry = new PlaylistGrid("sgStreamEntry", StreamEntryHeaders, gbPLayList);
    QWidget* over = sgStreamEntry->viewport();
    coEntryType = picker(over, "coEntryType");
    heMainPID = hexEdit(over, "heMainPID", 4, QStringLiteral("PID of mainClip"));
    heSubPID = hexEdit(over, "heSubPID", 4, QStringLiteral("PID of subClip"));
    ieSubPath = intEdit(over, "ieSubPath", 3, QStringLiteral("SubPath id"));
    ieSubClip = intEdit(over, "ieSubClip", 3, QStringLiteral("subClip entry id"));
    coVideo = picker(over, "coVideo");
    coResol = picker(over, "coResol");
    coFrmRate = picker(over, "coFrmRate");
    coAudio = picker(over, "coAudio");
    coAuType = picker(over, "coAuType");
    coFreq = picker(over, "coFreq");
    coLang = picker(over, "coLang");
    buildUhdEditors(over);
    setItems(coEntryType, pickerItems(EntryField::Type));
    setItems(coVideo, pickerItems(EntryField::Video));
    setItems(coResol, pickerItems(EntryField::Resolution));
    setItems(coFrmRate, pickerItems(EntryField::FrameRate));
    setItems(coAudio, pickerItems(EntryField::Audio));
    setItems(coAuType, pickerItems(EntryField::AudioType));
    setItems(coFreq, pickerItems(EntryField::Frequency));
    setItems(coLang, pickerItems(EntryField::Language));
    coLang->setMaxVisibleItems(20);
    coResol->setToolTip(QStringLiteral("video_format"));
    coFrmRate->setToolTip(QStringLiteral("frame_rate"));
    coFreq->setToolTip(QStringLiteral("sampling_frequency"));
    coLang->setToolTip(QStringLiteral("language_code"));
    // The editors lie over one row: the row is as tall as they are.
    sgStreamEntry->verticalHeader()->setDefaultSectionSize(coAudio->sizeHint().height());
    sgStreamEntry->setColumnChars({3, 9, 5, 3, 3, 5});
    for (QWidget* editor : {static_cast<QWidget*>(heMainPID), static_cast<QWidget*>(heSubPID),
                            static_cast<QWidget*>(ieSubPath), static_cast<QWidget*>(ieSubClip)})
        editor->setMinimumWidth(0);
    hideEntryEditors();
    bbInsSTN = toolButton(gbPLayList, "bbInsSTN", QStyle::SP_FileDialogNewFolder,
                          QStringLiteral("Insert a stream entry after the selected one"));
    bbInsSTN->setText(QStringLiteral("+"));
    bbDelSTN = toolButton(gbPLayList, "bbDelSTN", QStyle::SP_TrashIcon,
                          QStringLiteral("Delete the selected stream entry"));
    bbDelSTN->setText(QStringLiteral("-"));

    auto* stnButtons = new QVBoxLayout;
    stnButtons->addWidget(bbInsSTN);
    stnButtons->addWidget(bbDelSTN);
    stnButtons->addStretch(1);
    auto* entries = new QHBoxLayout;
    entries->addWidget(sgStreamEntry, 1);
    entries->addLayout(stnButtons);
    auto* stnTop = new QHBoxLayout;
    stnTop->addWidget(new QLabel(QStringLiteral("STN table"), gbPLayList));
    stnTop->addWidget(sgSTN);
    stnTop->addStretch(1);
    auto* stn = new QVBoxLayout;
    stn->addLayout(stnTop);
    stn->addLayout(entries, 1);

    auto* layout = new QHBoxLayout(gbPLayList);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(sgPLitem, 1);
    layout->addWidget(sgPIangles);
    layout->addLayout(stn, 1);
}

void PlaylistPage::buildSubPathGroup() {
    gbSubPath = new QGroupBox(QStringLiteral("SubPaths"), this);
    gbSubPath->setObjectName(QStringLiteral("gbSubPath"));
    sgSubPath = new PlaylistGrid("sgSubPath", SubPathHeaders, gbSubPath);
    sgSubPath->setColumnChars({3, 9, 6, 4});
    sgSubPath->setFixedWidth(sgSubPath->fontMetrics().horizontalAdvance(QString(22, QLatin1Char('0'))) + 64);
    cbSubPathType = picker(gbSubPath, "cbSubPathType");
    for (int type = 0; type < SubPathTypeCount; ++type)
        cbSubPathType->addItem(qs(subPathTypeName(static_cast<std::uint8_t>(type))));
    cbSPrepeat = picker(gbSubPath, "cbSPrepeat");
    cbSPrepeat->addItems({QStringLiteral("No"), QStringLiteral("Yes")});
    cbSPrepeat->setToolTip(QStringLiteral("is_repeat_SubPath"));
    bbSPins = toolButton(gbSubPath, "bbSPins", QStyle::SP_FileDialogNewFolder,
                         QStringLiteral("Insert a SubPath after the selected one"));
    bbSPins->setText(QStringLiteral("+"));
    bbSPdel =
        toolButton(gbSubPath, "bbSPdel", QStyle::SP_TrashIcon, QStringLiteral("Delete the selected SubPath"));
    bbSPdel->setText(QStringLiteral("-"));
    sgSubPlayItem = new PlaylistGrid("sgSubPlayItem", SubPlayItemHeaders, gbSubPath);
    sgSubPlayItem->setColumnChars({3, 5, 5, 4, 5, 3, 12, 12, 7, 12, 2});
    sgSubPlayItem->setEditMasks({{1, QStringLiteral("99999")},
                                 {3, QStringLiteral("9")},
                                 {4, QStringLiteral(">A")},
                                 {5, QStringLiteral("999")},
                                 {6, TimeMask},
                                 {7, TimeMask},
                                 {8, QStringLiteral("999")},
                                 {9, TimeMask}});
    sgSubPlayItem->setContextMenuPolicy(Qt::CustomContextMenu);
    sgSubPlayItem->setToolTip(sgPLitem->toolTip());
    sgAngles = new PlaylistGrid("sgAngles", AngleHeaders, gbSubPath);
    sgAngles->setColumnChars({3, 5, 5, 3});
    sgAngles->setFixedWidth(sgPIangles->width());
    sgAngles->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbSPins);
    buttons->addWidget(bbSPdel);
    buttons->addStretch(1);
    auto* pickers = new QVBoxLayout;
    pickers->addWidget(new QLabel(QStringLiteral("type"), gbSubPath));
    pickers->addWidget(cbSubPathType);
    pickers->addWidget(new QLabel(QStringLiteral("repeat"), gbSubPath));
    pickers->addWidget(cbSPrepeat);
    pickers->addLayout(buttons);
    pickers->addStretch(1);

    auto* layout = new QHBoxLayout(gbSubPath);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(sgSubPath);
    layout->addLayout(pickers);
    layout->addWidget(sgSubPlayItem, 1);
    layout->addWidget(sgAngles);
}

void PlaylistPage::buildMarkGroup() {
    gbPlayListMark = new QGroupBox(QStringLiteral("PlayListMarks"), this);
    gbPlayListMark->setObjectName(QStringLiteral("gbPlayListMark"));
    sgPlayListMark = new PlaylistGrid("sgPlayListMark", MarkHeaders, gbPlayListMark);
    sgPlayListMark->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgPlayListMark->setColumnChars({3, 10, 3, 12, 9, 10});
    cmPLMtype = picker(gbPlayListMark, "cmPLMtype");
    for (std::uint8_t type : {std::uint8_t{1}, std::uint8_t{2}}) cmPLMtype->addItem(qs(markTypeName(type)));
    cmPLMtype->setToolTip(QStringLiteral("mark_type"));
    iePLMPI = intEdit(gbPlayListMark, "iePLMPI", 3, QStringLiteral("ref_to_PlayItem_id"));
    iePLMhour = intEdit(gbPlayListMark, "iePLMhour", 2, QStringLiteral("hours"));
    iePLMmin = intEdit(gbPlayListMark, "iePLMmin", 2, QStringLiteral("minutes"));
    iePLMsec = intEdit(gbPlayListMark, "iePLMsec", 2, QStringLiteral("seconds"));
    iePLMms = intEdit(gbPlayListMark, "iePLMms", 3, QStringLiteral("milliseconds"));
    bbPLMins = toolButton(gbPlayListMark, "bbPLMins", QStyle::SP_FileDialogNewFolder,
                          QStringLiteral("Insert PlayListMark item"));
    bbPLMins->setText(QStringLiteral("+"));
    bbPLMdel = toolButton(gbPlayListMark, "bbPLMdel", QStyle::SP_TrashIcon,
                          QStringLiteral("Delete PlayListMark item"));
    bbPLMdel->setText(QStringLiteral("-"));
    bbLoadChap = toolButton(gbPlayListMark, "bbLoadChap", QStyle::SP_DialogOpenButton,
                            QStringLiteral("Load chapters"));
    bbSaveChap = toolButton(gbPlayListMark, "bbSaveChap", QStyle::SP_DialogSaveButton,
                            QStringLiteral("Save chapters"));

    auto* time = new QHBoxLayout;
    time->setSpacing(2);
    time->addWidget(iePLMhour);
    time->addWidget(new QLabel(QStringLiteral(":"), gbPlayListMark));
    time->addWidget(iePLMmin);
    time->addWidget(new QLabel(QStringLiteral(":"), gbPlayListMark));
    time->addWidget(iePLMsec);
    time->addWidget(new QLabel(QStringLiteral("."), gbPlayListMark));
    time->addWidget(iePLMms);
    time->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbPLMins);
    buttons->addWidget(bbPLMdel);
    buttons->addSpacing(12);
    buttons->addWidget(bbLoadChap);
    buttons->addWidget(bbSaveChap);
    buttons->addStretch(1);
    auto* editors = new QGridLayout;
    editors->addWidget(new QLabel(QStringLiteral("type"), gbPlayListMark), 0, 0);
    editors->addWidget(cmPLMtype, 0, 1, Qt::AlignLeft);
    editors->addWidget(new QLabel(QStringLiteral("PlayItem"), gbPlayListMark), 1, 0);
    editors->addWidget(iePLMPI, 1, 1, Qt::AlignLeft);
    editors->addWidget(new QLabel(QStringLiteral("mark time"), gbPlayListMark), 2, 0);
    editors->addLayout(time, 2, 1);
    editors->addLayout(buttons, 3, 0, 1, 2);
    editors->setRowStretch(4, 1);

    auto* layout = new QHBoxLayout(gbPlayListMark);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(sgPlayListMark, 3);
    layout->addLayout(editors, 2);
}

void PlaylistPage::buildPopupMenu() {
    PopupMenu = makeEditModeMenu(
        this, [this] { return m_popupGrid && m_popupGrid->editable(); },
        [this](bool editable) {
            if (m_popupGrid) setGridEditable(m_popupGrid, editable);
        });
    for (PlaylistGrid* grid : {sgPLitem, sgSubPlayItem})
        connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
            m_popupGrid = grid;
            PopupMenu->popup(grid->viewport()->mapToGlobal(at));
        });
}

void PlaylistPage::setGridEditable(PlaylistGrid* grid, bool editable) {
    grid->setEditable(editable);
}

} // namespace corvane
