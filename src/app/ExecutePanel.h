#pragma once
// The execution panel at the bottom of the window: Start, the trace switch, the line
// the next run or step begins with, and the program picker.

#include <QWidget>

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

    QPushButton* bStart;
    QCheckBox* cbTrace;
    TIntEdit* ieProgramLine;
    QComboBox* cbObject;

signals:
    // ieProgramLine was left: the next run or step begins with this line.
    void lineEntered(int line);
};

} // namespace corvane
