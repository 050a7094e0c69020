#pragma once
// Shared pieces of the desktop tests: registration of the test classes and
// small fixtures (disc folders, log lookups).

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

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

// The bytes of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies the bundled sample BDMV folder into `root` (so saves never touch the repository);
// returns the copy with its trailing separator.
inline QString copySampleDisc(const QString& root,
                              const QString& source = QStringLiteral(CORVANE_SAMPLE_BDMV)) {
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

// A control of `parent` by its objectName; null when there is none of that type.
template <typename Widget> Widget* child(const QObject* parent, const char* name) {
    return parent->findChild<Widget*>(QLatin1String(name));
}
template <typename T> T* child(const QObject* parent, const QString& name) {
    return parent->findChild<T*>(name);
}

// Makes the item with `text` current (none when there is no such item).
inline void chooseText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
}

// What a grid cell shows; empty outside the grid.
inline QString cellText(const QAbstractItemView* view, int row, int column) {
    return view->model()->index(row, column).data(Qt::DisplayRole).toString();
}

// Every cell text of a grid row.
inline QStringList rowTexts(const QAbstractItemView* view, int row) {
    QStringList cells;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        cells << cellText(view, row, column);
    return cells;
}

// Where a grid cell is drawn, in viewport coordinates.
inline QRect cellRect(const QAbstractItemView* view, int row, int column) {
    return view->visualRect(view->model()->index(row, column));
}

// Opens the editor of a grid cell.
inline void editCell(QAbstractItemView* view, int row, int column) {
    view->edit(view->model()->index(row, column));
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

// Closes every error box that comes up and keeps the texts shown. One lives for the
// whole run (errorBoxes()), so that no test waits on a box.
class ErrorBoxCatcher {
public:
    ErrorBoxCatcher() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->icon() != QMessageBox::Critical) return;
            texts << box->text();
            box->done(QMessageBox::Ok);
        });
        m_timer.start();
    }
    QStringList texts;

private:
    QTimer m_timer;
};
ErrorBoxCatcher& errorBoxes();

// A small tmpfs (64 KiB) mounted on `folder` for the lifetime of the object; `mounted`
// is false where mounting is not permitted.
class TmpfsMount {
public:
    explicit TmpfsMount(const QString& folder) : m_path(QDir(folder).absolutePath().toLocal8Bit()) {
        QDir().mkpath(folder);
        mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TmpfsMount() {
        if (mounted) ::umount2(m_path.constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool remountReadOnly() {
        return ::mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }
    // Writes a filler file until the device has no room left.
    bool fill() {
        const QByteArray filler = m_path + "/filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return false;
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), static_cast<size_t>(block.size())) > 0) {
        }
        while (::write(fd, block.constData(), 1) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    bool mounted = false;

private:
    QByteArray m_path;
};

// Root reads every file whatever its mode: for its lifetime the calling thread drops the
// capabilities that override file permissions, so that a mode of 000 stops it as it stops
// a user. `active` is false where the capabilities cannot be changed.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        if (::geteuid() != 0) {
            active = true;
            return;
        }
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, m_saved) != 0) return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active = m_changed = ::syscall(SYS_capset, &header, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (!m_changed) return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        ::syscall(SYS_capset, &header, m_saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;
    bool active = false;

private:
    __user_cap_data_struct m_saved[2]{};
    bool m_changed = false;
};

} // namespace corvane::test
