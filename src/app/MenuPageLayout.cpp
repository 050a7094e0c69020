// The controls of the Menu page and where they sit.

#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <string_view>

#include "app/MenuPage.h"
#include "app/PlaylistPageGrid.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane {

namespace {

constexpr std::array<std::string_view, 20> ButtonHeaders{
    "id",    "value",    "a.act.",  "X",       "Y",     "upper",    "lower",   "left",    "right", "n.start",
    "n.end", "n.repeat", "s.sound", "s.start", "s.end", "s.repeat", "a.sound", "a.start", "a.end", "comm."};
constexpr std::array<std::string_view, 5> CommandHeaders{"No.", "Opcode", "Destinat.", "Source",
                                                         "Command line"};
constexpr std::array<std::string_view, 5> WindowHeaders{"id", "X pos.", "Y pos.", "width", "height"};
constexpr std::array<std::string_view, 4> EffectHeaders{"No.", "duration", "palette", "objects"};
constexpr std::array<std::string_view, 5> CompObjectHeaders{"No.", "object", "window", "X pos.", "Y pos."};
constexpr std::array<std::string_view, 4> ObjectHeaders{"id", "width", "height", "references"};

template <typename Edit> Edit* headField(QWidget* parent, const char* name, const QString& hint, int chars) {
    auto* edit = new Edit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    edit->setReadOnly(true);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (chars + 2) + 8);
    return edit;
}

THexEdit* hexField(QWidget* parent, const char* name, const QString& hint, int digits) {
    auto* edit = new THexEdit(digits, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    edit->setReadOnly(true);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 2) + 8);
    return edit;
}

QWidget* labelled(const QString& caption, QWidget* field) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(field);
    return box;
}

QScrollArea* pictureArea(QLabel* picture) {
    auto* area = new QScrollArea;
    area->setWidget(picture);
    area->setWidgetResizable(false);
    area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return area;
}

} // namespace

PictureBox::PictureBox(const char* name, QWidget* parent) : QLabel(parent) {
    setObjectName(QLatin1String(name));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(event->position().toPoint());
    QLabel::mouseMoveEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed(event->position().toPoint());
    QLabel::mousePressEvent(event);
}

ViewBox::ViewBox(QLabel* picture, QWidget* parent) : QScrollArea(parent), m_picture(picture) {
    setWidget(picture);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->resize(PageWidth, PageHeight);
}

void ViewBox::setFit(bool fit) {
    m_fit = fit;
    setHorizontalScrollBarPolicy(fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    place();
}

ViewGeometry ViewBox::geometryNow() const {
    return m_fit ? fitGeometry(width(), height()) : actualSizeGeometry();
}

void ViewBox::setBoxColour(const QColor& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
    viewport()->setAutoFillBackground(true);
    viewport()->setPalette(colours);
}

void ViewBox::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (m_fit) place();
}

