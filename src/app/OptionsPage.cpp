#include "app/OptionsPage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "io/FileIO.h"
#include "shell/Session.h"
#include "widgets/ColourBox.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane {

namespace {

QColor toQColor(std::int32_t windowsColour) {
    const std::uint32_t rgb = colourToRgb(windowsColour);
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

std::int32_t fromQColor(const QColor& colour) {
    return rgbToColour((std::uint32_t(colour.red()) << 16) | (std::uint32_t(colour.green()) << 8) |
                       std::uint32_t(colour.blue()));
}

// The two characters of a country code; what is no printable character shows as a space.
QString countryLetters(int value) {
    QString text = QString::fromLatin1(QByteArray::fromStdString(countryCodeText(value)));
    for (QChar& c : text)
        if (c.unicode() < 0x20) c = QLatin1Char(' ');
    return text;
}

QToolButton* folderButton(QWidget* parent, const char* name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(hint);
    return button;
}

RadioGroup* radioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items) {
    auto* group = new RadioGroup(caption, items, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

} // namespace

QCheckBox* OptionsPage::checkBox(const char* name, const QString& caption, bool Options::*field) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    m_checkBoxes.emplace_back(box, field);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) { m_session.options.*field = on; });
    return box;
}

ColourBox* OptionsPage::colourBox(const char* name, const QString& caption, std::int32_t Options::*field) {
    auto* box = new ColourBox(caption, this);
    box->setObjectName(QLatin1String(name));
    m_colourBoxes.emplace_back(box, field);
    connect(box, &ColourBox::colourChanged, this,
            [this, field](const QColor& colour) { m_session.options.*field = fromQColor(colour); });
    return box;
}

