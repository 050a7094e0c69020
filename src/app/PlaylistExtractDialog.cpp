#include "app/PlaylistExtractDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

QString kindCaption(StnKind kind) {
    switch (kind) {
    case StnKind::Video:
        return QStringLiteral("Video");
    case StnKind::Audio:
        return QStringLiteral("Audio");
    case StnKind::PG:
        return QStringLiteral("PG");
    case StnKind::IG:
        return QStringLiteral("IG");
    }
    return {};
}

} // namespace

PlaylistExtractDialog::PlaylistExtractDialog(const TMPLS& mpls, const QString& playlistName,
                                             std::size_t playItem, const QString& folder, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PlaylistExtractDialog"));
    setWindowTitle(QStringLiteral("Extract %1").arg(playlistName));
    chooseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Output folder"), start);
    };
    const auto& items = mpls.PlayList.PlayItems;

    auto* streams = new QGroupBox(this);
    streams->setObjectName(QStringLiteral("gbExtractStreams"));
    auto* grid = new QGridLayout(streams);
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(16);
    if (playItem < items.size()) {
        const TPlayItem& item = items[playItem];
        streams->setTitle(QStringLiteral("Streams of PlayItem %1 (%2)")
                              .arg(playItem)
                              .arg(QString::fromStdString(item.Clip_Information_file_name)));
        int row = 0;
        for (const StnStream& stream : stnStreams(item)) {
            auto* box = new QCheckBox(kindCaption(stream.choice.kind) + QLatin1Char(' ') +
                                          QString::number(stream.choice.number),
                                      streams);
            box->setObjectName(QStringLiteral("cxStream_") +
                               QString::fromStdString(stnChoiceText(stream.choice)));
            const QString coding =
                QString::fromStdString(std::string(codingTypeName(stream.info.stream_coding_type)));
            QString pid = QStringLiteral("sub path");
            if (stream.inClip) {
                pid = QString::fromStdString(hexText(stream.info.stream_PID, 4));
                box->setChecked(true);
                m_streams.emplace_back(box, stream.choice);
                connect(box, &QCheckBox::toggled, this, &PlaylistExtractDialog::updateOk);
            } else {
                // A sub path's stream is not in the PlayItem's clip.
                box->setEnabled(false);
                box->setToolTip(QStringLiteral("Carried by a sub path, not by the clip"));
            }
            auto* pidLabel = new QLabel(pid, streams);
            auto* attributes = new QLabel(QString::fromStdString(stream.attributes), streams);
            pidLabel->setEnabled(stream.inClip);
            attributes->setEnabled(stream.inClip);
            pidLabel->setToolTip(QStringLiteral("PID in the clip"));
            attributes->setToolTip(coding);
            grid->addWidget(box, row, 0);
            grid->addWidget(pidLabel, row, 1);
            grid->addWidget(attributes, row, 2);
            ++row;
        }
        if (row == 0) grid->addWidget(new QLabel(QStringLiteral("The STN lists no stream."), streams), 0, 0);
    }

    auto* form = new QFormLayout;
    // The angle: only a playlist with a multi-angle PlayItem offers a choice.
    const auto multiAngle = std::find_if(items.begin(), items.end(),
                                         [](const TPlayItem& item) { return item.is_multi_angle != 0; });
    if (multiAngle != items.end()) {
        m_angle = new QComboBox(this);
        m_angle->setObjectName(QStringLiteral("cbExtractAngle"));
        m_angle->setToolTip(QStringLiteral("The clip of this angle in each multi-angle PlayItem"));
        const std::size_t count = std::max<std::size_t>(playlistAngleCount(mpls), 1);
        for (std::size_t a = 0; a < count; ++a) {
            QString text = QString::number(a);
            if (a < multiAngle->multi_clip.angles.size())
                text += QStringLiteral(" (%1)").arg(
                    QString::fromStdString(multiAngle->multi_clip.angles[a].Clip_Information_file_name));
            m_angle->addItem(text);
        }
        form->addRow(QStringLiteral("Angle"), m_angle);
    }
    m_folder = new QLineEdit(folder, this);
    m_folder->setObjectName(QStringLiteral("eExtractDir"));
    m_folder->setMinimumWidth(320);
    m_folder->setToolTip(QStringLiteral("The streams and the chapters go into this folder"));
    m_browse = new QToolButton(this);
    m_browse->setObjectName(QStringLiteral("bbExtractDir"));
    m_browse->setText(QStringLiteral("…"));
    m_browse->setToolTip(QStringLiteral("Choose the output folder"));
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    form->addRow(QStringLiteral("Folder"), folderRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("bExtractOK"));
    m_ok->setText(QStringLiteral("Extract"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("bExtractCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_folder, &QLineEdit::textChanged, this, &PlaylistExtractDialog::updateOk);
    connect(m_browse, &QToolButton::clicked, this, [this] {
        const QString chosen = chooseFolder ? chooseFolder(m_folder->text()) : QString();
        if (!chosen.isEmpty()) m_folder->setText(QDir::toNativeSeparators(chosen));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(streams);
    layout->addLayout(form);
    layout->addWidget(buttons);
    updateOk();
}

std::vector<StnChoice> PlaylistExtractDialog::choices() const {
    std::vector<StnChoice> chosen;
    for (const auto& [box, choice] : m_streams)
        if (box->isChecked()) chosen.push_back(choice);
    return chosen;
}

std::size_t PlaylistExtractDialog::angle() const {
    return m_angle && m_angle->currentIndex() > 0 ? static_cast<std::size_t>(m_angle->currentIndex()) : 0;
}

QString PlaylistExtractDialog::folder() const {
    return m_folder->text().trimmed();
}

void PlaylistExtractDialog::updateOk() {
    m_ok->setEnabled(!choices().empty() && !folder().isEmpty());
}

} // namespace corvane
