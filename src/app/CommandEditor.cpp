#include "app/CommandEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "navigation/CommandEdit.h"
#include "widgets/EditControls.h"

namespace corvane {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget> Widget* named(Widget* widget, const char* name, std::string_view hint) {
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(qs(hint));
    return widget;
}

void setItems(QComboBox* box, const std::vector<std::string_view>& items, int selected) {
    box->clear();
    for (std::string_view item : items) box->addItem(qs(item));
    box->setCurrentIndex(selected < box->count() ? selected : -1);
}

} // namespace

CommandEditor::CommandEditor(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pCommandEditor"));
    cbCmdGrp = named(new QComboBox(this), "cbCmdGrp", HintCommandGroup);
    cbCmdSGrp = named(new QComboBox(this), "cbCmdSGrp", HintCommandSubGroup);
    cbCmd = named(new QComboBox(this), "cbCmd", HintCommandOption);
    cbOP1on = named(new QCheckBox(this), "cbOP1on", "");
    cbOP2on = named(new QCheckBox(this), "cbOP2on", "");
    cbOP1 = named(new QComboBox(this), "cbOP1", HintDestinationType);
    cbOp2 = named(new QComboBox(this), "cbOp2", HintSourceType);
    for (QComboBox* box : {cbOP1, cbOp2})
        for (std::string_view name : OperandTypeNames) box->addItem(qs(name));
    ieOp1 = named(new TIntEdit(this), "ieOp1", HintDestination);
    ieOp2 = named(new TIntEdit(this), "ieOp2", HintSource);
    heOCH = named(new THexEdit(8, this), "heOCH", HintHexWord);
    heDEH = named(new THexEdit(8, this), "heDEH", HintHexWord);
    heSOH = named(new THexEdit(8, this), "heSOH", HintHexWord);
    cbCmd->setMinimumContentsLength(14);
    cbCmd->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(cbCmdGrp, 0, 0);
    grid->addWidget(cbCmdSGrp, 0, 1);
    grid->addWidget(cbCmd, 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Hex"), this), 0, 4);
    grid->addWidget(heOCH, 0, 5);
    grid->addWidget(cbOP1on, 1, 0, Qt::AlignRight);
    grid->addWidget(cbOP1, 1, 1);
    grid->addWidget(ieOp1, 1, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Hex"), this), 1, 4);
    grid->addWidget(heDEH, 1, 5);
    grid->addWidget(cbOP2on, 2, 0, Qt::AlignRight);
    grid->addWidget(cbOp2, 2, 1);
    grid->addWidget(ieOp2, 2, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Hex"), this), 2, 4);
    grid->addWidget(heSOH, 2, 5);
    grid->setColumnStretch(2, 1);

    auto whenChosen = [this](QComboBox* box, auto edit) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, edit](int item) {
            if (!m_command || item < 0) return;
            apply(edit(*m_command, item));
        });
    };
    whenChosen(cbCmdGrp, [](const TNavCommand& c, int item) { return setCommandGroup(c, item); });
    whenChosen(cbCmdSGrp, [](const TNavCommand& c, int item) { return setCommandSubGroup(c, item); });
    whenChosen(cbCmd, [](const TNavCommand& c, int item) { return setCommandOption(c, item); });
    whenChosen(cbOP1, [](const TNavCommand& c, int item) {
        return setOperandType(c, Operand::Destination, static_cast<OperandType>(item));
    });
    whenChosen(cbOp2, [](const TNavCommand& c, int item) {
        return setOperandType(c, Operand::Source, static_cast<OperandType>(item));
    });
    connect(cbOP1on, &QCheckBox::toggled, this, [this](bool on) {
        if (m_command) apply(setOperandPresent(*m_command, Operand::Destination, on));
    });
    connect(cbOP2on, &QCheckBox::toggled, this, [this](bool on) {
        if (m_command) apply(setOperandPresent(*m_command, Operand::Source, on));
    });
    connect(ieOp1, &QLineEdit::editingFinished, this, [this] { valueTyped(ieOp1, true); });
    connect(ieOp2, &QLineEdit::editingFinished, this, [this] { valueTyped(ieOp2, false); });
    connect(heOCH, &QLineEdit::editingFinished, this, [this] { wordTyped(heOCH, 0); });
    connect(heDEH, &QLineEdit::editingFinished, this, [this] { wordTyped(heDEH, 1); });
    connect(heSOH, &QLineEdit::editingFinished, this, [this] { wordTyped(heSOH, 2); });
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{ieOp1, ieOp2, heOCH, heDEH, heSOH})
        connect(edit, &QLineEdit::returnPressed, this, &CommandEditor::returnToGrid);

    showCommand(std::nullopt);
}

