// Settings: defaults, binding of the Options page, the round trip through
// QSettings, and the country code field.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/QSettingsStore.h"
#include "widgets/ColourBox.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane::test {

class OptionsTest : public QObject {
    Q_OBJECT

    static void setStored(std::initializer_list<std::pair<const char*, QVariant>> values) {
        QSettingsStore store;
        store.settings().clear();
        for (const auto& [name, value] : values) store.settings().setValue(QLatin1String(name), value);
        store.sync();
    }
    static QVariant stored(const char* name) {
        QSettingsStore store;
        return store.settings().value(QLatin1String(name));
    }

private slots:
    void init() { setStored({}); }

    void firstRunShowsDefaultsAndWritesEveryValue() {
        {
            MainWindow window;
            OptionsPage* page = window.optionsPage;
            QVERIFY(child<QCheckBox>(page, "cbOAutoRead")->isChecked());
            QVERIFY(child<QCheckBox>(page, "cbOBackup")->isChecked());
            QCOMPARE(child<RadioGroup>(page, "rgOBackup")->itemIndex(), 0);
            QVERIFY(child<RadioGroup>(page, "rgOBackup")->isEnabled());
            QVERIFY(!child<QCheckBox>(page, "cbOSaveBACKUP")->isChecked());
            QVERIFY(child<QCheckBox>(page, "cbSaveSUP")->isChecked());
            QVERIFY(child<QCheckBox>(page, "cbSaveIG")->isChecked());
            QVERIFY(!child<QCheckBox>(page, "cbSavePES")->isChecked());
            QVERIFY(child<QCheckBox>(page, "cbForcedBeep")->isChecked());
            QVERIFY(child<QCheckBox>(page, "cbInEffectO")->isChecked());
            QVERIFY(!child<QCheckBox>(page, "cbAnimateO")->isChecked());
            QCOMPARE(child<THexEdit>(page, "heCountryCode")->text(), QStringLiteral("5553"));
            QCOMPARE(child<QLabel>(page, "lCountryCode")->text(), QStringLiteral("US"));
            QCOMPARE(child<TIntEdit>(page, "ieActiDelay")->text(), QStringLiteral("500"));
            QCOMPARE(child<ColourBox>(page, "colBackground")->colour(), QColor(0, 0, 128));
            QCOMPARE(child<ColourBox>(page, "colWindow")->colour(), QColor(0, 255, 0));
            QVERIFY(!child<QLineEdit>(page, "eBackPic")->isEnabled());
            QCOMPARE(child<QLineEdit>(page, "eWorkDir")->text(), QString());
            window.show();
            window.close();
        }
        QSettingsStore store;
        for (const SettingInfo& info : settingsWriteOrder(false))
            QVERIFY2(store.settings().contains(QLatin1String(info.name)), info.name);
        QCOMPARE(stored("AutoRead").toInt(), 1);
        QCOMPARE(stored("SaveBACKUP").toInt(), 0);
        QCOMPARE(stored("CountryCode").toInt(), 21843);
        QCOMPARE(stored("colBackground").toInt(), 8388608);
        QCOMPARE(stored("WindowState").toInt(), 0);
        QCOMPARE(stored("Width").toInt(), 1280);
    }

    void storedValuesReachTheControls() {
        setStored({{"AutoRead", 0},
                   {"Backup", 0},
                   {"BackupMode", 2},
                   {"Region", 1},
                   {"CountryCode", 0x4445},
                   {"colWindow", 255},
                   {"8.3names", 1},
                   {"BDMVdir", "/discs/x/BDMV/"},
                   {"Width", 900},
                   {"Height", 700},
                   {"ObjectHeight", 321},
                   {"Background", "true"},
                   {"ActiDelay", "fast"}});
        MainWindow window;
        OptionsPage* page = window.optionsPage;
        QVERIFY(!child<QCheckBox>(page, "cbOAutoRead")->isChecked());
        QVERIFY(!child<QCheckBox>(page, "cbOBackup")->isChecked());
        QVERIFY(!child<RadioGroup>(page, "rgOBackup")->isEnabled());
        QCOMPARE(child<RadioGroup>(page, "rgOBackup")->itemIndex(), 2);
        QCOMPARE(child<RadioGroup>(page, "rgRegion")->itemIndex(), 1);
        QCOMPARE(child<QLabel>(page, "lCountryCode")->text(), QStringLiteral("DE"));
        QCOMPARE(child<ColourBox>(page, "colWindow")->colour(), QColor(255, 0, 0));
        QVERIFY(child<QCheckBox>(page, "cb83names")->isChecked());
        QCOMPARE(window.session().names.IndexName, std::string("INDEX.BDM"));
        QVERIFY(child<QCheckBox>(page, "cbBackground")->isChecked());
        QVERIFY(child<QLineEdit>(page, "eBackPic")->isEnabled());
        QCOMPARE(window.session().options.ActiDelay, 500); // unreadable value: default kept
        QCOMPARE(child<QLineEdit>(window.bdmvPage, "eBDMVdir")->text(), QStringLiteral("/discs/x/BDMV/"));
        QCOMPARE(window.size(), QSize(900, 700));
        window.show();
        window.close();
        // Values without a control on this page come back as they were read.
        QCOMPARE(stored("ObjectHeight").toInt(), 321);
        QCOMPARE(stored("BDMVdir").toString(), QStringLiteral("/discs/x/BDMV/"));
    }

