#pragma once
// The message log: a read-only rich-text list of styled lines.

#include <QTextCharFormat>
#include <QTextEdit>

#include "shell/Markup.h"

namespace corvane {

class MessageLog : public QTextEdit {
    Q_OBJECT
public:
    explicit MessageLog(QWidget* parent = nullptr);

    // Appends one line, each span in its style, and leaves the view at the end.
    void appendLine(const StyledLine& line);
    void clearLog();
    int lineCount() const { return m_lines; }

    // The character format of a span style over the log's default format.
    static QTextCharFormat formatFor(const TextStyle& style, const QTextCharFormat& base);
    // Tahoma 9 pt, or the application font at 9 pt where Tahoma is missing.
    static QFont defaultLogFont();

private:
    QTextCharFormat m_default;
    int m_lines = 0;
};

} // namespace corvane
