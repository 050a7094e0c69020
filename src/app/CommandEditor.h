#pragma once
// The command editor under the command grid: one navigation command split into
// group, sub-group and option, the two operands with their type and value, and the
// three words in hex. Every change hands the new command to the page at once.

#include <QWidget>

#include <optional>

#include "navigation/NavCommand.h"

class QCheckBox;
class QComboBox;

namespace corvane {

class THexEdit;
class TIntEdit;

class CommandEditor : public QWidget {
    Q_OBJECT
public:
    explicit CommandEditor(QWidget* parent = nullptr);

    // Fills every control from the command; no command disables the editor.
    void showCommand(const std::optional<TNavCommand>& command);
    const std::optional<TNavCommand>& command() const { return m_command; }
    // Whether the group, sub-group and option pickers may be used at all (a folder was read).
    void setPickersEnabled(bool enabled);

    QComboBox* cbCmdGrp;
    QComboBox* cbCmdSGrp;
    QComboBox* cbCmd;
    QCheckBox* cbOP1on;
    QCheckBox* cbOP2on;
    QComboBox* cbOP1;
    QComboBox* cbOp2;
    TIntEdit* ieOp1;
    TIntEdit* ieOp2;
    THexEdit* heOCH;
    THexEdit* heDEH;
    THexEdit* heSOH;

signals:
    // The command after a change of one control.
    void edited(const corvane::TNavCommand& command);
    // Enter in a value field.
    void returnToGrid();
    // The hint of the command grid for the command shown.
    void hintChanged(const QString& hint);

private:
    void apply(const TNavCommand& changed);
    void valueTyped(TIntEdit* edit, bool destination);
    void wordTyped(THexEdit* edit, int word);

    std::optional<TNavCommand> m_command;
    bool m_pickersEnabled = false;
};

} // namespace corvane
