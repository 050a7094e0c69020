#pragma once
// Shared pieces of the desktop tests: registration of the test classes and
// small fixtures (disc folders, log lookups).

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "io/ExtensionData.h"

namespace corvane::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
// Every test class, and whether it runs only when named in CORVANE_GUI_CLASS.
std::vector<std::pair<TestFactory, bool>>& guiTests();

template <typename TestClass, bool Separate = false> struct RegisterGuiTest {
    RegisterGuiTest() {
        guiTests().emplace_back([] { return std::make_unique<TestClass>(); }, Separate);
    }
};

// Makes root/name/BDMV with PLAYLIST (two playlists), CLIPINF (one clip), STREAM,
// index.bdmv and MovieObject.bdmv, and BACKUP when asked. Returns the BDMV
// folder path with its trailing separator.
inline QString makeDisc(const QString& root, const QString& name, bool withBackup) {
    QDir dir(root);
    const QString bdmv = dir.filePath(name + QStringLiteral("/BDMV"));
    for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM"}) QDir().mkpath(bdmv + '/' + folder);
    if (withBackup) QDir().mkpath(bdmv + QStringLiteral("/BACKUP"));
    for (const char* file : {"index.bdmv", "MovieObject.bdmv", "PLAYLIST/00000.mpls", "PLAYLIST/00001.mpls",
                             "CLIPINF/00001.clpi"}) {
        QFile f(bdmv + '/' + file);
        f.open(QIODevice::WriteOnly);
    }
    return QDir::toNativeSeparators(bdmv) + QDir::separator();
}

// Copies the bundled sample BDMV folder into `root` (so saves never touch the repository);
// returns the copy with its trailing separator.
inline QString copySampleDisc(const QString& root) {
    const QString source = QStringLiteral(CORVANE_SAMPLE_BDMV);
    const QString target = QDir(root).filePath(QStringLiteral("SAMPLE/BDMV"));
    QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString copy = target + file.mid(source.size());
        QDir().mkpath(QFileInfo(copy).path());
        QFile::copy(file, copy);
    }
    for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "BACKUP", "BDJO"})
        QDir().mkpath(target + QLatin1Char('/') + QLatin1String(folder));
    return QDir::toNativeSeparators(target) + QDir::separator();
}

// An ExtensionData block of two entries: 33 bytes at 0x28 (two view lines) and 7 bytes after.
inline TExtensionData twoEntryBlock() {
    TExtensionData block;
    block.data_block_start_address = 0x28;
    block.number_of_ext_data_entries = 2;
    block.ext_data_entries = {{0x0001, 0x0002, 0x28, 33}, {0x1000, 0x0003, 0x49, 7}};
    for (int i = 0; i < 40; ++i) block.ext_data_block.push_back(std::uint8_t(i < 5 ? i : 'A' + i % 26));
    block.length = 8 + 12 * 2 + 40;
    return block;
}

// The first line of the document whose text is `text`.
inline QTextBlock findLine(const QTextDocument* document, const QString& text) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (block.text() == text) return block;
    return {};
}

// The character format of the fragment of `block` that holds exactly `piece`.
inline std::optional<QTextCharFormat> fragmentFormat(const QTextBlock& block, const QString& piece) {
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().text() == piece) return it.fragment().charFormat();
    return std::nullopt;
}

} // namespace corvane::test
