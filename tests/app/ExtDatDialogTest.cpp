// The ExtensionData() dialog: what it shows, ID1 editing, delete, and the
// .exd file round trip with its failures.

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "GuiTest.h"
#include "app/ExtDatDialog.h"
#include "app/PlaylistPageGrid.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "shell/Options.h"

namespace corvane::test {

class ExtDatDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    Options m_options;
    QStringList m_errors;

    std::unique_ptr<TfExtDat> makeDialog(const TExtensionData& block) {
        auto dialog = std::make_unique<TfExtDat>(m_options);
        dialog->showError = [this](const QString& text) { m_errors << text; };
        dialog->ExtDatFileName = "index.bdmv";
        dialog->setBlock(block);
        return dialog;
    }
    static QString cell(TfExtDat& dialog, int row, int column) {
        return cellText(dialog.sgExtDatEntry, row, column);
    }
    // Types `text` into a cell's editor and ends with Enter.
    static void typeIntoCell(TfExtDat& dialog, int row, int column, const QString& text) {
        PlaylistGrid* grid = dialog.sgExtDatEntry;
        grid->setCurrentCell(row, column);
        editCell(grid, row, column);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits a typed cell and closes its editor on a later round of events.
        QTRY_VERIFY(!grid->indexWidget(grid->model()->index(row, column)));
    }

private slots:
    void init() { m_errors.clear(); }

    void showsEntriesAndData() {
        auto dialog = makeDialog(twoEntryBlock());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("index.bdmv ExtensionData edit"));
        QCOMPARE(dialog->lExtDatprop->text(), QStringLiteral("76 bytes, 2 entries"));
        QVERIFY(dialog->bbSaveExtDat->isEnabled());
        QVERIFY(dialog->bbDelExtDat->isEnabled());
        QCOMPARE(dialog->sgExtDatEntry->rowCount(), 2);
        QCOMPARE(cell(*dialog, 0, 0), QStringLiteral("000"));
        QCOMPARE(cell(*dialog, 1, 1), QStringLiteral("1000"));
        QCOMPARE(cell(*dialog, 1, 3), QStringLiteral("00000049"));
        QCOMPARE(cell(*dialog, 0, 4), QStringLiteral("00000021"));
        QCOMPARE(dialog->Button1->isDefault(), true);

        // Entry 0 is 33 bytes long: a full line and one with a single byte.
        const QTextDocument* view = dialog->reData->document();
        QCOMPARE(view->blockCount(), 2);
        const QTextBlock first = view->firstBlock();
        QVERIFY(first.text().startsWith(QStringLiteral(" 0028 00 01 02 03 04 46")));
        QCOMPARE(fragmentFormat(first, QStringLiteral(" 0028"))->foreground().color(), QColor(0, 0, 255));
        const QString chars = first.text().mid(5 + 32 * 3);
        QVERIFY(chars.startsWith(QStringLiteral(" .....FGH")));
        QCOMPARE(fragmentFormat(first, chars)->foreground().color(), QColor(255, 0, 0));
        QVERIFY(first.next().text().startsWith(QStringLiteral(" 0048 ")));

