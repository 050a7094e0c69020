#include "app/DiscPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <string_view>

#include "io/TextUtil.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

constexpr int TargetRole = Qt::UserRole;       // column 0: the row's index into m_targets
constexpr int SortRole = Qt::UserRole + 1;     // numbers sort as numbers
constexpr int PlaylistRole = Qt::UserRole + 2; // sgPlaylists column 0: the report's position

// The report's stream types, by STN list.
constexpr std::array<std::string_view, 7> StreamTypes{"video",           "audio",           "pg",    "ig",
                                                      "secondary video", "secondary audio", "pip pg"};

struct Cell {
    QString text;
    QVariant key; // the sort key; the text when null
    Cell(const QString& t) : text(t) {}
    Cell(const std::string& t) : text(QString::fromStdString(t)) {}
    Cell(const char* t) : text(QString::fromUtf8(t)) {}
    Cell(const QString& t, const QVariant& k) : text(t), key(k) {}
    Cell(const std::string& t, const QVariant& k) : text(QString::fromStdString(t)), key(k) {}
};

Cell number(qint64 value) {
    return {QString::number(value), value};
}

Cell duration(std::uint64_t ticks) {
    return {QString::fromStdString(timeText45(ticks)), static_cast<qulonglong>(ticks)};
}

Cell bytesCell(std::int64_t bytes) {
    return bytes < 0 ? Cell(QStringLiteral("missing"), qint64(-1)) : number(bytes);
}

QString readText(const DiscFileRead& read) {
    switch (read.status) {
    case ReadStatus::Ok:
        return QStringLiteral("ok");
    case ReadStatus::Damaged:
        return QStringLiteral("damaged");
    case ReadStatus::FileError:
        return QStringLiteral("unreadable");
    default:
        return QStringLiteral("refused");
    }
}

QString joined(const std::vector<std::string>& items, const char* separator = " ") {
    QStringList list;
    for (const std::string& item : items) list << QString::fromStdString(item);
    return list.join(QLatin1String(separator));
}

QStandardItemModel* sourceOf(const QTableView* view) {
    return static_cast<QStandardItemModel*>(
        static_cast<QSortFilterProxyModel*>(view->model())->sourceModel());
}

} // namespace

DiscPage::DiscPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsDisc"));
    bCheckDisc = new QPushButton(QStringLiteral("Check disc"), this);
    bCheckDisc->setObjectName(QStringLiteral("bCheckDisc"));
    bCheckDisc->setToolTip(QStringLiteral("Report what is on the disc and check it for consistency"));
    lSummary = new QLabel(this);
    lSummary->setObjectName(QStringLiteral("lDiscSummary"));
    lSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    pcReport = new QTabWidget(this);
    pcReport->setObjectName(QStringLiteral("pcReport"));
    sgTitles = table(pcReport, "sgTitles", {"Title", "Type", "Object", "Playlists"});
    pcReport->addTab(sgTitles, QStringLiteral("Titles"));

    auto* playlists = new QSplitter(Qt::Horizontal, pcReport);
    sgPlaylists = table(playlists, "sgPlaylists",
                        {"Playlist", "Duration", "Items", "Angles", "Chapters", "Streams", "SubPaths", "Size",
                         "Referenced by", "Clips"});
    auto* details = new QSplitter(Qt::Vertical, playlists);
    sgChapters = table(details, "sgChapters", {"Chapter", "Start", "Length", "PlayItem"});
    sgStreams = table(details, "sgStreams", {"Stream", "PID", "Coding", "Format", "Rate", "Language"});
    playlists->addWidget(sgPlaylists);
    playlists->addWidget(details);
    playlists->setStretchFactor(0, 2);
    playlists->setStretchFactor(1, 1);
    pcReport->addTab(playlists, QStringLiteral("Playlists"));

    sgClips = table(pcReport, "sgClips", {"Clip", "Packets", "Duration", "m2ts size", "Streams"});
    pcReport->addTab(sgClips, QStringLiteral("Clips"));
    sgMenus = table(pcReport, "sgMenus", {"Clip", "PID", "Read", "Pages", "Buttons"});
    pcReport->addTab(sgMenus, QStringLiteral("Menus"));
    sgBdjos = table(pcReport, "sgBdjos", {"BD-J object", "Read", "Applications", "Playlists"});
    pcReport->addTab(sgBdjos, QStringLiteral("BD-J"));
    sgSounds = table(pcReport, "sgSounds", {"Sound", "Length"});
    pcReport->addTab(sgSounds, QStringLiteral("Sounds"));

    sgFindings = table(this, "sgFindings", {"Severity", "Code", "File", "Record", "Message"});

    auto* findings = new QWidget(this);
    auto* findingsLayout = new QVBoxLayout(findings);
    findingsLayout->setContentsMargins(0, 0, 0, 0);
    auto* findingsLabel = new QLabel(QStringLiteral("Findings"), findings);
    findingsLabel->setBuddy(sgFindings);
    findingsLayout->addWidget(findingsLabel);
    findingsLayout->addWidget(sgFindings, 1);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(pcReport);
    split->addWidget(findings);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(bCheckDisc);
    top->addSpacing(8);
    top->addWidget(lSummary, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(bCheckDisc, &QPushButton::clicked, this, &DiscPage::checkRequested);
    connect(sgPlaylists->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { fillPlaylistDetails(current.row()); });
    clear();
}