OptionsPage::OptionsPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsOptions"));

    // Files and folders
    cbOAutoRead = checkBox("cbOAutoRead", QStringLiteral("Auto Read"), &Options::AutoRead);
    cbCheckDisc = checkBox("cbCheckDisc", QStringLiteral("Check disc after Read"), &Options::CheckAfterRead);
    cbOBackup = checkBox("cbOBackup", QStringLiteral("Create backup files"), &Options::Backup);
    rgOBackup = radioGroup(
        this, "rgOBackup", QStringLiteral("Backup mode"),
        {QStringLiteral("Only first"), QStringLiteral("Overwrite"), QStringLiteral("Stop if exists")});
    cbOSaveBACKUP = checkBox("cbOSaveBACKUP", QStringLiteral("Save to BACKUP dir"), &Options::SaveBACKUP);
    cb83names = checkBox("cb83names", QStringLiteral("Use 8.3 filenames"), &Options::use83names);
    cbAssoc =
        checkBox("cbAssoc", QStringLiteral("Associate Corvane to .bdmv file extension"), &Options::Associate);
    eWorkDir = new QLineEdit(this);
    eWorkDir->setObjectName(QStringLiteral("eWorkDir"));
    eWorkDir->setReadOnly(true);
    bbWorkdir = folderButton(this, "bbWorkdir", QStringLiteral("Select a directory"));
    rgChapterFormat = radioGroup(this, "rgChapterFormat", QStringLiteral("Chapter format"),
                                 {QStringLiteral("PTS"), QStringLiteral("Frame"), QStringLiteral("Time"),
                                  QStringLiteral("OGM"), QStringLiteral("Matroska XML")});
    rgProgramformat = radioGroup(this, "rgProgramformat", QStringLiteral("Program format"),
                                 {QStringLiteral("List (*.lst)"), QStringLiteral("Binary (*.bin)")});

    // Player
    rgRegion = radioGroup(this, "rgRegion", QStringLiteral("Region code"),
                          {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    gbCountry = new QGroupBox(QStringLiteral("Country"), this);
    gbCountry->setObjectName(QStringLiteral("gbCountry"));
    gbCountry->setFocusPolicy(Qt::TabFocus);
    heCountryCode = new THexEdit(4, gbCountry);
    heCountryCode->setObjectName(QStringLiteral("heCountryCode"));
    heCountryCode->setMaximumWidth(60);
    lCountryCode = new QLabel(gbCountry);
    lCountryCode->setObjectName(QStringLiteral("lCountryCode"));
    lCountryCode->setMinimumWidth(24);
    cbInitPSR = checkBox("cbInitPSR", QStringLiteral("Init PSRs with 'real' values"), &Options::RealPSRs);
    cbForcedBeep =
        checkBox("cbForcedBeep", QStringLiteral("Forced beep on invalid command"), &Options::ForcedBeep);
    ieActiDelay = new TIntEdit(this);
    ieActiDelay->setObjectName(QStringLiteral("ieActiDelay"));
    ieActiDelay->setMaximumWidth(70);

    // Stream extraction
    cbSavePES = checkBox("cbSavePES", QStringLiteral("Save PES stream (not elementary)"), &Options::SavePES);
    cbSaveSUP = checkBox("cbSaveSUP", QStringLiteral("Save SUP if PG stream"), &Options::SaveSUP);
    cbSaveIG = checkBox("cbSaveIG", QStringLiteral("Save MNU if IG stream"), &Options::SaveMNU);

    // Menu view
    cbPreLoad = checkBox("cbPreLoad", QStringLiteral("Preload all bitmap of the page"), &Options::PreLoad);
    cbButtonIdO = checkBox("cbButtonIdO", QStringLiteral("Button ID (hex)"), &Options::ButtonId);
    cbObjectIdO = checkBox("cbObjectIdO", QStringLiteral("Object ID (hex)"), &Options::ObjectId);
    cbButtonFrameO = checkBox("cbButtonFrameO", QStringLiteral("Button frame"), &Options::ButtonFrame);
    cbWindowFrameO = checkBox("cbWindowFrameO", QStringLiteral("Window frame"), &Options::WindowFrame);
    cbInEffectO = checkBox("cbInEffectO", QStringLiteral("Show InEffects"), &Options::ShowInEffects);
    cbOutEffectO = checkBox("cbOutEffectO", QStringLiteral("Show OutEffects"), &Options::ShowOutEffects);
    cbAnimateO = checkBox("cbAnimateO", QStringLiteral("Animate buttons"), &Options::ShowButtonAnimation);
    cbFullScreenO = checkBox("cbFullScreenO", QStringLiteral("Full screen view"), &Options::ShowFullScreen);
    cbPlaySoundO = checkBox("cbPlaySoundO", QStringLiteral("Play sound"), &Options::PlaySound);
    cbBackground = checkBox("cbBackground", QStringLiteral("Background picture"), &Options::Background);
    eBackPic = new QLineEdit(this);
    eBackPic->setObjectName(QStringLiteral("eBackPic"));
    bbBackPic = folderButton(this, "bbBackPic", QStringLiteral("Select a background picture"));

    colBackground = colourBox("colBackground", QStringLiteral("Menu background"), &Options::colBackground);
    colObjectBackground =
        colourBox("colObjectBackground", QStringLiteral("Object background"), &Options::colObjectBackground);
    colSelectedButton =
        colourBox("colSelectedButton", QStringLiteral("Selected button"), &Options::colSelectedButton);
    colSelectedFrame =
        colourBox("colSelectedFrame", QStringLiteral("Selected frame"), &Options::colSelectedFrame);
    colNormalButton =
        colourBox("colNormalButton", QStringLiteral("Normal button"), &Options::colNormalButton);
    colNormalFrame = colourBox("colNormalFrame", QStringLiteral("Normal frame"), &Options::colNormalFrame);
    colInvalidButton =
        colourBox("colInvalidButton", QStringLiteral("Invalid button"), &Options::colInvalidButton);
    colInvalidFrame =
        colourBox("colInvalidFrame", QStringLiteral("Invalid Frame"), &Options::colInvalidFrame);
    colWindow = colourBox("colWindow", QStringLiteral("Window frame"), &Options::colWindow);

    // Layout: three columns of groups.
    auto* files = new QGroupBox(QStringLiteral("Files"), this);
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->addWidget(cbOAutoRead);
    filesLayout->addWidget(cbCheckDisc);
    filesLayout->addWidget(cbOBackup);
    filesLayout->addWidget(rgOBackup);
    filesLayout->addWidget(cbOSaveBACKUP);
    filesLayout->addWidget(cb83names);
    filesLayout->addWidget(cbAssoc);
    auto* workLabel = new QLabel(QStringLiteral("Output folder"), files);
    workLabel->setBuddy(eWorkDir);
    filesLayout->addWidget(workLabel);
    auto* workRow = new QHBoxLayout;
    workRow->addWidget(eWorkDir, 1);
    workRow->addWidget(bbWorkdir);
    filesLayout->addLayout(workRow);

    auto* formats = new QHBoxLayout;
    formats->addWidget(rgChapterFormat);
    formats->addWidget(rgProgramformat);

    auto* countryLayout = new QHBoxLayout(gbCountry);
    countryLayout->addWidget(heCountryCode);
    countryLayout->addWidget(lCountryCode);
    countryLayout->addStretch(1);

    auto* player = new QGroupBox(QStringLiteral("Player"), this);
    auto* playerLayout = new QVBoxLayout(player);
    auto* regionRow = new QHBoxLayout;
    regionRow->addWidget(rgRegion);
    regionRow->addWidget(gbCountry);
    playerLayout->addLayout(regionRow);
    playerLayout->addWidget(cbInitPSR);
    playerLayout->addWidget(cbForcedBeep);
    auto* delayRow = new QHBoxLayout;
    auto* delayLabel = new QLabel(QStringLiteral("Activate comm. show delay (ms)"), player);
    delayLabel->setBuddy(ieActiDelay);
    delayRow->addWidget(delayLabel);
    delayRow->addWidget(ieActiDelay);
    delayRow->addStretch(1);
    playerLayout->addLayout(delayRow);

    auto* extraction = new QGroupBox(QStringLiteral("Stream extraction"), this);
    auto* extractionLayout = new QVBoxLayout(extraction);
    extractionLayout->addWidget(cbSavePES);
    extractionLayout->addWidget(cbSaveSUP);
    extractionLayout->addWidget(cbSaveIG);

    gbCreate = new QGroupBox(QStringLiteral("Create"), this);
    gbCreate->setObjectName(QStringLiteral("gbCreate"));
    bCreateSound = new QPushButton(QStringLiteral("Create sound.bdmv"), gbCreate);
    bCreateSound->setObjectName(QStringLiteral("bCreateSound"));
    bCreateSound->setToolTip(
        QStringLiteral("A new sound.bdmv for the disc folder read, starting with a WAV file"));
    bCreateSound->setEnabled(false);
    bCreateMenu = new QPushButton(QStringLiteral("Create Menu"), gbCreate);
    bCreateMenu->setObjectName(QStringLiteral("bCreateMenu"));
    bCreateMenu->setToolTip(
        QStringLiteral("A new menu of one page with one button, replacing the menu in memory"));
    auto* createLayout = new QVBoxLayout(gbCreate);
    createLayout->addWidget(bCreateSound);
    createLayout->addWidget(bCreateMenu);

    auto* menuView = new QGroupBox(QStringLiteral("Menu view"), this);
    auto* menuLayout = new QVBoxLayout(menuView);
    for (QCheckBox* box : {cbPreLoad, cbButtonIdO, cbObjectIdO, cbButtonFrameO, cbWindowFrameO, cbInEffectO,
                           cbOutEffectO, cbAnimateO, cbFullScreenO, cbPlaySoundO, cbBackground})
        menuLayout->addWidget(box);
    auto* picRow = new QHBoxLayout;
    picRow->addWidget(eBackPic, 1);
    picRow->addWidget(bbBackPic);
    menuLayout->addLayout(picRow);

    auto* colours = new QGroupBox(QStringLiteral("Colours"), this);
    auto* coloursLayout = new QFormLayout(colours);
    coloursLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const std::pair<ColourBox*, const char*> colourRows[] = {{colBackground, "Menu background"},
                                                             {colObjectBackground, "Object background"},
                                                             {colSelectedButton, "Selected button"},
                                                             {colSelectedFrame, "Selected frame"},
                                                             {colNormalButton, "Normal button"},
                                                             {colNormalFrame, "Normal frame"},
                                                             {colInvalidButton, "Invalid button"},
                                                             {colInvalidFrame, "Invalid Frame"},
                                                             {colWindow, "Window frame"}};
    for (const auto& [box, caption] : colourRows) coloursLayout->addRow(QLatin1String(caption), box);

    auto* column1 = new QVBoxLayout;
    column1->addWidget(files);
    column1->addLayout(formats);
    column1->addStretch(1);
    auto* column2 = new QVBoxLayout;
    column2->addWidget(player);
    column2->addWidget(extraction);
    column2->addWidget(gbCreate);
    column2->addStretch(1);
    auto* column3 = new QVBoxLayout;
    column3->addWidget(menuView);
    column3->addWidget(colours);
    column3->addStretch(1);

    auto* content = new QWidget;
    auto* columns = new QHBoxLayout(content);
    columns->addLayout(column1, 1);
    columns->addLayout(column2, 1);
    columns->addLayout(column3, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    // What acts at once.
    connect(cbOBackup, &QCheckBox::toggled, rgOBackup, &QWidget::setEnabled);
    connect(rgOBackup, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (index >= 0) m_session.options.BackupMode = index;
    });
    connect(rgChapterFormat, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (index >= 0) m_session.options.ChapterFormat = index;
    });
    connect(rgProgramformat, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (index >= 0) m_session.options.ProgramFormat = index;
    });
    connect(rgRegion, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (index >= 0) m_session.options.Region = index;
    });
    connect(cb83names, &QCheckBox::toggled, this, &OptionsPage::cb83namesClick);
    connect(heCountryCode, &QLineEdit::textChanged, this, [this] {
        const int value = int(heCountryCode->value());
        lCountryCode->setText(countryLetters(value));
        m_session.options.CountryCode = value;
    });
    connect(heCountryCode, &QLineEdit::editingFinished, this, &OptionsPage::countryCodeLeft);
    connect(heCountryCode, &QLineEdit::returnPressed, this,
            [this] { gbCountry->setFocus(Qt::OtherFocusReason); });
    connect(ieActiDelay, &QLineEdit::textChanged, this, [this] {
        m_session.options.ActiDelay = ieActiDelay->value();
        m_session.applyOptions();
    });
    connect(bbWorkdir, &QToolButton::clicked, this, &OptionsPage::bbWorkdirClick);
    connect(eWorkDir, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_session.options.WorkDir = text.toStdString(); });
    connect(cbBackground, &QCheckBox::toggled, this, [this](bool on) {
        eBackPic->setEnabled(on);
        bbBackPic->setEnabled(on);
    });
    connect(eBackPic, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_session.options.BackgroundPic = text.toStdString(); });
    connect(bbBackPic, &QToolButton::clicked, this, &OptionsPage::bbBackPicClick);

    connect(bCreateSound, &QPushButton::clicked, this, &OptionsPage::createSoundRequested);
    connect(bCreateMenu, &QPushButton::clicked, this, &OptionsPage::createMenuRequested);
    connect(cbBackground, &QCheckBox::toggled, this, &OptionsPage::backgroundChanged);
    // A typed name counts when the field is left; one put there by the dialog at once.
    connect(eBackPic, &QLineEdit::editingFinished, this, &OptionsPage::backgroundChanged);
    connect(eBackPic, &QLineEdit::textChanged, this, [this] {
        if (!eBackPic->hasFocus()) emit backgroundChanged();
    });
    connect(colBackground, &ColourBox::colourChanged, this, &OptionsPage::backgroundChanged);
    connect(colObjectBackground, &ColourBox::colourChanged, this, &OptionsPage::objectBackgroundChanged);
    for (ColourBox* box : {colSelectedButton, colSelectedFrame, colNormalButton, colNormalFrame,
                           colInvalidButton, colInvalidFrame, colWindow})
        connect(box, &ColourBox::colourChanged, this, &OptionsPage::pageColourChanged);

    loadFromOptions();
}

