// The CLIPINF page's controls and their arrangement.
#include "app/ClipInfoPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/PickerRow.h"
#include "app/PlaylistPageGrid.h"
#include "widgets/EditControls.h"

namespace corvane {

namespace {

constexpr std::array<std::string_view, 4> ReferenceGridHeader{"", "mpls", "s/p", "item"};

// A field that only shows a value of the file.
TIntEdit* valueField(QWidget* parent, const char* name) {
    auto* field = new TIntEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return field;
}

// A control that shows a value and takes no input.
void displayOnly(QWidget* control) {
    control->setAttribute(Qt::WA_TransparentForMouseEvents);
    control->setFocusPolicy(Qt::NoFocus);
}

// A panel of a caption over its grid, shown or hidden as a whole.
QWidget* gridPanel(QWidget* parent, const char* name, const QString& caption, PlaylistGrid* grid) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(caption, panel));
    grid->setParent(panel);
    layout->addWidget(grid, 1);
    return panel;
}

QGroupBox* group(QWidget* parent, const QString& caption, QWidget* content) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 4, 6, 6);
    content->setParent(box);
    layout->addWidget(content);
    return box;
}

} // namespace

void ClipInfoPage::buildLayout() {
    cbClipinf = new QComboBox(this);
    cbClipinf->setObjectName(QStringLiteral("cbClipinf"));
    bReadCI = new QPushButton(QStringLiteral("Read"), this);
    bReadCI->setObjectName(QStringLiteral("bReadCI"));
    bReadCI->setToolTip(QStringLiteral("Read the selected .clpi file"));
    bReadCI->setEnabled(false);

    lStreamname = new QLabel(QStringLiteral("-"), this);
    lStreamname->setObjectName(QStringLiteral("lStreamname"));
    lStreamsize = new QLabel(this);
    lStreamsize->setObjectName(QStringLiteral("lStreamsize"));
    for (QLabel* label : {lStreamname, lStreamsize}) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    bPlay = new QPushButton(QStringLiteral("Pla&y"), this);
    bPlay->setObjectName(QStringLiteral("bPlay"));
    bPlay->setToolTip(QStringLiteral("Play the clip's stream file with the desktop's player"));
    bSavePES = new QPushButton(QStringLiteral("Save P&ID"), this);
    bSavePES->setObjectName(QStringLiteral("bSavePES"));
    bSavePES->setToolTip(QStringLiteral("Save the selected PID"));
    bLoadToMenu = new QPushButton(QStringLiteral("-> M&enu"), this);
    bLoadToMenu->setObjectName(QStringLiteral("bLoadToMenu"));
    bLoadToMenu->setToolTip(QStringLiteral("Load the selected IG stream into the Menu page"));

    // ClipInfo
    auto* clipInfo = new QWidget(this);
    cbApplitype = new QComboBox(clipInfo);
    cbApplitype->setObjectName(QStringLiteral("cbApplitype"));
    for (int type = 0; type < ApplicationTypeCount; ++type) {
        const std::string_view name = applicationTypeName(static_cast<std::uint8_t>(type));
        cbApplitype->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    cbApplitype->setCurrentIndex(-1);
    displayOnly(cbApplitype);
    cbisATCdelta = new QCheckBox(QStringLiteral("is_ATC_delta"), clipInfo);
    cbisATCdelta->setObjectName(QStringLiteral("cbisATCdelta"));
    displayOnly(cbisATCdelta);
    ieRecRate = valueField(clipInfo, "ieRecRate");
    ieRecRate->setToolTip(QStringLiteral("TS_recording_rate (bytes per second)"));
    iePackets = valueField(clipInfo, "iePackets");
    iePackets->setToolTip(QStringLiteral("number_of_source_packets"));
    auto* clipInfoLayout = new QGridLayout(clipInfo);
    clipInfoLayout->setContentsMargins(0, 0, 0, 0);
    clipInfoLayout->addWidget(new QLabel(QStringLiteral("application type"), clipInfo), 0, 0);
    clipInfoLayout->addWidget(cbApplitype, 0, 1, 1, 3);
    clipInfoLayout->addWidget(new QLabel(QStringLiteral("recording rate"), clipInfo), 1, 0);
    clipInfoLayout->addWidget(ieRecRate, 1, 1);
    clipInfoLayout->addWidget(new QLabel(QStringLiteral("source packets"), clipInfo), 1, 2);
    clipInfoLayout->addWidget(iePackets, 1, 3);
    clipInfoLayout->addWidget(cbisATCdelta, 2, 0, 1, 4);
    clipInfoLayout->setColumnStretch(4, 1);

    sgATCdelta = new PlaylistGrid("sgATCdelta", ATCDeltaGridHeader, this);
    sgATCdelta->setColumnChars({3, 9, 8, 8});
    pATCdelta = gridPanel(clipInfo, "pATCdelta", QStringLiteral("ATC delta entries"), sgATCdelta);
    sgFontFiles = new PlaylistGrid("sgFontFiles", FontFileGridHeader, this);
    sgFontFiles->setColumnChars({3, 8});
    pFontfiles = gridPanel(clipInfo, "pFontfiles", QStringLiteral("Font files"), sgFontFiles);
    for (QWidget* panel : {pATCdelta, pFontfiles}) {
        panel->setMaximumHeight(110);
        panel->hide();
    }
    clipInfoLayout->addWidget(pATCdelta, 3, 0, 1, 5);
    clipInfoLayout->addWidget(pFontfiles, 4, 0, 1, 5);
    // Room left over goes below the fields, not between them, when the panels are hidden.
    clipInfoLayout->setRowStretch(5, 1);
    gbClipInfo = group(this, QStringLiteral("ClipInfo"), clipInfo);
    gbClipInfo->setObjectName(QStringLiteral("gbClipInfo"));

    // SequenceInfo
    auto* sequences = new QWidget(this);
    sgSequence = new PlaylistGrid("sgSequence", SequenceGridHeader, sequences);
    sgSequence->setColumnChars({3, 10, 10, 10});
    // Most clips have one ATC sequence: the STC rows below get the room.
    sgSequence->setMaximumHeight(sgSequence->verticalHeader()->defaultSectionSize() * 6 +
                                 sgSequence->horizontalHeader()->sizeHint().height() + 4);
    sgSTCseq = new PlaylistGrid("sgSTCseq", STCGridHeader, this);
    sgSTCseq->setColumnChars({3, 8, 10, 11, 11});
    pSTCseq = gridPanel(sequences, "pSTCseq", QStringLiteral("STC sequences"), sgSTCseq);
    pSTCseq->hide();
    auto* sequenceLayout = new QVBoxLayout(sequences);
    sequenceLayout->setContentsMargins(0, 0, 0, 0);
    sequenceLayout->addWidget(sgSequence, 1);
    sequenceLayout->addWidget(pSTCseq, 1);
    sequenceLayout->addStretch(0);
    auto* gbSequence = group(this, QStringLiteral("SequenceInfo"), sequences);

    // ExtensionData and the playlists that use the clip
    lCIExtdat = new QLabel(this);
    lCIExtdat->setObjectName(QStringLiteral("lCIExtdat"));
    bCIExtDat = new QPushButton(QStringLiteral("Edit"), this);
    bCIExtDat->setObjectName(QStringLiteral("bCIExtDat"));
    bCIExtDat->setToolTip(
        QStringLiteral("Show the ExtensionData() of the clip (clip files are not written)"));
    auto* extension = new QHBoxLayout;
    extension->addWidget(new QLabel(QStringLiteral("ExtensionData:"), this));
    extension->addWidget(lCIExtdat, 1);
    extension->addWidget(bCIExtDat);

    sgCIRef = new PlaylistGrid("sgCIRef", ReferenceGridHeader, this);
    sgCIRef->setColumnChars({3, 6, 4, 6});
    sgCIRef->setToolTip(QStringLiteral("Double click opens the PlayList"));
    auto* gbCIRef = group(this, QStringLiteral("Referenced by"), sgCIRef);

    // ProgramInfo and CPI
    sgCI = new PlaylistGrid("sgCI", StreamGridHeader, this);
    sgCI->setColumnChars({3, 5, 16});
    // Save PID takes every selected stream in one read.
    sgCI->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sgCI->setToolTip(QStringLiteral("Double click plays the clip (PID 1400: loads the menu)"));
    auto* gbProgram = group(this, QStringLiteral("ProgramInfo"), sgCI);
    sgEPmap = new PlaylistGrid("sgEPmap", EPMapGridHeader, this);
    sgEPmap->setColumnChars({3, 5, 8, 9, 8});
    auto* gbCPI = group(this, QStringLiteral("CPI"), sgEPmap);

    // Top row: picker, the stream file, the stream buttons.
    QHBoxLayout* top = pickerRow(this, QStringLiteral("Clip"), cbClipinf, bReadCI);
    auto* labels = new QVBoxLayout;
    labels->setSpacing(0);
    labels->addWidget(lStreamname, 0, Qt::AlignRight);
    labels->addWidget(lStreamsize, 0, Qt::AlignRight);
    top->addLayout(labels);
    top->addSpacing(8);
    top->addWidget(bPlay);
    top->addWidget(bSavePES);
    top->addWidget(bLoadToMenu);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(gbClipInfo);
    leftLayout->addWidget(gbSequence, 2);
    leftLayout->addLayout(extension);
    leftLayout->addWidget(gbCIRef, 1);

    auto* right = new QSplitter(Qt::Vertical, this);
    right->setChildrenCollapsible(false);
    right->addWidget(gbProgram);
    right->addWidget(gbCPI);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);

    auto* columns = new QSplitter(Qt::Horizontal, this);
    columns->setObjectName(QStringLiteral("clipSplitter"));
    columns->setChildrenCollapsible(false);
    columns->addWidget(left);
    columns->addWidget(right);
    columns->setStretchFactor(0, 2);
    columns->setStretchFactor(1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(columns, 1);
}

} // namespace corvane
