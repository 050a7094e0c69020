// The BDMV page over the bundled sample disc: titles, objects and command lines as
// the user sees them, the grid operations with their upkeep, the command editor,
// reference following, program lists, ExtensionData and saving both files.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "GuiTest.h"
#include "app/BdjoPage.h"
#include "app/BdmvPage.h"
#include "app/CommandEditor.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/NavigationGrids.h"
#include "app/PageTabs.h"
#include "app/QSettingsStore.h"
#include "navigation/CommandText.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "navigation/ProgramList.h"
#include "widgets/AngleLabel.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

std::vector<std::uint8_t> toVector(const QByteArray& bytes) {
    return {bytes.begin(), bytes.end()};
}

QString cell(const QAbstractItemModel* model, int row, int column) {
    return model->index(row, column).data().toString();
}

QStringList rowTexts(const QAbstractItemModel* model, int row) {
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column) texts << cell(model, row, column);
    return texts;
}

QString noLine(int line) {
    return QString::fromStdString(comm2str(TNavCommand{}, line, CommandContext::MovieObject).line);
}

} // namespace

class BdmvPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_bdmv;

    BdmvPage* page() { return m_window->bdmvPage; }
    Session& session() { return m_window->session(); }
    QAbstractItemModel* titles() { return child<NavGridView>(page(), "sgTitles")->model(); }
    QAbstractItemModel* objects() { return child<NavGridView>(page(), "sgObject")->model(); }
    QAbstractItemModel* commands() { return child<NavGridView>(page(), "sgCommands")->model(); }

    void selectRows(QTableView* view, int first, int last) {
        view->selectRow(first);
        if (last > first)
            view->selectionModel()->select(
                QItemSelection(view->model()->index(first, 0), view->model()->index(last, 4)),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString logText() { return m_window->findChild<MessageLog*>(QStringLiteral("reMessage"))->toPlainText(); }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
        m_bdmv = copySampleDisc(m_root->path());
        m_window = std::make_unique<MainWindow>();
        page()->setFolder(m_bdmv.toStdString());
        m_window->bReadBDMVClick();
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void controlsByName() {
        for (const char* name : {"sgTitles", "sgObject", "sgCommands"})
            QVERIFY2(m_window->findChild<QTableView*>(QLatin1String(name)), name);
        for (const char* name :
             {"cbFPBtype",     "cbFPBTitlePBtype", "cbFPBObject", "cbFPBFile", "cbTMtype",
              "cbTMObject",    "cbTMFile",         "cbTitleNo",   "cbTitleOT", "cbTitleAT",
              "cbTitlePBT",    "cbTitleOID",       "cbTitleFN",   "cbResume",  "cbMenuCall",
              "cbTitleSearch", "cbCmdGrp",         "cbCmdSGrp",   "cbCmd",     "cbOP1",
              "cbOp2"})
            QVERIFY2(m_window->findChild<QComboBox*>(QLatin1String(name)), name);
        for (const char* name : {"cbFPBon", "cbTMon", "cbOP1on", "cbOP2on"})
            QVERIFY2(m_window->findChild<QCheckBox*>(QLatin1String(name)), name);
        for (const char* name :
             {"bbTiins", "bbTidel", "bbObins", "bbObdel", "bbNCins", "bbNCdel", "bbSaveCommands"})
            QVERIFY2(m_window->findChild<QToolButton*>(QLatin1String(name)), name);
        for (const char* name : {"ieOp1", "ieOp2"})
            QVERIFY2(m_window->findChild<TIntEdit*>(QLatin1String(name)), name);
        for (const char* name : {"heOCH", "heDEH", "heSOH"})
            QVERIFY2(m_window->findChild<THexEdit*>(QLatin1String(name)), name);
        for (const char* name : {"lTitlenum", "lObjects"}) {
            auto* label = m_window->findChild<TantAngleLabel*>(QLatin1String(name));
            QVERIFY2(label, name);
            QCOMPARE(label->angle(), 270);
        }
        QCOMPARE(child<QToolButton>(page(), "bbNCins")->toolTip(),
                 QStringLiteral("Insert a line after selected line(s)"));
        QCOMPARE(child<QToolButton>(page(), "bbObins")->toolTip(), QStringLiteral("Insert movieobject"));
        QCOMPARE(child<QToolButton>(page(), "bbTidel")->toolTip(), QStringLiteral("Delete title"));
        QCOMPARE(child<QToolButton>(page(), "bbSaveCommands")->toolTip(),
                 QStringLiteral("Save program list"));
    }

    void readShowsTheSample() {
        QCOMPARE(titles()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("OID/file"));
        QCOMPARE(commands()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Destinat."));
        QCOMPARE(rowTexts(titles(), 0), (QStringList{"001", "HDMV", "Permitted", "Movie", "2"}));
        QCOMPARE(rowTexts(titles(), 1), (QStringList{"002", "HDMV", "Permitted", "Movie", "3"}));
        QCOMPARE(rowTexts(objects(), 1), (QStringList{"001", "discard", "disable", "disable", "5"}));
        QCOMPARE(objects()->rowCount(), 4);
        QCOMPARE(child<TantAngleLabel>(page(), "lTitlenum")->text(), QStringLiteral("2 + 2 titles"));
        QCOMPARE(child<TantAngleLabel>(page(), "lObjects")->text(), QStringLiteral("4 objects"));
        QCOMPARE(child<QLineEdit>(page(), "eContent")->text(), QStringLiteral("Corvane sample disc"));
        QCOMPARE(child<QLabel>(page(), "lIndexExtDat")->text(), QStringLiteral("no ExtensionData()"));
        QVERIFY(child<QCheckBox>(page(), "cbFPBon")->isChecked());
        QVERIFY(child<QCheckBox>(page(), "cbTMon")->isChecked());
        QCOMPARE(child<QComboBox>(page(), "cbTMObject")->currentText(), QStringLiteral("1"));
        QCOMPARE(child<QComboBox>(page(), "cbTitleNo")->count(), 2);
        QVERIFY(m_window->bSave->isEnabled());

        // Title 1 is selected and shows its object 2.
        QCOMPARE(page()->selectedTitle(), 0);
        QCOMPARE(page()->selectedObject(), 2);
        QCOMPARE(child<QComboBox>(page(), "cbTitleOID")->currentText(), QStringLiteral("2"));
        QCOMPARE(rowTexts(commands(), 1),
                 (QStringList{"0001", "42C10000", "00000002 ", "00000000 ", "Play PL_PI 2, 0"}));
        QCOMPARE(page()->selectedLine(), 0);
        QCOMPARE(child<CommandEditor>(page(), "pCommandEditor")->heOCH->text(), QStringLiteral("50400001"));

        // Colours: opcode blue, an operand out of use grey.
        const QModelIndex jump = commands()->index(2, 3);
        QCOMPARE(cell(commands(), 2, 4), QStringLiteral("Jump Object 1"));
        QCOMPARE(commands()->index(2, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(commands()->index(2, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(jump.data(Qt::ForegroundRole).value<QColor>(), QColor(0xA0, 0xA0, 0xA4));

        // A PSR note is drawn as a comment.
        page()->setObjectSG(3);
        const QString psrLine = cell(commands(), 1, 4);
        QVERIFY(psrLine.startsWith(QStringLiteral("EQ PSR4, 2")));
        const int start = commands()->index(1, 4).data(CommandTableModel::CommentStartRole).toInt();
        QCOMPARE(start, psrLine.indexOf(QLatin1Char(';')) - 1);
        QCOMPARE(commands()->index(0, 4).data(CommandTableModel::CommentStartRole).toInt(), -1);
        // The PSR a line names becomes the grid's hint.
        page()->selectLine(1);
        QVERIFY(child<NavGridView>(page(), "sgCommands")
                    ->toolTip()
                    .startsWith(QStringLiteral("PSR4: Title Number")));
        page()->selectLine(0);
        QCOMPARE(child<NavGridView>(page(), "sgCommands")->toolTip(), QStringLiteral("Navigation commands"));
    }

    void invalidAndForbiddenLinesAreColoured() {
        page()->setObjectSG(0);
        Tmobject& object = session().mobj.MovieObjects.mobjs[0];
        object.navigation_commands[0].opcode = 0xFFFFFFFF;
        auto* model = static_cast<CommandTableModel*>(commands());
        model->refreshRows(0, 0);
        QVERIFY(cell(commands(), 0, 4).startsWith(QLatin1Char('!')));
        QCOMPARE(commands()->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        QVERIFY(commands()->index(0, 4).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(commands()->index(0, 4).data(CommandTableModel::MarkedLineRole).toBool());
        QVERIFY(!commands()->index(1, 4).data(CommandTableModel::MarkedLineRole).toBool());
    }

    void insertAndDeleteTitles() {
        page()->selectTitle(0);
        child<QToolButton>(page(), "bbTiins")->click();
        QCOMPARE(titles()->rowCount(), 3);
        QCOMPARE(rowTexts(titles(), 1), (QStringList{"002", "HDMV", "Permitted", "Movie", "0"}));
        QCOMPARE(rowTexts(titles(), 2), (QStringList{"003", "HDMV", "Permitted", "Movie", "3"}));
        QCOMPARE(child<QComboBox>(page(), "cbTitleNo")->count(), 3);
        QCOMPARE(child<QComboBox>(page(), "cbTitleNo")->currentIndex(), 1);
        QCOMPARE(child<TantAngleLabel>(page(), "lTitlenum")->text(), QStringLiteral("3 + 2 titles"));
        QCOMPARE(session().index.Indexes.indexes_length, 62u);

        // Titles 2 to 3 go; title 1 is selected.
        selectRows(child<NavGridView>(page(), "sgTitles"), 1, 2);
        child<QToolButton>(page(), "bbTidel")->click();
        QCOMPARE(titles()->rowCount(), 1);
        QCOMPARE(rowTexts(titles(), 0), (QStringList{"001", "HDMV", "Permitted", "Movie", "2"}));
        QCOMPARE(child<QComboBox>(page(), "cbTitleNo")->count(), 1);
        QCOMPARE(page()->selectedTitle(), 0);
        QCOMPARE(session().index.Indexes.indexes_length, 38u);

        // The last title goes: one empty row, pickers off; a new first title has the defaults.
        child<NavGridView>(page(), "sgTitles")->selectRow(0);
        QTest::keyClick(child<NavGridView>(page(), "sgTitles"), Qt::Key_Delete);
        QCOMPARE(titles()->rowCount(), 1);
        QCOMPARE(rowTexts(titles(), 0), (QStringList{"", "", "", "", ""}));
        QVERIFY(!child<QComboBox>(page(), "cbTitleNo")->isEnabled());
        QVERIFY(!child<QComboBox>(page(), "cbTitleOID")->isEnabled());
        QCOMPARE(child<TantAngleLabel>(page(), "lTitlenum")->text(), QStringLiteral("0 + 2 titles"));
        QTest::keyClick(child<NavGridView>(page(), "sgTitles"), Qt::Key_Insert);
        QCOMPARE(rowTexts(titles(), 0), (QStringList{"001", "HDMV", "Permitted", "Movie", "0"}));
        QVERIFY(child<QComboBox>(page(), "cbTitleNo")->isEnabled());
        QVERIFY(child<QComboBox>(page(), "cbTitleOID")->isEnabled());
    }

    void titlePickersEditTheTitle() {
        page()->selectTitle(1);
        child<QComboBox>(page(), "cbTitleAT")->setCurrentIndex(2);
        child<QComboBox>(page(), "cbTitlePBT")->setCurrentIndex(1);
        child<QComboBox>(page(), "cbTitleOID")->setCurrentIndex(0);
        QCOMPARE(rowTexts(titles(), 1), (QStringList{"002", "HDMV", "Prohibited2", "Interactive", "0"}));
        QCOMPARE(session().index.Indexes.titles[1].access_type, 3);
        // Clicking title 1 loads its own values.
        child<NavGridView>(page(), "sgTitles")->selectRow(0);
        QCOMPARE(child<QComboBox>(page(), "cbTitleNo")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(page(), "cbTitleAT")->currentText(), QStringLiteral("Permitted"));
        QCOMPARE(page()->selectedObject(), 2);
    }

    void bdjTitles() {
        QFile bdjo(m_bdmv + QStringLiteral("BDJO/00001.bdjo"));
        QVERIFY(bdjo.open(QIODevice::WriteOnly));
        bdjo.close();
        m_window->bReadBDMVClick();
        QCOMPARE(child<QComboBox>(page(), "cbTitleFN")->count(), 1);
        page()->selectTitle(1);
        QVERIFY(child<QComboBox>(page(), "cbTitleOT")->isEnabled());
        QVERIFY(!child<QComboBox>(page(), "cbTitleFN")->isEnabled());
        child<QComboBox>(page(), "cbTitleOT")->setCurrentIndex(1);
        QVERIFY(child<QComboBox>(page(), "cbTitleFN")->isEnabled());
        QVERIFY(!child<QComboBox>(page(), "cbTitleOID")->isEnabled());
        child<QComboBox>(page(), "cbTitleFN")->setCurrentIndex(-1);
        child<QComboBox>(page(), "cbTitleFN")->setCurrentIndex(0);
        QCOMPARE(rowTexts(titles(), 1), (QStringList{"002", "BD-J", "Permitted", "Movie", "00001"}));
        QCOMPARE(session().index.Indexes.titles[1].object_type, ObjectTypeBDJ);

        int requested = -1;
        connect(page(), &BdmvPage::bdjoRequested, this, [&](int position) { requested = position; });
        page()->sgTitlesDblClick(0); // HDMV: nothing
        QCOMPARE(requested, -1);
        page()->sgTitlesDblClick(1);
        QCOMPARE(requested, 0);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(m_window->bdjoPage));

        // Back to HDMV takes the object shown.
        page()->selectTitle(1);
        child<QComboBox>(page(), "cbTitleOT")->setCurrentIndex(0);
        QCOMPARE(cell(titles(), 1, 4), QStringLiteral("3"));
    }

    void firstPlaybackAndTopMenu() {
        child<QCheckBox>(page(), "cbTMon")->setChecked(false);
        QCOMPARE(session().index.Indexes.top_menu.mobj_id_ref, NoObject);
        QVERIFY(!child<QComboBox>(page(), "cbTMObject")->isEnabled());
        QCOMPARE(child<TantAngleLabel>(page(), "lTitlenum")->text(), QStringLiteral("2 + 1 titles"));
        child<QComboBox>(page(), "cbTMObject")->setCurrentIndex(3);
        child<QCheckBox>(page(), "cbTMon")->setChecked(true);
        QCOMPARE(session().index.Indexes.top_menu.mobj_id_ref, 3);
        QVERIFY(child<QComboBox>(page(), "cbTMObject")->isEnabled());
        child<QComboBox>(page(), "cbFPBObject")->setCurrentIndex(2);
        QCOMPARE(session().index.Indexes.first_playback.mobj_id_ref, 2);
        QCOMPARE(page()->selectedObject(), 2);
        child<QComboBox>(page(), "cbFPBTitlePBtype")->setCurrentIndex(1);
        QCOMPARE(session().index.Indexes.first_playback.playback_type, 1);
        child<QLineEdit>(page(), "eContent")->setText(QString());
        QTest::keyClicks(child<QLineEdit>(page(), "eContent"), QStringLiteral("New text "));
        QKeyEvent acute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
        QApplication::sendEvent(child<QLineEdit>(page(), "eContent"), &acute);
        // One Latin-1 byte per character, as the file holds it.
        QCOMPARE(session().index.content_provider_user_data, std::string("New text \xE9"));
    }

    void deletingTheFirstPlaybackObjectIsReported() {
        child<QComboBox>(page(), "cbFPBObject")->setCurrentIndex(2);
        QCOMPARE(session().index.Indexes.first_playback.mobj_id_ref, 2);
        selectRows(child<NavGridView>(page(), "sgObject"), 2, 2);
        child<QToolButton>(page(), "bbObdel")->click();
        QVERIFY(!child<QCheckBox>(page(), "cbFPBon")->isChecked());
        QVERIFY(logText().contains(QStringLiteral("ERROR: Invalid object reference in First Playback")));
    }

    void indexErrorLeavesNothingToEdit() {
        MainWindow fresh;
        QCOMPARE(fresh.findChild<TantAngleLabel*>(QStringLiteral("lTitlenum"))->text(),
                 QStringLiteral("0 titles"));

        QFile::resize(m_bdmv + QStringLiteral("index.bdmv"), 6);
        m_window->bReadBDMVClick();
        QCOMPARE(child<TantAngleLabel>(page(), "lTitlenum")->text(), QStringLiteral("0 titles"));
        QVERIFY(!m_window->bSave->isEnabled());
        // The objects were read, but nothing saves them: they are shown, not edited.
        QVERIFY(objects()->rowCount() > 1);
        QVERIFY(!child<NavGridView>(page(), "sgObject")->isEnabled());
        QVERIFY(!child<NavGridView>(page(), "sgCommands")->isEnabled());
        for (const char* name : {"bbObins", "bbObdel", "bbNCins", "bbNCdel"})
            QVERIFY2(!child<QToolButton>(page(), name)->isEnabled(), name);
        QVERIFY(!child<QComboBox>(page(), "cbResume")->isEnabled());
        QVERIFY(!child<QPushButton>(page(), "bObjExtDatEdit")->isEnabled());
        QVERIFY(!child<CommandEditor>(page(), "pCommandEditor")->cbCmdGrp->isEnabled());
    }

    void objectsInsertDeleteAndFlags() {
        page()->setObjectSG(1);
        child<QComboBox>(page(), "cbResume")->setCurrentIndex(1);
        QCOMPARE(cell(objects(), 1, 1), QStringLiteral("suspend"));

        child<QToolButton>(page(), "bbObins")->click();
        QCOMPARE(objects()->rowCount(), 5);
        QCOMPARE(rowTexts(objects(), 2), (QStringList{"002", "discard", "enable", "enable", "0"}));
        QCOMPARE(rowTexts(objects(), 4), (QStringList{"004", "suspend", "enable", "enable", "5"}));
        QCOMPARE(page()->selectedObject(), 2);
        QCOMPARE(child<TantAngleLabel>(page(), "lObjects")->text(), QStringLiteral("5 objects"));
        QCOMPARE(child<QComboBox>(page(), "cbTitleOID")->count(), 5);
        // The titles keep playing the objects they played.
        QCOMPARE(cell(titles(), 0, 4), QStringLiteral("3"));
        QCOMPARE(cell(titles(), 1, 4), QStringLiteral("4"));
        QCOMPARE(commands()->rowCount(), 1);
        QCOMPARE(cell(commands(), 0, 0), QString());

        // Objects 3 and 4 go: both titles lose their object and are reported.
        selectRows(child<NavGridView>(page(), "sgObject"), 3, 4);
        child<QToolButton>(page(), "bbObdel")->click();
        QCOMPARE(objects()->rowCount(), 3);
        QCOMPARE(cell(titles(), 0, 4), QStringLiteral("??"));
        QCOMPARE(cell(titles(), 1, 4), QStringLiteral("??"));
        QCOMPARE(page()->selectedObject(), 2);
        QCOMPARE(child<TantAngleLabel>(page(), "lObjects")->text(), QStringLiteral("3 objects"));
        const QString log = logText();
        QVERIFY(log.contains(QStringLiteral("ERROR: Invalid object reference in Title 1")));
        QVERIFY(log.contains(QStringLiteral("ERROR: Invalid object reference in Title 2")));
    }

    void insertAndDeleteLinesKeepGoTos() {
        page()->setObjectSG(1);
        QCOMPARE(cell(commands(), 1, 4), QStringLiteral("GoTo 3"));
        page()->selectLine(2);
        child<QToolButton>(page(), "bbNCins")->click();
        QCOMPARE(commands()->rowCount(), 6);
        QCOMPARE(page()->selectedLine(), 3);
        QCOMPARE(cell(commands(), 3, 4), noLine(3));
        QCOMPARE(cell(commands(), 3, 0), QStringLiteral("0003"));
        QCOMPARE(cell(commands(), 1, 4), QStringLiteral("GoTo 4"));
        QCOMPARE(cell(commands(), 5, 4), QStringLiteral("GoTo 4"));
        QCOMPARE(cell(commands(), 4, 4), QStringLiteral("Play PL 1"));
        QCOMPARE(cell(objects(), 1, 4), QStringLiteral("6"));

        // Lines 0 and 1 go: every target drops by two.
        selectRows(child<NavGridView>(page(), "sgCommands"), 0, 1);
        child<QToolButton>(page(), "bbNCdel")->click();
        QCOMPARE(commands()->rowCount(), 4);
        QCOMPARE(cell(commands(), 0, 4), QStringLiteral("Move GPR1, 1"));
        QCOMPARE(cell(commands(), 3, 4), QStringLiteral("GoTo 2"));
        QCOMPARE(cell(commands(), 3, 0), QStringLiteral("0003"));
        QCOMPARE(cell(objects(), 1, 4), QStringLiteral("4"));
        QCOMPARE(page()->selectedLine(), 0);
    }

    void keysOfTheCommandGrid() {
        page()->setObjectSG(0);
        QTableView* grid = child<NavGridView>(page(), "sgCommands");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(child<NavGridView>(page(), "sgCommands")->selectedRange(), std::make_pair(0, 3));

        page()->selectLine(0);
        QTest::keyClick(grid, Qt::Key_N, Qt::ShiftModifier);
        QCOMPARE(cell(commands(), 0, 4), noLine(0));
        QCOMPARE(session().mobj.MovieObjects.mobjs[0].navigation_commands[0], TNavCommand{});
        QCOMPARE(page()->selectedLine(), 1);

        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(commands()->rowCount(), 5);
        QCOMPARE(cell(commands(), 2, 4), noLine(2));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(commands()->rowCount(), 4);
        QCOMPARE(cell(commands(), 2, 4), QStringLiteral("Play PL 0"));
        // Down moves the selection and the editor follows.
        page()->selectLine(2);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(page()->selectedLine(), 3);
        QCOMPARE(child<CommandEditor>(page(), "pCommandEditor")->heOCH->text(), QStringLiteral("21810000"));

        // Landing on an invalid line warns; leaving it for a valid one does not.
        int beeps = 0;
        page()->invalidLineBeep = [&] { ++beeps; };
        session().mobj.MovieObjects.mobjs[0].navigation_commands[2].opcode = 0xFFFFFFFF;
        static_cast<CommandTableModel*>(commands())->refreshRows(2, 2);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(page()->selectedLine(), 2);
        QCOMPARE(beeps, 1);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(beeps, 1);

        // Enter in a value field hands the focus back to the grid.
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        page()->selectLine(2);
        THexEdit* opcode = child<CommandEditor>(page(), "pCommandEditor")->heOCH;
        opcode->setFocus();
        opcode->selectAll();
        QTest::keyClicks(opcode, QStringLiteral("50400001"));
        QTest::keyClick(opcode, Qt::Key_Return);
        QVERIFY(grid->hasFocus());
        QCOMPARE(cell(commands(), 2, 4), QStringLiteral("Move GPR0, 0"));
    }

    void editorChangesTheLine() {
        page()->setObjectSG(2);
        page()->selectLine(0);
        CommandEditor* editor = child<CommandEditor>(page(), "pCommandEditor");
        QCOMPARE(editor->cbCmd->currentText(), QStringLiteral("Move"));
        QVERIFY(editor->cbOP1on->isChecked());
        QCOMPARE(editor->cbOp2->currentText(), QStringLiteral("Imm"));

        editor->ieOp1->setText(QStringLiteral("5"));
        emit editor->ieOp1->editingFinished();
        QCOMPARE(cell(commands(), 0, 4), QStringLiteral("Move GPR5, 1"));
        editor->cbOP1->setCurrentIndex(1); // PSR
        QVERIFY(cell(commands(), 0, 4).startsWith(QStringLiteral("Move PSR5, 1 ")));
        QCOMPARE(editor->heDEH->text(), QStringLiteral("80000005"));
        QCOMPARE(session().mobj.MovieObjects.mobjs[2].navigation_commands[0].destination, 0x80000005u);

        editor->cbCmd->setCurrentIndex(editor->cbCmd->findText(QStringLiteral("Add")));
        QVERIFY(cell(commands(), 0, 4).startsWith(QStringLiteral("Add ")));

        editor->cbOP2on->setChecked(false);
        QVERIFY(editor->cbOP1on->isChecked());
        QVERIFY(!editor->ieOp2->isEnabled());
        QCOMPARE(cell(commands(), 0, 3), QStringLiteral("00000001"));

        editor->heOCH->setText(QStringLiteral("00000000"));
        emit editor->heOCH->editingFinished();
        QCOMPARE(cell(commands(), 0, 4), noLine(0));
        QCOMPARE(editor->heDEH->text(), QStringLiteral("00000000"));
        QVERIFY(!editor->cbOP1on->isChecked());
        // Another line fills the editor from that line.
        page()->selectLine(1);
        QCOMPARE(editor->heOCH->text(), QStringLiteral("42C10000"));
        QVERIFY(editor->cbOP2on->isChecked());
    }

    void editModeTypesHexWords() {
        page()->setObjectSG(2);
        QVERIFY(!(commands()->flags(commands()->index(0, 2)) & Qt::ItemIsEditable));
        page()->setCommandsEditable(true);
        QVERIFY(commands()->flags(commands()->index(0, 2)) & Qt::ItemIsEditable);
        QVERIFY(commands()->setData(commands()->index(0, 2), QStringLiteral("00000007"), Qt::EditRole));
        QCOMPARE(cell(commands(), 0, 4), QStringLiteral("Move GPR7, 1"));
        QVERIFY(!commands()->setData(commands()->index(0, 2), QStringLiteral("xyz"), Qt::EditRole));
        QCOMPARE(cell(commands(), 0, 4), QStringLiteral("Move GPR7, 1"));
        page()->setCommandsEditable(false);
        QVERIFY(!(commands()->flags(commands()->index(0, 2)) & Qt::ItemIsEditable));
    }

    void doubleClickFollowsReferences() {
        page()->setObjectSG(1);
        page()->sgCommandsDblClick(1); // GoTo 3
        QCOMPARE(page()->selectedLine(), 3);

        page()->setObjectSG(3);
        page()->selectTitle(1);
        page()->setObjectSG(3);
        page()->sgCommandsDblClick(3); // Call Title 1
        QCOMPARE(page()->selectedTitle(), 0);
        QCOMPARE(page()->selectedObject(), 2);
        QCOMPARE(page()->selectedLine(), 0);

        QString requested;
        connect(page(), &BdmvPage::playlistRequested, this, [&](const QString& name) { requested = name; });
        page()->sgCommandsDblClick(1); // Play PL_PI 2, 0
        QCOMPARE(requested, QStringLiteral("00002"));
    }

    void programLists() {
        page()->setObjectSG(1);
        const QString listPath = QDir(m_root->path()).filePath(QStringLiteral("object1"));
        QString offered;
        page()->chooseProgramListFile = [&](const QString& start, const QString& filter, QString* selected) {
            offered = start + QLatin1Char('|') + filter + QLatin1Char('|') + *selected;
            return listPath;
        };
        child<QToolButton>(page(), "bbSaveCommands")->click();
        QCOMPARE(offered, QStringLiteral("program_001.lst|List (*.lst);;Binary (*.bin)|List (*.lst)"));
        const QByteArray list = fileBytes(listPath + QStringLiteral(".lst"));
        const auto& program = session().mobj.MovieObjects.mobjs[1].navigation_commands;
        const auto expected = programListBytes(program, ProgramFormat::List);
        QCOMPARE(list,
                 QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));
        QCOMPARE(list.count("\r\n"), 5 + 5);

        page()->chooseProgramListFile = [&](const QString&, const QString&, QString* selected) {
            *selected = QStringLiteral("Binary (*.bin)");
            return listPath + QStringLiteral(".bin");
        };
        child<QToolButton>(page(), "bbSaveCommands")->click();
        const QByteArray binary = fileBytes(listPath + QStringLiteral(".bin"));
        QCOMPARE(binary.size(), 12 * 5);
        QCOMPARE(binary.left(12).toHex(), QByteArray("484002000000000100000001"));

        // An object without lines has nothing to save.
        child<QToolButton>(page(), "bbObins")->click();
        QVERIFY(!child<QToolButton>(page(), "bbSaveCommands")->isEnabled());
    }

    void extensionDataThroughTheDialog() {
        QTimer::singleShot(0, this, [this] {
            m_window->fExtDat->setBlock(twoEntryBlock());
            m_window->fExtDat->Button1->click();
        });
        child<QPushButton>(page(), "bIndExDatEdit")->click();
        QCOMPARE(session().index.ExtensionData, twoEntryBlock());
        QVERIFY(session().index.ExtensionData_start_address != 0);
        QCOMPARE(child<QLabel>(page(), "lIndexExtDat")->text(),
                 QString::fromStdString(ExtDatCap(twoEntryBlock())));

        QTimer::singleShot(0, this, [this] {
            m_window->fExtDat->setBlock(twoEntryBlock());
            m_window->fExtDat->bCancel->click();
        });
        child<QPushButton>(page(), "bObjExtDatEdit")->click();
        QCOMPARE(session().mobj.ExtensionData, TExtensionData{});
        QCOMPARE(child<QLabel>(page(), "lObjExtDat")->text(), QStringLiteral("no ExtensionData()"));

        m_window->bSave->click();
        const auto reread = readIndex(toVector(fileBytes(m_bdmv + QStringLiteral("index.bdmv"))));
        QCOMPARE(reread.status, ReadStatus::Ok);
        QCOMPARE(reread.index.ExtensionData, twoEntryBlock());
    }

    void saveUnchangedIsByteExact() {
        const QByteArray index = fileBytes(m_bdmv + QStringLiteral("index.bdmv"));
        const QByteArray mobj = fileBytes(m_bdmv + QStringLiteral("MovieObject.bdmv"));
        QVERIFY(!index.isEmpty() && !mobj.isEmpty());
        QVERIFY(m_window->bSave->isEnabled());
        m_window->bSave->click();
        QCOMPARE(fileBytes(m_bdmv + QStringLiteral("index.bdmv")), index);
        QCOMPARE(fileBytes(m_bdmv + QStringLiteral("MovieObject.bdmv")), mobj);
        QVERIFY(QFile::exists(m_bdmv + QStringLiteral("index.bdmv.backup")));
        QCOMPARE(fileBytes(m_bdmv + QStringLiteral("BACKUP/MovieObject.bdmv")), mobj);
        const QString log = logText();
        QVERIFY(log.contains(QStringLiteral("index.bdmv saved.")));
        QVERIFY(log.contains(QStringLiteral("MovieObject.bdmv saved.")));
    }

    void saveAfterEditsReadsBackEqual() {
        page()->selectTitle(1);
        child<QToolButton>(page(), "bbTiins")->click();
        page()->setObjectSG(1);
        page()->selectLine(0);
        child<QToolButton>(page(), "bbNCins")->click();
        child<QToolButton>(page(), "bbObins")->click();
        m_window->bSave->click();

        const auto index = readIndex(toVector(fileBytes(m_bdmv + QStringLiteral("index.bdmv"))));
        QCOMPARE(index.status, ReadStatus::Ok);
        QVERIFY(index.index == session().index);
        const auto mobj = readMovieObject(toVector(fileBytes(m_bdmv + QStringLiteral("MovieObject.bdmv"))));
        QCOMPARE(mobj.status, ReadStatus::Ok);
        QVERIFY(!mobj.endedEarly);
        QVERIFY(mobj.mobj == session().mobj);

        // Reading the folder again shows what was saved.
        m_window->bReadBDMVClick();
        QCOMPARE(titles()->rowCount(), 3);
        QCOMPARE(objects()->rowCount(), 5);
        QCOMPARE(cell(objects(), 1, 4), QStringLiteral("6"));
        QCOMPARE(cell(titles(), 1, 4), QStringLiteral("4"));
        QCOMPARE(cell(titles(), 2, 4), QStringLiteral("0"));
    }

    void failedReadEmptiesThePage() {
        QFile::resize(m_bdmv + QStringLiteral("index.bdmv"), 0);
        QFile bad(m_bdmv + QStringLiteral("MovieObject.bdmv"));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("XXXX0100");
        bad.close();
        m_window->bReadBDMVClick();
        QCOMPARE(rowTexts(titles(), 0), (QStringList{"", "", "", "", ""}));
        QCOMPARE(rowTexts(objects(), 0), (QStringList{"", "", "", "", ""}));
        QVERIFY(!child<NavGridView>(page(), "sgTitles")->isEnabled());
        QVERIFY(!child<QLineEdit>(page(), "eContent")->isEnabled());
        QVERIFY(!child<QToolButton>(page(), "bbNCins")->isEnabled());
        QVERIFY(!child<CommandEditor>(page(), "pCommandEditor")->cbCmdGrp->isEnabled());
        QVERIFY(!m_window->bSave->isEnabled());
    }

    void largeProgramsShowLazily() {
        TMOBJ big;
        for (int o = 0; o < 2000; ++o) {
            Tmobject object;
            object.navigation_commands.resize(25, TNavCommand{0x20810000, 3, 0});
            object.number_of_navigation_commands = 25;
            big.MovieObjects.mobjs.push_back(object);
        }
        big.MovieObjects.mobjs[7].navigation_commands.resize(20000, TNavCommand{0x50400001, 1, 2});
        big.MovieObjects.mobjs[7].number_of_navigation_commands = 20000;
        big.MovieObjects.number_of_mobjs = 2000;
        std::size_t length = 10 - 4;
        for (const auto& object : big.MovieObjects.mobjs)
            length += 4 + 12 * object.navigation_commands.size();
        big.MovieObjects.mobjs_length = static_cast<std::uint32_t>(length);
        const auto bytes = writeMovieObject(big);
        QFile file(m_bdmv + QStringLiteral("MovieObject.bdmv"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        file.close();

        m_window->bReadBDMVClick();
        QCOMPARE(objects()->rowCount(), 2000);
        QCOMPARE(child<TantAngleLabel>(page(), "lObjects")->text(), QStringLiteral("2000 objects"));
        page()->setObjectSG(7);
        QCOMPARE(commands()->rowCount(), 20000);
        QCOMPARE(cell(commands(), 19999, 0), QStringLiteral("19999"));
        // A program past 9999 lines takes no further line.
        page()->selectLine(19998);
        child<QToolButton>(page(), "bbNCins")->click();
        QCOMPARE(commands()->rowCount(), 20000);
        page()->setObjectSG(1999);
        page()->selectLine(0);
        child<QToolButton>(page(), "bbNCins")->click();
        QCOMPARE(commands()->rowCount(), 26);
        QCOMPARE(cell(commands(), 0, 4), QStringLiteral("GoTo 4"));
        QCOMPARE(cell(objects(), 1999, 4), QStringLiteral("26"));
    }
};

static RegisterGuiTest<BdmvPageTest> registerBdmvPageTest;

} // namespace corvane::test

#include "BdmvPageTest.moc"