void OptionsPage::setCreateSoundEnabled(bool enabled) {
    bCreateSound->setEnabled(enabled);
}

void OptionsPage::setWorkDir(const QString& folder) {
    eWorkDir->setText(folder);
}

QCheckBox* OptionsPage::menuViewBox(const char* name) const {
    return findChild<QCheckBox*>(QLatin1String(name));
}

void OptionsPage::loadFromOptions() {
    // Copied first: each control's handler writes its own value back.
    const Options options = m_session.options;
    for (const auto& [box, field] : m_checkBoxes) {
        box->setChecked(options.*field);
        emit box->toggled(options.*field);
    }
    for (const auto& [box, field] : m_colourBoxes) box->setColour(toQColor(options.*field));
    rgOBackup->setItemIndex(options.BackupMode);
    rgChapterFormat->setItemIndex(options.ChapterFormat);
    rgProgramformat->setItemIndex(options.ProgramFormat);
    rgRegion->setItemIndex(options.Region);
    heCountryCode->setValue(std::uint64_t(options.CountryCode) & 0xFFFF);
    ieActiDelay->setValue(options.ActiDelay);
    eWorkDir->setText(QString::fromStdString(options.WorkDir));
    eBackPic->setText(QString::fromStdString(options.BackgroundPic));
    m_session.options = options;
    m_session.applyOptions();
}