QTableView* DiscPage::table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    auto* model = new QStandardItemModel(0, static_cast<int>(headers.size()), view);
    model->setHorizontalHeaderLabels(headers);
    auto* proxy = new QSortFilterProxyModel(view);
    proxy->setSourceModel(model);
    proxy->setSortRole(SortRole);
    view->setModel(proxy);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    connect(view, &QTableView::doubleClicked, this, [this, view](const QModelIndex& index) {
        const RecordTarget target = rowTarget(view, index.row());
        if (target.page != RecordPage::None) emit recordRequested(target);
    });
    return view;
}

RecordTarget DiscPage::rowTarget(const QTableView* table, int row) const {
    const std::vector<RecordTarget>& targets =
        table == sgChapters || table == sgStreams ? m_detailTargets : m_targets;
    const QVariant at = table->model()->index(row, 0).data(TargetRole);
    if (!at.isValid() || at.toInt() < 0 || at.toInt() >= static_cast<int>(targets.size())) return {};
    return targets[static_cast<std::size_t>(at.toInt())];
}

namespace {

QList<QStandardItem*> rowItems(const std::vector<Cell>& cells, int target) {
    QList<QStandardItem*> items;
    for (const Cell& cell : cells) {
        auto* item = new QStandardItem(cell.text);
        item->setData(cell.key.isValid() ? cell.key : QVariant(cell.text), SortRole);
        // A long list (clips, users, a message) may be cut at the column's edge.
        if (cell.text.size() > 40) item->setToolTip(cell.text);
        items << item;
    }
    if (!items.isEmpty()) items.front()->setData(target, TargetRole);
    return items;
}

} // namespace