void ViewBox::place() {
    // The scroll box centres a picture smaller than its client: the fit geometry's place.
    const ViewGeometry shown = geometryNow();
    setAlignment(m_fit ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    m_picture->resize(shown.width, shown.height);
}

void MenuPage::buildLayout() {
    bLoadMenu = new QPushButton(QStringLiteral("&Load"), this);
    bLoadMenu->setObjectName(QStringLiteral("bLoadMenu"));
    bLoadMenu->setToolTip(QStringLiteral("Load an IGS menu (*.mnu)"));
    bMux = new QPushButton(QStringLiteral("M&ux"), this);
    bMux->setObjectName(QStringLiteral("bMux"));
    bMux->setToolTip(QStringLiteral("Mux the IGS menu to a .m2ts"));
    bMux->setEnabled(false);

    gbMenuHead = new QGroupBox(QStringLiteral("Page"), this);
    gbMenuHead->setObjectName(QStringLiteral("gbMenuHead"));
    cbPage = new QComboBox(gbMenuHead);
    cbPage->setObjectName(QStringLiteral("cbPage"));
    cbPage->setToolTip(QStringLiteral("Page ID"));
    cbPage->setMinimumContentsLength(4);
    lPagenum = new QLabel(gbMenuHead);
    lPagenum->setObjectName(QStringLiteral("lPagenum"));
    heUO1 = hexField(gbMenuHead, "heUO1", QStringLiteral("User Operation Mask 1"), 8);
    heUO2 = hexField(gbMenuHead, "heUO2", QStringLiteral("User Operation Mask 2"), 8);
    ieFramerate = headField<TIntEdit>(gbMenuHead, "ieFramerate",
                                      QStringLiteral("Animation Frame Rate Code (divider)"), 3);
    heDefSelButt = hexField(gbMenuHead, "heDefSelButt", QStringLiteral("Default Selected Button"), 4);
    heDefActButt = hexField(gbMenuHead, "heDefActButt", QStringLiteral("Default Activated Button"), 4);
    hePalette = hexField(gbMenuHead, "hePalette", QStringLiteral("Palette"), 2);
    ieInEffWin =
        headField<TIntEdit>(gbMenuHead, "ieInEffWin", QStringLiteral("Windows of the in effects"), 3);
    ieInEffEff = headField<TIntEdit>(gbMenuHead, "ieInEffEff", QStringLiteral("In effects"), 3);
    ieOutEffWin =
        headField<TIntEdit>(gbMenuHead, "ieOutEffWin", QStringLiteral("Windows of the out effects"), 3);
    ieOutEffEff = headField<TIntEdit>(gbMenuHead, "ieOutEffEff", QStringLiteral("Out effects"), 3);
    ieBOGs = headField<TIntEdit>(gbMenuHead, "ieBOGs", QStringLiteral("Number of BOGs"), 3);

    // Two rows: the page's fields, then its counts.
    auto* head = new QGridLayout(gbMenuHead);
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(cbPage);
    pageRow->addWidget(lPagenum);
    auto* pageBox = new QWidget;
    pageBox->setLayout(pageRow);
    pageRow->setContentsMargins(0, 0, 0, 0);
    head->addWidget(labelled(QStringLiteral("Page"), pageBox), 0, 0);
    head->addWidget(labelled(QStringLiteral("UO mask"), heUO1), 0, 1);
    head->addWidget(labelled(QString(), heUO2), 0, 2);
    head->addWidget(labelled(QStringLiteral("Anim."), ieFramerate), 0, 3);
    head->addWidget(labelled(QStringLiteral("Def. sel."), heDefSelButt), 0, 4);
    head->addWidget(labelled(QStringLiteral("Def. act."), heDefActButt), 0, 5);
    head->addWidget(labelled(QStringLiteral("Palette"), hePalette), 0, 6);
    head->addWidget(labelled(QStringLiteral("In win."), ieInEffWin), 1, 1);
    head->addWidget(labelled(QStringLiteral("In eff."), ieInEffEff), 1, 2);
    head->addWidget(labelled(QStringLiteral("Out win."), ieOutEffWin), 1, 3);
    head->addWidget(labelled(QStringLiteral("Out eff."), ieOutEffEff), 1, 4);
    head->addWidget(labelled(QStringLiteral("BOGs"), ieBOGs), 1, 5);

    gbIGSInfo = new QGroupBox(QStringLiteral("IGS"), this);
    gbIGSInfo->setObjectName(QStringLiteral("gbIGSInfo"));
    cbVideo = new QComboBox(gbIGSInfo);
    cbVideo->setObjectName(QStringLiteral("cbVideo"));
    for (const char* name : VideoFormatNames) cbVideo->addItem(QLatin1String(name));
    cbFrame = new QComboBox(gbIGSInfo);
    cbFrame->setObjectName(QStringLiteral("cbFrame"));
    for (const char* name : FrameRateNames) cbFrame->addItem(QLatin1String(name));
    eUTO = headField<QLineEdit>(gbIGSInfo, "eUTO", QStringLiteral("User timeout"), 7);
    meIGInTime = headField<QLineEdit>(gbIGSInfo, "meIGInTime", QStringLiteral("IN_time"), 11);
    cbComposition = new QComboBox(gbIGSInfo);
    cbComposition->setObjectName(QStringLiteral("cbComposition"));
    cbComposition->setToolTip(QStringLiteral("Composition read from the stream"));
    auto* info = new QGridLayout(gbIGSInfo);
    info->addWidget(labelled(QStringLiteral("Video"), cbVideo), 0, 0);
    info->addWidget(labelled(QStringLiteral("Frame rate"), cbFrame), 0, 1);
    info->addWidget(labelled(QStringLiteral("Time-out"), eUTO), 1, 0);
    info->addWidget(labelled(QStringLiteral("IN time"), meIGInTime), 1, 1);
    info->addWidget(cbComposition, 2, 0, 1, 2);
    cbComposition->hide();

    auto* top = new QHBoxLayout;
    auto* menuButtons = new QVBoxLayout;
    menuButtons->addStretch(1);
    menuButtons->addWidget(bLoadMenu);
    menuButtons->addWidget(bMux);
    top->addLayout(menuButtons);
    top->addWidget(gbMenuHead);
    top->addWidget(gbIGSInfo);
    top->addStretch(1);

    pcMenu = new QTabWidget(this);
    pcMenu->setObjectName(QStringLiteral("pcMenu"));

    // BOGs: the BOG table with a header column, the buttons of the chosen BOG, the
    // commands of the chosen button and the object of the chosen cell.
    auto* bogs = new QWidget;
    sgBOG = new BogGrid("sgBOG", BogTableRowLabels, bogs);
    sgBOG->horizontalHeader()->setDefaultSectionSize(40);
    sgBOG->verticalHeader()->setDefaultSectionSize(sgBOG->fontMetrics().height() + 4);
    sgBOG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgBOG->setSelectionBehavior(QAbstractItemView::SelectColumns);
    sgBOG->setSelectionMode(QAbstractItemView::SingleSelection);
    sgBOG->setFixedHeight(3 * (sgBOG->fontMetrics().height() + 4) +
                          sgBOG->horizontalScrollBar()->sizeHint().height() + 6);
    sgButton = new PlaylistGrid("sgButton", ButtonHeaders, bogs);
    sgButton->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgButton->setColumnChars({5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 7, 7, 6, 6, 7, 7, 6, 6, 5});
    sgMCommands = new PlaylistGrid("sgMCommands", CommandHeaders, bogs);
    sgMCommands->setColumnChars({5, 9, 9, 9, 40});
    iBOG = new PictureBox("iBOG");
    auto* bogSplit = new QSplitter(Qt::Horizontal);
    bogSplit->addWidget(sgMCommands);
    bogSplit->addWidget(pictureArea(iBOG));
    bogSplit->setStretchFactor(0, 3);
    bogSplit->setStretchFactor(1, 2);
    bogSplit->setSizes({3000, 2000}); // shares, scaled to the width when shown
    auto* bogLayout = new QVBoxLayout(bogs);
    bogLayout->addWidget(sgBOG);
    bogLayout->addWidget(sgButton, 1);
    bogLayout->addWidget(bogSplit, 2);
    pcMenu->addTab(bogs, QStringLiteral("BOGs"));

    // Effects: in or out sequence of the page, its windows, effects and composition objects.
    auto* effects = new QWidget;
    rgEffects = new RadioGroup(QStringLiteral("Effects"),
                               {QStringLiteral("InEffects"), QStringLiteral("OutEffects")}, effects);
    rgEffects->setObjectName(QStringLiteral("rgEffects"));
    rgEffects->setItemIndex(0);
    sgEffWindows = new PlaylistGrid("sgEffWindows", WindowHeaders, effects);
    sgEffEffects = new PlaylistGrid("sgEffEffects", EffectHeaders, effects);
    sgEffCompObjects = new PlaylistGrid("sgEffCompObjects", CompObjectHeaders, effects);
    // The crop of the chosen composition object, and its preview.
    auto* crop = new QGroupBox(QStringLiteral("Cropping"), effects);
    cbCropped = new QCheckBox(QStringLiteral("cropped"), crop);
    cbCropped->setObjectName(QStringLiteral("cbCropped"));
    cbCropped->setToolTip(QStringLiteral("object_cropped_flag"));
    cbCropped->setEnabled(false); // until a composition object is chosen
    const auto cropField = [crop](const char* name, const QString& hint) {
        auto* edit = new TIntEdit(crop);
        edit->setObjectName(QLatin1String(name));
        edit->setToolTip(hint);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
        edit->setEnabled(false);
        return edit;
    };
    neCropX = cropField("neCropX", QStringLiteral("Cropping horizontal position"));
    neCropY = cropField("neCropY", QStringLiteral("Cropping vertical position"));
    neCropW = cropField("neCropW", QStringLiteral("Cropping width"));
    neCropH = cropField("neCropH", QStringLiteral("Cropping height"));
    auto* cropLayout = new QGridLayout(crop);
    cropLayout->addWidget(cbCropped, 0, 0, 1, 4);
    cropLayout->addWidget(labelled(QStringLiteral("X"), neCropX), 1, 0);
    cropLayout->addWidget(labelled(QStringLiteral("Y"), neCropY), 1, 1);
    cropLayout->addWidget(labelled(QStringLiteral("Width"), neCropW), 1, 2);
    cropLayout->addWidget(labelled(QStringLiteral("Height"), neCropH), 1, 3);
    iEffect = new PictureBox("iEffect");
    auto* tables = new QHBoxLayout;
    tables->addWidget(rgEffects, 0, Qt::AlignTop);
    tables->addWidget(sgEffWindows, 2);
    tables->addWidget(sgEffEffects, 2);
    tables->addWidget(sgEffCompObjects, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(crop);
    right->addStretch(1);
    tables->addLayout(right);
    auto* effectLayout = new QVBoxLayout(effects);
    effectLayout->addLayout(tables, 1);
    effectLayout->addWidget(pictureArea(iEffect), 2);
    pcMenu->addTab(effects, QStringLiteral("Effects"));

    // Objects: the object list, the pickers and the picture.
    auto* objects = new QWidget;
    sgIGObjects = new PlaylistGrid("sgIGObjects", ObjectHeaders, objects);
    sgIGObjects->setColumnChars({5, 5, 5, 12});
    lIGObjnum = new QLabel(objects);
    lIGObjnum->setObjectName(QStringLiteral("lIGObjnum"));
    gbObjPal = new QGroupBox(QStringLiteral("Object / Palette"), objects);
    gbObjPal->setObjectName(QStringLiteral("gbObjPal"));
    cbObjects = new QComboBox(gbObjPal);
    cbObjects->setObjectName(QStringLiteral("cbObjects"));
    cbObjects->setMinimumContentsLength(5);
    cbPalettes = new QComboBox(gbObjPal);
    cbPalettes->setObjectName(QStringLiteral("cbPalettes"));
    cbPalettes->setMinimumContentsLength(3);
    cbPalOnly = new QCheckBox(QStringLiteral("View palette only"), gbObjPal);
    cbPalOnly->setObjectName(QStringLiteral("cbPalOnly"));
    cbPalOnly->setToolTip(QStringLiteral("Show the chart of the chosen palette"));
    // The PNG buttons sit beside the group: an object can be loaded into a menu without any.
    bbSaveIGObj = new QToolButton(objects);
    bbSaveIGObj->setObjectName(QStringLiteral("bbSaveIGObj"));
    bbSaveIGObj->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bbSaveIGObj->setToolTip(QStringLiteral("Save the object as PNG"));
    bbLoadIGObj = new QToolButton(objects);
    bbLoadIGObj->setObjectName(QStringLiteral("bbLoadIGObj"));
    bbLoadIGObj->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    bbLoadIGObj->setToolTip(QStringLiteral("Load an object from PNG (palette, greyscale, RGB or RGBA) with a "
                                           "new palette; the arrow offers the chosen palette"));
    bbLoadIGObj->setPopupMode(QToolButton::MenuButtonPopup);
    auto* importMenu = new QMenu(bbLoadIGObj);
    importMenu->setObjectName(QStringLiteral("mImportPng"));
    actPngNewPalette = importMenu->addAction(QStringLiteral("New palette"));
    actPngNewPalette->setObjectName(QStringLiteral("actPngNewPalette"));
    actPngIntoPalette = importMenu->addAction(QStringLiteral("Into palette"));
    actPngIntoPalette->setObjectName(QStringLiteral("actPngIntoPalette"));
    actPngIntoPalette->setToolTip(QStringLiteral("Each pixel takes the nearest colour of the palette"));
    bbLoadIGObj->setMenu(importMenu);
    auto* pickers = new QHBoxLayout(gbObjPal);
    pickers->addWidget(new QLabel(QStringLiteral("Object")));
    pickers->addWidget(cbObjects);
    pickers->addWidget(new QLabel(QStringLiteral("Palette")));
    pickers->addWidget(cbPalettes);
    pickers->addWidget(cbPalOnly);
    pickers->addStretch(1);
    auto* pickerRow = new QHBoxLayout;
    pickerRow->addWidget(gbObjPal, 1);
    pickerRow->addWidget(bbSaveIGObj, 0, Qt::AlignBottom);
    pickerRow->addWidget(bbLoadIGObj, 0, Qt::AlignBottom);
    iObject = new PictureBox("iObject");
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(sgIGObjects, 1);
    listColumn->addWidget(lIGObjnum);
    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addLayout(pickerRow);
    pictureColumn->addWidget(pictureArea(iObject), 1);
    auto* objectLayout = new QHBoxLayout(objects);
    objectLayout->addLayout(listColumn, 2);
    objectLayout->addLayout(pictureColumn, 3);
    pcMenu->addTab(objects, QStringLiteral("Objects"));

    // Page view: the composed page, 1:1 in a scroll box or fitted to it.
    tsFullpage = new QWidget;
    tsFullpage->setObjectName(QStringLiteral("tsFullpage"));
    iFullpage = new PictureBox("iFullpage");
    iFullpage->setScaledContents(true);
    sbFullpage = new ViewBox(iFullpage);
    sbFullpage->setObjectName(QStringLiteral("sbFullpage"));
    auto* viewLayout = new QVBoxLayout(tsFullpage);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->addWidget(sbFullpage);
    pcMenu->addTab(tsFullpage, QStringLiteral("Page view"));

    // Overlays and simulation options; each has its twin on the Options page.
    const auto option = [this](const char* name, const QString& caption, const QString& hint) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        box->setToolTip(hint);
        return box;
    };
    gbInfos = new QGroupBox(QStringLiteral("Show"), this);
    gbInfos->setObjectName(QStringLiteral("gbInfos"));
    cbButtonId = option("cbButtonId", QStringLiteral("Button ID"), QStringLiteral("Show Button ID"));
    cbObjectId = option("cbObjectId", QStringLiteral("Object ID"), QStringLiteral("Show Object ID"));
    cbButtonFrame =
        option("cbButtonFrame", QStringLiteral("Button frame"), QStringLiteral("Show Button frame"));
    cbWindowFrame =
        option("cbWindowFrame", QStringLiteral("Window frame"), QStringLiteral("Show Window frame"));
    auto* infos = new QGridLayout(gbInfos);
    infos->addWidget(cbButtonId, 0, 0);
    infos->addWidget(cbObjectId, 0, 1);
    infos->addWidget(cbButtonFrame, 0, 2);
    infos->addWidget(cbWindowFrame, 0, 3);
    gbInfos->hide();
    gbEffectOptions = new QGroupBox(QStringLiteral("Play"), this);
    gbEffectOptions->setObjectName(QStringLiteral("gbEffectOptions"));
    cbInEffect = option("cbInEffect", QStringLiteral("InEffects"), QStringLiteral("Show InEffect() effects"));
    cbOutEffect =
        option("cbOutEffect", QStringLiteral("OutEffects"), QStringLiteral("Show OutEffects() effects"));
    cbAnimate = option("cbAnimate", QStringLiteral("Animate"), QStringLiteral("Button animation"));
    cbPlaySound = option("cbPlaySound", QStringLiteral("Sound"), QStringLiteral("Play button sound"));
    cbFullScreen = option("cbFullScreen", QStringLiteral("Fit"), QStringLiteral("Show Full Screen"));
    auto* play = new QGridLayout(gbEffectOptions);
    play->addWidget(cbInEffect, 0, 0);
    play->addWidget(cbOutEffect, 0, 1);
    play->addWidget(cbAnimate, 0, 2);
    play->addWidget(cbPlaySound, 0, 3);
    play->addWidget(cbFullScreen, 0, 4);
    gbEffectOptions->hide();

    tDrawRep = new QTimer(this);
    tDrawRep->setObjectName(QStringLiteral("tDrawRep"));
    tUserTO = new QTimer(this);
    tUserTO->setObjectName(QStringLiteral("tUserTO"));

    // A row of their own under the head: shown beside it they widened the window.
    auto* options = new QHBoxLayout;
    options->addWidget(gbInfos);
    options->addWidget(gbEffectOptions);
    options->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(options);
    layout->addWidget(pcMenu, 1);
}

} // namespace corvane