void CommandEditor::setPickersEnabled(bool enabled) {
    m_pickersEnabled = enabled;
    showCommand(m_command);
}

void CommandEditor::showCommand(const std::optional<TNavCommand>& command) {
    // What the controls show now is the model's, not a user's edit.
    const QSignalBlocker group(cbCmdGrp), subGroup(cbCmdSGrp), option(cbCmd), opcode(heOCH);
    const QSignalBlocker destinationOn(cbOP1on), destinationType(cbOP1), destination(ieOp1),
        destinationHex(heDEH);
    const QSignalBlocker sourceOn(cbOP2on), sourceType(cbOp2), source(ieOp2), sourceHex(heSOH);
    m_command = command;
    const bool on = command.has_value();
    const CommandEditorState state = commandEditorState(command.value_or(TNavCommand{}));
    setItems(cbCmdGrp, state.groupItems, state.groupIndex);
    setItems(cbCmdSGrp, state.subGroupItems, state.subGroupIndex);
    setItems(cbCmd, state.optionItems, state.optionIndex);
    for (QComboBox* box : {cbCmdGrp, cbCmdSGrp, cbCmd}) box->setEnabled(on && m_pickersEnabled);
    heOCH->setText(QString::fromStdString(state.opcodeHex));
    heOCH->setEnabled(on);

    struct Row {
        const OperandFieldState& field;
        QCheckBox* present;
        QComboBox* type;
        TIntEdit* value;
        THexEdit* hex;
    };
    for (const Row& row : {Row{state.destination, cbOP1on, cbOP1, ieOp1, heDEH},
                           Row{state.source, cbOP2on, cbOp2, ieOp2, heSOH}}) {
        row.present->setChecked(on && row.field.present);
        row.present->setEnabled(on);
        row.type->setCurrentIndex(static_cast<int>(row.field.type));
        row.value->setText(QString::fromStdString(row.field.valueText));
        row.hex->setText(QString::fromStdString(row.field.hex));
        for (QWidget* w : std::initializer_list<QWidget*>{row.type, row.value, row.hex})
            w->setEnabled(on && row.field.enabled);
    }
    emit hintChanged(on ? QString::fromStdString(state.hint) : qs(HintNavigationCommands));
}

void CommandEditor::apply(const TNavCommand& changed) {
    if (!m_command) return;
    // Refresh even when nothing changed, so a refused value is shown from the model again.
    const TNavCommand result = changed;
    if (!(result == *m_command)) emit edited(result);
    showCommand(result);
}

void CommandEditor::valueTyped(TIntEdit* edit, bool destination) {
    if (!m_command) return;
    bool ok = false;
    const qlonglong typed = edit->text().toLongLong(&ok);
    if (!ok) {
        showCommand(m_command);
        return;
    }
    apply(setOperandValue(*m_command, destination ? Operand::Destination : Operand::Source, typed));
}

void CommandEditor::wordTyped(THexEdit* edit, int word) {
    if (!m_command) return;
    const auto value = static_cast<std::uint32_t>(edit->value());
    if (word == 0)
        apply(setOpcodeWord(*m_command, value));
    else
        apply(setOperandWord(*m_command, word == 1 ? Operand::Destination : Operand::Source, value));
}

} // namespace corvane