void DiscPage::clear() {
    m_targets.clear();
    m_detailTargets.clear();
    m_playlists.clear();
    m_checked = false;
    for (QTableView* view :
         {sgTitles, sgPlaylists, sgChapters, sgStreams, sgClips, sgMenus, sgBdjos, sgSounds, sgFindings}) {
        sourceOf(view)->removeRows(0, sourceOf(view)->rowCount());
        view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    lSummary->setText(QStringLiteral("Not checked yet: Check disc reports what is on the disc and what "
                                     "contradicts itself."));
}

void DiscPage::showResult(const DiscReport& report, const DiscCheckResult& check) {
    clear();
    m_checked = true;
    m_playlists = report.playlists;
    auto add = [this](QTableView* view, const std::vector<Cell>& cells, const RecordPath& path,
                      const std::string& file = {}) {
        m_targets.push_back(recordTarget(path, file));
        sourceOf(view)->appendRow(rowItems(cells, static_cast<int>(m_targets.size()) - 1));
    };

    for (const TitleReport& t : report.titles) {
        // First Playback and Top Menu have no title row: their movie object is the record.
        RecordPath path = t.where;
        if (t.object >= 0) path = path.then("object", t.object);
        add(sgTitles,
            {Cell(t.label, t.title_number), t.object_type,
             t.object >= 0 ? Cell(QStringLiteral("object %1").arg(t.object), qint64(t.object))
                           : Cell(t.bdjo.empty() ? std::string("-") : t.bdjo + ".bdjo"),
             Cell(t.playlists.empty() ? QStringLiteral("-") : joined(t.playlists))},
            path);
    }

    for (std::size_t p = 0; p < report.playlists.size(); ++p) {
        const PlayListReport& r = report.playlists[p];
        std::vector<std::string> clips;
        for (const PlayItemReport& item : r.items) clips.push_back(item.clip);
        add(sgPlaylists,
            {Cell(QString::fromStdString(r.name) + (r.main ? QStringLiteral(" (main)") : QString()),
                  QString::fromStdString(r.name)),
             r.read.usable() ? duration(r.duration) : Cell(readText(r.read), QString()),
             number(static_cast<qint64>(r.items.size())), number(r.angles),
             number(static_cast<qint64>(r.chapters.size())), number(static_cast<qint64>(r.streams.size())),
             number(static_cast<qint64>(r.subPaths.size())), bytesCell(r.size),
             Cell(r.referencedBy.empty() ? QStringLiteral("-") : joined(r.referencedBy, ", ")),
             Cell(joined(clips))},
            RecordPath{}.then("playlist", r.name));
        QStandardItemModel* model = sourceOf(sgPlaylists);
        QStandardItem* first = model->item(model->rowCount() - 1, 0);
        first->setData(static_cast<int>(p), PlaylistRole);
        if (r.main) {
            QFont bold = first->font();
            bold.setBold(true);
            first->setFont(bold);
        }
        if (!r.read.message.empty()) first->setToolTip(QString::fromStdString(r.read.message));
    }

    for (const ClipReport& c : report.clips) {
        std::vector<std::string> streams;
        for (const ClipStreamReport& s : c.streams)
            streams.push_back(hexText(s.pid, 4) + ":" + s.codingName +
                              (s.language.empty() ? "" : " " + s.language));
        add(sgClips,
            {c.name, c.read.usable() ? number(c.packets) : Cell(readText(c.read), qint64(-1)),
             duration(c.duration), bytesCell(c.size), Cell(joined(streams, ", "))},
            RecordPath{}.then("clip", c.name));
    }
    for (const MenuReport& m : report.menus)
        add(sgMenus,
            {m.clip, Cell(QStringLiteral("0x") + QString::fromStdString(hexText(m.pid, 4)), m.pid),
             readText(m.read), number(static_cast<qint64>(m.pages)), number(static_cast<qint64>(m.buttons))},
            RecordPath{}.then("menu", m.clip + " PID " + hexText(m.pid, 4)));
    for (const BdjoReport& b : report.bdjos)
        add(sgBdjos,
            {b.name, readText(b.read), number(static_cast<qint64>(b.applications)),
             Cell(joined(b.playlists))},
            RecordPath{}.then("bdjo", b.name));
    for (std::size_t s = 0; s < report.sounds.lengths.size(); ++s)
        add(sgSounds,
            {number(static_cast<qint64>(s)), Cell(QStringLiteral("%1 ms").arg(report.sounds.lengths[s]),
                                                  static_cast<qulonglong>(report.sounds.lengths[s]))},
            {}, "AUXDATA/sound.bdmv");

    const QIcon icons[] = {style()->standardIcon(QStyle::SP_MessageBoxCritical),
                           style()->standardIcon(QStyle::SP_MessageBoxWarning),
                           style()->standardIcon(QStyle::SP_MessageBoxInformation)};
    for (const Finding& f : check.findings) {
        add(sgFindings,
            {Cell(QString::fromUtf8(severityName(f.severity).data(),
                                    static_cast<qsizetype>(severityName(f.severity).size())),
                  static_cast<int>(f.severity)),
             f.code, f.file, f.where.text(), f.message},
            f.where, f.file);
        QStandardItemModel* model = sourceOf(sgFindings);
        QStandardItem* first = model->item(model->rowCount() - 1, 0);
        first->setIcon(icons[static_cast<int>(f.severity)]);
        model->item(model->rowCount() - 1, 4)->setToolTip(QString::fromStdString(f.message));
    }

    for (QTableView* view : {sgTitles, sgPlaylists, sgClips, sgMenus, sgBdjos, sgSounds, sgFindings}) {
        view->resizeColumnsToContents();
        // A long list column (clips, referenced by, message) keeps the others in sight.
        for (int c = 0; c < view->model()->columnCount(); ++c)
            view->setColumnWidth(c, std::min(view->columnWidth(c), 360));
    }
    if (sgPlaylists->model()->rowCount() > 0) sgPlaylists->selectRow(0);

    QStringList summary;
    summary << QStringLiteral("%1 titles, %2 playlists, %3 clips")
                   .arg(report.titles.size())
                   .arg(report.playlists.size())
                   .arg(report.clips.size());
    if (!report.mainPlaylist.empty())
        summary << QStringLiteral("main playlist ") + QString::fromStdString(report.mainPlaylist);
    if (!report.indexRead.usable()) summary << QStringLiteral("index.bdmv ") + readText(report.indexRead);
    if (!report.mobjRead.usable()) summary << QStringLiteral("MovieObject.bdmv ") + readText(report.mobjRead);
    summary << QStringLiteral("%1 errors, %2 warnings").arg(check.errors()).arg(check.warnings());
    lSummary->setText(summary.join(QStringLiteral("; ")));
}

void DiscPage::fillPlaylistDetails(int row) {
    for (QTableView* view : {sgChapters, sgStreams})
        sourceOf(view)->removeRows(0, sourceOf(view)->rowCount());
    m_detailTargets.clear();
    const QVariant at = row >= 0 ? sgPlaylists->model()->index(row, 0).data(PlaylistRole) : QVariant();
    if (!at.isValid() || at.toInt() < 0 || at.toInt() >= static_cast<int>(m_playlists.size())) return;
    const PlayListReport& r = m_playlists[static_cast<std::size_t>(at.toInt())];
    const RecordPath playlist = RecordPath{}.then("playlist", r.name);
    auto add = [this](QTableView* view, const std::vector<Cell>& cells, const RecordPath& path) {
        m_detailTargets.push_back(recordTarget(path));
        sourceOf(view)->appendRow(rowItems(cells, static_cast<int>(m_detailTargets.size()) - 1));
    };
    for (std::size_t c = 0; c < r.chapters.size(); ++c)
        add(sgChapters,
            {number(static_cast<qint64>(c + 1)), duration(r.chapters[c].start),
             duration(r.chapters[c].length), number(r.chapters[c].playItem)},
            playlist.then("PlayItem", r.chapters[c].playItem));
    for (const StreamReport& s : r.streams) {
        const auto list = std::find(StreamTypes.begin(), StreamTypes.end(), s.type);
        RecordPath path = playlist.then("PlayItem", 0);
        if (list != StreamTypes.end())
            path = path.then(
                "STN " + std::string(StnHeaders[static_cast<std::size_t>(list - StreamTypes.begin())]),
                s.number);
        add(sgStreams,
            {Cell(QStringLiteral("%1 %2").arg(QString::fromStdString(s.type)).arg(s.number)),
             Cell(QStringLiteral("0x") + QString::fromStdString(hexText(s.pid, 4)), s.pid), s.codingName,
             s.format, s.rate, s.language.empty() ? std::string() : s.language + " " + s.languageName},
            path);
    }
    for (QTableView* view : {sgChapters, sgStreams}) view->resizeColumnsToContents();
}

} // namespace corvane