    void controlsWriteTheOptions() {
        MainWindow window;
        OptionsPage* page = window.optionsPage;
        Options& options = window.session().options;
        child<QCheckBox>(page, "cbOBackup")->setChecked(false);
        QVERIFY(!options.Backup);
        QVERIFY(!child<RadioGroup>(page, "rgOBackup")->isEnabled());
        child<RadioGroup>(page, "rgOBackup")->setItemIndex(1);
        QCOMPARE(options.BackupMode, 1);
        child<RadioGroup>(page, "rgChapterFormat")->setItemIndex(2);
        QCOMPARE(options.ChapterFormat, 2);
        child<RadioGroup>(page, "rgProgramformat")->setItemIndex(1);
        QCOMPARE(options.ProgramFormat, 1);
        child<QCheckBox>(page, "cbPlaySoundO")->setChecked(true);
        QVERIFY(options.PlaySound);
        child<QCheckBox>(page, "cb83names")->setChecked(true);
        QCOMPARE(window.session().names.PlayListExt, std::string(".MPL"));
        child<QCheckBox>(page, "cb83names")->setChecked(false);
        QCOMPARE(window.session().names.StreamExt, std::string(".m2ts"));
        child<TIntEdit>(page, "ieActiDelay")->setText(QStringLiteral("120"));
        QCOMPARE(window.session().reporter.ActiDelay, 120);
        child<ColourBox>(page, "colSelectedButton")->setColour(QColor(0x12, 0x34, 0x56));
        QCOMPARE(options.colSelectedButton, 0x563412); // stored as 0x00BBGGRR
        child<QCheckBox>(page, "cbBackground")->setChecked(true);
        QVERIFY(child<QToolButton>(page, "bbBackPic")->isEnabled());
        child<QLineEdit>(page, "eBackPic")->setText(QStringLiteral("/pics/back.png"));
        QCOMPARE(options.BackgroundPic, std::string("/pics/back.png"));
    }

    void maximisedCloseKeepsStoredGeometry() {
        setStored({{"Top", 11}, {"Left", 22}, {"Width", 800}, {"Height", 600}, {"WindowState", 0}});
        {
            MainWindow window;
            window.showMaximized();
            QTRY_VERIFY(window.isMaximized());
            window.close();
        }
        QCOMPARE(stored("WindowState").toInt(), 2);
        QCOMPARE(stored("Top").toInt(), 11);
        QCOMPARE(stored("Left").toInt(), 22);
        QCOMPARE(stored("Width").toInt(), 800);
        QCOMPARE(stored("Height").toInt(), 600);

        // Shown from these settings, the window comes back maximised.
        MainWindow again;
        again.showFromSettings();
        QTRY_VERIFY(again.isMaximized());
    }

    void normalCloseStoresGeometry() {
        {
            MainWindow window;
            window.show();
            window.resize(1000, 640);
            window.close();
        }
        QCOMPARE(stored("WindowState").toInt(), 0);
        QCOMPARE(stored("Width").toInt(), 1000);
        QCOMPARE(stored("Height").toInt(), 640);
    }

    void closingRemovesOurTemporaryFiles() {
        const QString temp = QDir::tempPath();
        for (const char* name : {"Corvane_MENU.tmp", "Corvane_x", "other.tmp"}) {
            QFile file(QDir(temp).filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        {
            MainWindow window;
            window.show();
            window.close();
        }
        QVERIFY(!QFile::exists(QDir(temp).filePath(QStringLiteral("Corvane_MENU.tmp"))));
        QVERIFY(!QFile::exists(QDir(temp).filePath(QStringLiteral("Corvane_x"))));
        QVERIFY(QFile::exists(QDir(temp).filePath(QStringLiteral("other.tmp"))));
    }

    void countryCodeShowsLettersAndClamps() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.PageControl->setCurrentWidget(window.optionsPage);
        THexEdit* edit = child<THexEdit>(window.optionsPage, "heCountryCode");
        QLabel* letters = child<QLabel>(window.optionsPage, "lCountryCode");

        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("3132"));
        QCOMPARE(letters->text(), QStringLiteral("12"));
        QCOMPARE(window.session().options.CountryCode, 0x3132);
        // Enter leaves the field for the Country group; leaving clamps.
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("4141"));
        QCOMPARE(letters->text(), QStringLiteral("AA"));
        QCOMPARE(window.session().options.CountryCode, 0x4141);
        QTRY_COMPARE(QApplication::focusWidget(),
                     static_cast<QWidget*>(child<QGroupBox>(window.optionsPage, "gbCountry")));

        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("5b5c"));
        QCOMPARE(edit->text(), QStringLiteral("5B5C"));
        child<QCheckBox>(window.optionsPage, "cbOAutoRead")->setFocus(); // leaving by focus
        QTRY_COMPARE(edit->text(), QStringLiteral("5A5A"));
        QCOMPARE(letters->text(), QStringLiteral("ZZ"));
    }

    void settingsStoreReadsItsTypes() {
        setStored(
            {{"AutoRead", "true"}, {"Backup", "0"}, {"Width", "1024"}, {"Height", "tall"}, {"BDMVdir", 5}});
        QSettingsStore store;
        QVERIFY(store.keyExists());
        QCOMPARE(std::get<bool>(*store.read("AutoRead", SettingType::Boolean)), true);
        QCOMPARE(std::get<bool>(*store.read("Backup", SettingType::Boolean)), false);
        QCOMPARE(std::get<int>(*store.read("Width", SettingType::Integer)), 1024);
        QVERIFY(!store.read("Height", SettingType::Integer));
        QVERIFY(!store.read("Top", SettingType::Integer));
        QCOMPARE(std::get<std::string>(*store.read("BDMVdir", SettingType::String)), std::string("5"));

        store.write("SaveBACKUP", true);
        store.sync();
        QCOMPARE(stored("SaveBACKUP").toInt(), 1); // booleans are kept as 0/1

        setStored({});
        QVERIFY(!QSettingsStore().keyExists());
    }
};

static RegisterGuiTest<OptionsTest> registration;

} // namespace corvane::test

#include "OptionsTest.moc"
