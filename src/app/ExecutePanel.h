#pragma once
// The execution panel at the bottom of the window: Start, the trace switch, the line
// the next run or step begins with, and the program picker: the movie object on the BDMV
// page, the button whose commands a trace continues on the Menu page.

#include <QWidget>

#include <cstddef>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace corvane {

class TIntEdit;

class ExecutePanel : public QWidget {
    Q_OBJECT
public:
    explicit ExecutePanel(QWidget* parent = nullptr);

    // The text ieProgramLine shows for a line: four digits, zero-padded.
    static QString lineText(int line);
    void showLine(int line);
    // The line typed into ieProgramLine.
    int typedLine() const;
    // Start's caption is bold while a trace waits for its next step.
    void setTraceRunning(bool running);
    bool traceRunning() const;
    // The object picker lists `count` objects as four-digit numbers.
    void setObjectCount(int count);
    // The button picker's items, indexed by button id (four hex digits); the first is selected.
    void setButtonTexts(const std::vector<std::string>& texts);
    // Selects the item of this id; false when the picker has none.
    bool selectButtonId(std::size_t id);
    // The id picked; -1 for none.
    int chosenButtonId() const;
    // Which picker shows: the object picker (BDMV page) or the button picker (Menu page).
    void showButtonPicker(bool buttons);

    QPushButton* bStart;
    QCheckBox* cbTrace;
    TIntEdit* ieProgramLine;
    QComboBox* cbObject;
    QComboBox* cbButton;

signals:
    // ieProgramLine was left: the next run or step begins with this line.
    void lineEntered(int line);
};

} // namespace corvane