void OptionsPage::cb83namesClick() {
    m_session.options.use83names = cb83names->isChecked();
    m_session.applyOptions();
}

void OptionsPage::countryCodeLeft() {
    const int value = int(heCountryCode->value());
    const int clamped = clampCountryCode(value);
    if (clamped != value || heCountryCode->text().size() != heCountryCode->digits())
        heCountryCode->setValue(std::uint64_t(clamped));
}

void OptionsPage::bbWorkdirClick() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Select a directory"), eWorkDir->text());
    if (chosen.isEmpty()) return;
    QString folder = QDir::toNativeSeparators(chosen);
    // Output names are the folder text followed by the file name.
    if (!folder.endsWith(QLatin1Char(pathSeparator()))) folder += QLatin1Char(pathSeparator());
    eWorkDir->setText(folder);
}

void OptionsPage::bbBackPicClick() {
    QString start = QString::fromStdString(m_session.BDMVdir);
    if (start.isEmpty()) start = eWorkDir->text();
    if (start.isEmpty() && !eBackPic->text().isEmpty()) start = QFileInfo(eBackPic->text()).absolutePath();
    QFileDialog dialog(this, QStringLiteral("Select a background picture"), start,
                       QStringLiteral("BMP (*.bmp);;PNG (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    eBackPic->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

} // namespace corvane
