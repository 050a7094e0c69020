// The .bdmv association files: their text and where they are written.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "GuiTest.h"
#include "app/FileAssociation.h"

namespace corvane::test {

class FileAssociationTest : public QObject {
    Q_OBJECT

    static QString readText(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void execArgumentQuoting() {
        QCOMPARE(desktopExecArgument(QStringLiteral("/usr/bin/corvane")), QStringLiteral("/usr/bin/corvane"));
        QCOMPARE(desktopExecArgument(QStringLiteral("/opt/my apps/corvane")),
                 QStringLiteral("\"/opt/my apps/corvane\""));
        // Inside quotes $ is escaped, and the entry's own escaping doubles the backslash.
        QCOMPARE(desktopExecArgument(QStringLiteral("/opt/a$b/corvane")),
                 QStringLiteral("\"/opt/a\\\\$b/corvane\""));
    }

    void entryAndMimePackage() {
        const QString entry = desktopEntryText(QStringLiteral("/usr/bin/corvane"), QStringLiteral("corvane"));
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=/usr/bin/corvane %f\n")));
        QVERIFY(entry.contains(QStringLiteral("\nMimeType=application/x-bd.movie.info;\n")));
        QVERIFY(entry.contains(QStringLiteral("\nType=Application\n")));

        QXmlStreamReader xml(mimePackageText());
        QStringList globs;
        QString type;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("mime-type"))
                type = xml.attributes().value(QLatin1String("type")).toString();
            if (xml.isStartElement() && xml.name() == QLatin1String("glob"))
                globs << xml.attributes().value(QLatin1String("pattern")).toString();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(type, QStringLiteral("application/x-bd.movie.info"));
        QCOMPARE(globs, QStringList{QStringLiteral("*.bdmv")});
    }

    void registersUnderTheDataFolder() {
        QTemporaryDir data;
        QVERIFY(RegisterFileType(data.path(), QStringLiteral("/usr/bin/corvane"), false));
        QCOMPARE(readText(data.filePath(QStringLiteral("mime/packages/corvane-bdmv.xml"))),
                 mimePackageText());
        QCOMPARE(readText(data.filePath(QStringLiteral("applications/corvane.desktop"))),
                 desktopEntryText(QStringLiteral("/usr/bin/corvane"), QStringLiteral("corvane")));
        QVERIFY(QFile::exists(data.filePath(QStringLiteral("icons/hicolor/64x64/apps/corvane.png"))));
        // Rewritten at every start.
        QVERIFY(RegisterFileType(data.path(), QStringLiteral("/opt/corvane"), false));
        QVERIFY(readText(data.filePath(QStringLiteral("applications/corvane.desktop")))
                    .contains(QStringLiteral("Exec=/opt/corvane %f")));
    }
};

static RegisterGuiTest<FileAssociationTest> registration;

} // namespace corvane::test

#include "FileAssociationTest.moc"