        dialog->sgExtDatEntry->setCurrentCell(1, 1);
        QCOMPARE(view->blockCount(), 1);
        QVERIFY(view->firstBlock().text().startsWith(QStringLiteral(" 0049 ")));
    }

    // A whole view line shows without scrolling.
    void hexViewFitsTheDialog() {
        auto dialog = makeDialog(twoEntryBlock());
        dialog->show();
        QCoreApplication::processEvents();
        const QString line = dialog->reData->document()->firstBlock().text();
        QVERIFY(dialog->reData->fontMetrics().horizontalAdvance(line) <= dialog->reData->viewport()->width());
        dialog->hide();
    }

    void onlyId1IsTakenOver() {
        auto dialog = makeDialog(twoEntryBlock());
        const struct {
            const char* typed;
            std::uint16_t stored;
        } cases[] = {{"1a", 0x001A}, {"001A", 0x001A}, {"1G2", 0x0012}, {"zz", 0}};
        for (const auto& c : cases) {
            typeIntoCell(*dialog, 0, 1, QLatin1String(c.typed));
            QCOMPARE(dialog->block().ext_data_entries[0].ID1, c.stored);
            QCOMPARE(cell(*dialog, 0, 1), QString::fromStdString(hexText(c.stored, 4)));
        }
        const TExtensionData before = dialog->block();
        typeIntoCell(*dialog, 0, 2, QStringLiteral("FFFF"));
        typeIntoCell(*dialog, 1, 4, QStringLiteral("0"));
        QVERIFY(dialog->block() == before);
        QCOMPARE(cell(*dialog, 0, 2), QStringLiteral("0002"));
        QCOMPARE(cell(*dialog, 1, 4), QStringLiteral("00000007"));
    }

    void deleteEmptiesTheBlock() {
        auto dialog = makeDialog(twoEntryBlock());
        QTest::mouseClick(dialog->bbDelExtDat, Qt::LeftButton);
        QVERIFY(dialog->block() == TExtensionData{});
        QCOMPARE(dialog->lExtDatprop->text(), QStringLiteral("None"));
        QVERIFY(!dialog->bbSaveExtDat->isEnabled());
        QVERIFY(!dialog->bbDelExtDat->isEnabled());
        QCOMPARE(dialog->sgExtDatEntry->rowCount(), 1); // header plus one empty row
        QCOMPARE(cell(*dialog, 0, 0), QString());
        QVERIFY(dialog->reData->document()->isEmpty());
    }

    void saveButtonNamesTheFileExd() {
        m_options.WorkDir = m_dir.path().toStdString();
        auto dialog = makeDialog(twoEntryBlock());
        QString suffix;
        QTimer::singleShot(0, this, [&] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser) return;
            suffix = chooser->defaultSuffix();
            chooser->selectFile(m_dir.filePath(QStringLiteral("saved")));
            static_cast<QDialog*>(chooser)->accept(); // QFileDialog::accept, through the public slot
        });
        dialog->bbSaveExtDat->click();
        QCOMPARE(suffix, QStringLiteral("exd"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("saved.exd"))));
        m_options.WorkDir.clear();
    }

    void saveAndLoadRoundTrip() {
        const TExtensionData block = twoEntryBlock();
        auto dialog = makeDialog(block);
        const QString path = m_dir.filePath(QStringLiteral("block.exd"));
        QVERIFY(dialog->saveToFile(path));
        std::string error;
        QCOMPARE(*readWholeFile(path.toStdString(), error), exdFileBytes(block));

        dialog->setBlock(TExtensionData{});
        QVERIFY(dialog->loadFromFile(path));
        QVERIFY(dialog->block() == block);
        QCOMPARE(dialog->sgExtDatEntry->rowCount(), 2);
        QVERIFY(m_errors.isEmpty());
    }

    void fileFailuresLeaveTheBlock() {
        const TExtensionData block = twoEntryBlock();
        auto dialog = makeDialog(block);
        QVERIFY(!dialog->loadFromFile(m_dir.filePath(QStringLiteral("missing.exd"))));
        QFile cut(m_dir.filePath(QStringLiteral("cut.exd")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(QByteArray::fromHex("0000004000000028000002")); // ends inside the header
        cut.close();
        QVERIFY(!dialog->loadFromFile(cut.fileName()));
        QVERIFY(!dialog->saveToFile(m_dir.filePath(QStringLiteral("no/such/folder/x.exd"))));
        QCOMPARE(m_errors.size(), 3);
        QVERIFY(dialog->block() == block);
    }

    void okReturnsTheCopyCancelKeepsTheOwners() {
        TfExtDat dialog(m_options);
        TExtensionData owner = twoEntryBlock();
        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(dialog.bbDelExtDat, Qt::LeftButton);
            QTest::mouseClick(dialog.bCancel, Qt::LeftButton);
        });
        QVERIFY(!dialog.edit("MovieObject.bdmv", owner));
        QVERIFY(owner == twoEntryBlock());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("MovieObject.bdmv ExtensionData edit"));

        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(dialog.bbDelExtDat, Qt::LeftButton);
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
        QVERIFY(dialog.edit("MovieObject.bdmv", owner));
        QVERIFY(owner == TExtensionData{});
    }
};

static RegisterGuiTest<ExtDatDialogTest> registration;

} // namespace corvane::test

#include "ExtDatDialogTest.moc"
