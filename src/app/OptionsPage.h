#pragma once
// The Options page: every user setting with its control, bound to the session's options.

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

#include "shell/Options.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace corvane {

struct Session;
class ColourBox;
class RadioGroup;
class THexEdit;
class TIntEdit;

class OptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit OptionsPage(Session& session, QWidget* parent = nullptr);

    // Puts the session's options into the controls; their handlers run so that
    // what depends on them follows.
    void loadFromOptions();

    void cb83namesClick();
    void bbWorkdirClick();
    void bbBackPicClick();

    // "Create sound.bdmv" is offered while the folder read has none.
    void setCreateSoundEnabled(bool enabled);
    void setWorkDir(const QString& folder);
    // A box of the "Menu view" group (cbButtonIdO … cbPlaySoundO) by its name: the Menu
    // page shows a twin of each.
    QCheckBox* menuViewBox(const char* name) const;

signals:
    void createSoundRequested();
    void createMenuRequested();
    // The background picture or its colour changed, or the picture was switched on or off.
    void backgroundChanged();
    void objectBackgroundChanged(const QColor& colour);
    // A colour of the buttons, their frames or the windows changed.
    void pageColourChanged();

private:
    QCheckBox* cbOAutoRead;
    QCheckBox* cbCheckDisc;
    QCheckBox* cbOBackup;
    RadioGroup* rgOBackup;
    QCheckBox* cbOSaveBACKUP;
    QCheckBox* cb83names;
    QCheckBox* cbAssoc;
    QLineEdit* eWorkDir;
    QToolButton* bbWorkdir;
    RadioGroup* rgChapterFormat;
    RadioGroup* rgProgramformat;

    RadioGroup* rgRegion;
    QGroupBox* gbCountry;
    THexEdit* heCountryCode;
    QLabel* lCountryCode;
    QCheckBox* cbInitPSR;
    QCheckBox* cbForcedBeep;
    TIntEdit* ieActiDelay;

    QCheckBox* cbSavePES;
    QCheckBox* cbSaveSUP;
    QCheckBox* cbSaveIG;

    QGroupBox* gbCreate;
    QPushButton* bCreateSound; // "Create sound.bdmv": enabled while the folder has none
    QPushButton* bCreateMenu;  // "Create Menu": a new one-page menu on the Menu page

    QCheckBox* cbPreLoad;
    QCheckBox* cbButtonIdO;
    QCheckBox* cbObjectIdO;
    QCheckBox* cbButtonFrameO;
    QCheckBox* cbWindowFrameO;
    QCheckBox* cbInEffectO;
    QCheckBox* cbOutEffectO;
    QCheckBox* cbAnimateO;
    QCheckBox* cbFullScreenO;
    QCheckBox* cbPlaySoundO;
    QCheckBox* cbBackground;
    QLineEdit* eBackPic;
    QToolButton* bbBackPic;

    ColourBox* colBackground;
    ColourBox* colObjectBackground;
    ColourBox* colSelectedButton;
    ColourBox* colSelectedFrame;
    ColourBox* colNormalButton;
    ColourBox* colNormalFrame;
    ColourBox* colInvalidButton;
    ColourBox* colInvalidFrame;
    ColourBox* colWindow;

    QCheckBox* checkBox(const char* name, const QString& caption, bool Options::*field);
    ColourBox* colourBox(const char* name, const QString& caption, std::int32_t Options::*field);
    void countryCodeLeft();

    Session& m_session;
    std::vector<std::pair<QCheckBox*, bool Options::*>> m_checkBoxes;
    std::vector<std::pair<ColourBox*, std::int32_t Options::*>> m_colourBoxes;
};

} // namespace corvane
