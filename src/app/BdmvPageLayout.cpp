// The BDMV page's controls and their arrangement.
#include "app/BdmvPage.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "app/EditModeMenu.h"
#include "app/SoundGroup.h"
#include "app/SoundPlayer.h"

#include "app/BdmvPageHelpers.h"
#include "app/BdmvPageUhd.h"
#include "app/CommandEditor.h"
#include "app/NavigationGrids.h"
#include "navigation/CommandEdit.h"
#include "navigation/NavigationEdit.h"
#include "navigation/ProgramList.h"
#include "shell/Session.h"
#include "widgets/AngleLabel.h"

namespace corvane {

using namespace bdmvpage;

void BdmvPage::buildIndexGroup(QWidget* box) {
    eContent = new QLineEdit(box);
    eContent->setObjectName(QStringLiteral("eContent"));
    eContent->setMaxLength(32);
    eContent->setToolTip(QStringLiteral("Content provider user data"));

    auto* fpb = new QGroupBox(QStringLiteral("First Playback"), box);
    cbFPBon = new QCheckBox(QStringLiteral("on"), fpb);
    cbFPBon->setObjectName(QStringLiteral("cbFPBon"));
    cbFPBtype = picker(fpb, "cbFPBtype");
    cbFPBTitlePBtype = picker(fpb, "cbFPBTitlePBtype");
    cbFPBObject = picker(fpb, "cbFPBObject");
    cbFPBFile = picker(fpb, "cbFPBFile");
    setNames(cbFPBtype, ObjectTypeNames);
    setNames(cbFPBTitlePBtype, PlaybackTypeNames);
    auto* fpbLayout = new QGridLayout(fpb);
    fpbLayout->addWidget(cbFPBon, 0, 0);
    fpbLayout->addWidget(cbFPBtype, 0, 1);
    fpbLayout->addWidget(cbFPBTitlePBtype, 0, 2);
    fpbLayout->addWidget(new QLabel(QStringLiteral("Object"), fpb), 1, 0);
    fpbLayout->addWidget(cbFPBObject, 1, 1);
    fpbLayout->addWidget(cbFPBFile, 1, 2);

    auto* tm = new QGroupBox(QStringLiteral("Top Menu"), box);
    cbTMon = new QCheckBox(QStringLiteral("on"), tm);
    cbTMon->setObjectName(QStringLiteral("cbTMon"));
    cbTMtype = picker(tm, "cbTMtype");
    cbTMObject = picker(tm, "cbTMObject");
    cbTMFile = picker(tm, "cbTMFile");
    setNames(cbTMtype, ObjectTypeNames);
    auto* tmLayout = new QGridLayout(tm);
    tmLayout->addWidget(cbTMon, 0, 0);
    tmLayout->addWidget(cbTMtype, 0, 1);
    tmLayout->addWidget(new QLabel(QStringLiteral("Object"), tm), 1, 0);
    tmLayout->addWidget(cbTMObject, 1, 1);
    tmLayout->addWidget(cbTMFile, 1, 2);

    titleModel = new TitleTableModel(m_session.index, this);
    sgTitles = new NavGridView(QStringLiteral("sgTitles"), box);
    sgTitles->setModel(titleModel);
    sgTitles->setColumnWidth(0, 40);
    lTitlenum = new TantAngleLabel(QString(), box);
    lTitlenum->setObjectName(QStringLiteral("lTitlenum"));
    lTitlenum->setAngle(270);

    cbTitleNo = picker(box, "cbTitleNo");
    cbTitleOT = picker(box, "cbTitleOT");
    cbTitleAT = picker(box, "cbTitleAT");
    cbTitlePBT = picker(box, "cbTitlePBT");
    cbTitleOID = picker(box, "cbTitleOID");
    cbTitleFN = picker(box, "cbTitleFN");
    setNames(cbTitleOT, ObjectTypeNames);
    setNames(cbTitleAT, AccessTypeNames);
    setNames(cbTitlePBT, PlaybackTypeNames);
    bbTiins = toolButton(box, "bbTiins", QStyle::SP_FileDialogNewFolder, QStringLiteral("Insert title"));
    bbTidel = toolButton(box, "bbTidel", QStyle::SP_TrashIcon, QStringLiteral("Delete title"));

    lIndexExtDat = new QLabel(box);
    lIndexExtDat->setObjectName(QStringLiteral("lIndexExtDat"));
    bIndExDatEdit = new QPushButton(QStringLiteral("ExtensionData"), box);
    bIndExDatEdit->setObjectName(QStringLiteral("bIndExDatEdit"));
    bIndExDatEdit->setToolTip(QStringLiteral("Edit the ExtensionData() of index.bdmv"));

    auto* titlePickers = new QGridLayout;
    titlePickers->addWidget(new QLabel(QStringLiteral("Title"), box), 0, 0);
    titlePickers->addWidget(cbTitleNo, 0, 1);
    titlePickers->addWidget(cbTitleOT, 0, 2);
    titlePickers->addWidget(cbTitleAT, 0, 3);
    titlePickers->addWidget(bbTiins, 0, 4);
    titlePickers->addWidget(cbTitlePBT, 1, 1);
    titlePickers->addWidget(cbTitleOID, 1, 2);
    titlePickers->addWidget(cbTitleFN, 1, 3);
    titlePickers->addWidget(bbTidel, 1, 4);

    auto* grid = new QHBoxLayout;
    grid->addWidget(lTitlenum);
    grid->addWidget(sgTitles, 1);

    auto* extension = new QHBoxLayout;
    extension->addWidget(lIndexExtDat, 1);
    extension->addWidget(bIndExDatEdit);

    auto* content = new QHBoxLayout;
    content->addWidget(new QLabel(QStringLiteral("Content provider"), box));
    content->addWidget(eContent, 1);

    auto* layout = new QVBoxLayout(box);
    layout->addLayout(content);
    auto* menus = new QHBoxLayout;
    menus->addWidget(fpb);
    menus->addWidget(tm);
    layout->addLayout(menus);
    layout->addLayout(grid, 1);
    layout->addLayout(titlePickers);
    layout->addLayout(extension);
    m_uhdGroup = new IndexUhdGroup(m_session, m_history, box);
    auto* uhdArea = new QScrollArea(box);
    uhdArea->setWidget(m_uhdGroup);
    uhdArea->setWidgetResizable(true);
    uhdArea->setFrameShape(QFrame::NoFrame);
    layout->addWidget(uhdArea);
    player = new SoundPlayer(this);
    gbSound = new SoundGroup(m_session, m_history, *player, box);
    layout->addWidget(gbSound, 1);
}

void BdmvPage::buildObjectGroup(QWidget* box) {
    objectModel = new ObjectTableModel(m_session.mobj, this);
    sgObject = new NavGridView(QStringLiteral("sgObject"), box);
    sgObject->setModel(objectModel);
    sgObject->setColumnWidth(0, 40);
    lObjects = new TantAngleLabel(QString(), box);
    lObjects->setObjectName(QStringLiteral("lObjects"));
    lObjects->setAngle(270);
    cbResume = picker(box, "cbResume");
    cbMenuCall = picker(box, "cbMenuCall");
    cbTitleSearch = picker(box, "cbTitleSearch");
    bbObins =
        toolButton(box, "bbObins", QStyle::SP_FileDialogNewFolder, QStringLiteral("Insert movieobject"));
    bbObdel = toolButton(box, "bbObdel", QStyle::SP_TrashIcon, QStringLiteral("Delete movieobject"));

    commandModel = new CommandTableModel(m_session.mobj, this);
    sgCommands = new NavGridView(QStringLiteral("sgCommands"), box);
    sgCommands->setModel(commandModel);
    sgCommands->setItemDelegate(new CommandLineDelegate(sgCommands));
    sgCommands->setToolTip(qs(HintNavigationCommands));
    sgCommands->setContextMenuPolicy(Qt::CustomContextMenu);
    const int digit = sgCommands->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    sgCommands->setColumnWidth(0, digit * 5 + 8);
    for (int column : {1, 2, 3}) sgCommands->setColumnWidth(column, digit * 10 + 8);
    bbNCins = toolButton(box, "bbNCins", QStyle::SP_FileDialogNewFolder,
                         QStringLiteral("Insert a line after selected line(s)"));
    bbNCdel = toolButton(box, "bbNCdel", QStyle::SP_TrashIcon, QStringLiteral("Delete the selected line(s)"));
    bbSaveCommands =
        toolButton(box, "bbSaveCommands", QStyle::SP_DialogSaveButton, qs(ProgramListDialogTitle));
    commandEditor = new CommandEditor(box);

    PopupMenu = makeEditModeMenu(
        this, [this] { return commandModel->editable(); },
        [this](bool editable) { setCommandsEditable(editable); });
    connect(sgCommands, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(sgCommands->viewport()->mapToGlobal(at)); });

