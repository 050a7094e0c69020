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

signals:
    // A click on a line (its plain text): a find result opens what it names.
    void lineClicked(const QString& text);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QTextCharFormat m_default;
    int m_lines = 0;
};

} // namespace corvane
