#include "app/FileAssociation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include "app/AppIcon.h"

namespace corvane {

namespace {

bool writeText(const QString& path, const QString& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size();
}

void runIfPresent(const QString& tool, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(tool);
    if (!path.isEmpty()) QProcess::startDetached(path, arguments);
}

} // namespace

QString desktopExecArgument(const QString& programPath) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : programPath)
        if (reserved.contains(c)) needsQuotes = true;
    QString argument = programPath;
    if (needsQuotes) {
        QString quoted;
        for (QChar c : programPath) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // The entry's own string escaping comes on top of the Exec quoting.
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return argument;
}

QString mimePackageText() {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>Blu-ray disc navigation file</comment>\n"
                          "    <glob pattern=\"*.bdmv\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(QLatin1String(BdmvMimeType));
}

QString desktopEntryText(const QString& programPath, const QString& iconName) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Corvane\n"
                          "Comment=Author, repair and study Blu-ray disc navigation\n"
                          "Exec=%1 %f\n"
                          "Icon=%2\n"
                          "MimeType=%3;\n"
                          "Terminal=false\n"
                          "Categories=AudioVideo;Video;\n")
        .arg(desktopExecArgument(programPath), iconName, QLatin1String(BdmvMimeType));
}

bool RegisterFileType(const QString& dataFolder, const QString& programPath, bool refresh) {
    const QDir data(dataFolder);
    const QString iconPath = data.filePath(QStringLiteral("icons/hicolor/64x64/apps/corvane.png"));
    QDir().mkpath(QFileInfo(iconPath).absolutePath());
    const bool iconOk = appIconImage(64).save(iconPath, "PNG");
    const bool mimeOk =
        writeText(data.filePath(QStringLiteral("mime/packages/corvane-bdmv.xml")), mimePackageText());
    const bool entryOk = writeText(data.filePath(QStringLiteral("applications/corvane.desktop")),
                                   desktopEntryText(programPath, iconOk ? QStringLiteral("corvane")
                                                                        : QStringLiteral("video-x-generic")));
    if (refresh) {
        runIfPresent(QStringLiteral("update-mime-database"), {data.filePath(QStringLiteral("mime"))});
        runIfPresent(QStringLiteral("update-desktop-database"),
                     {data.filePath(QStringLiteral("applications"))});
    }
    return mimeOk && entryOk;
}

} // namespace corvane