    lObjExtDat = new QLabel(box);
    lObjExtDat->setObjectName(QStringLiteral("lObjExtDat"));
    bObjExtDatEdit = new QPushButton(QStringLiteral("ExtensionData"), box);
    bObjExtDatEdit->setObjectName(QStringLiteral("bObjExtDatEdit"));
    bObjExtDatEdit->setToolTip(QStringLiteral("Edit the ExtensionData() of MovieObject.bdmv"));

    auto* flags = new QVBoxLayout;
    flags->addWidget(new QLabel(QStringLiteral("resume"), box));
    flags->addWidget(cbResume);
    flags->addWidget(new QLabel(QStringLiteral("menu call"), box));
    flags->addWidget(cbMenuCall);
    flags->addWidget(new QLabel(QStringLiteral("title search"), box));
    flags->addWidget(cbTitleSearch);
    auto* objectButtons = new QHBoxLayout;
    objectButtons->addWidget(bbObins);
    objectButtons->addWidget(bbObdel);
    objectButtons->addStretch(1);
    flags->addLayout(objectButtons);
    flags->addStretch(1);

    auto* objects = new QHBoxLayout;
    objects->addWidget(lObjects);
    objects->addWidget(sgObject, 1);
    objects->addLayout(flags);

    auto* commandButtons = new QVBoxLayout;
    commandButtons->addWidget(bbNCins);
    commandButtons->addWidget(bbNCdel);
    commandButtons->addWidget(bbSaveCommands);
    commandButtons->addStretch(1);
    auto* commands = new QHBoxLayout;
    commands->addWidget(sgCommands, 1);
    commands->addLayout(commandButtons);

    auto* extension = new QHBoxLayout;
    extension->addWidget(lObjExtDat, 1);
    extension->addWidget(bObjExtDatEdit);

    auto* layout = new QVBoxLayout(box);
    layout->addLayout(objects, 2);
    layout->addLayout(commands, 3);
    layout->addWidget(commandEditor);
    layout->addLayout(extension);
}

} // namespace corvane
