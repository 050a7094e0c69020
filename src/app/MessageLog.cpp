#include "app/MessageLog.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace corvane {

MessageLog::MessageLog(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setFont(defaultLogFont());
    document()->setDefaultFont(font());
    m_default.setFont(font());
}

void MessageLog::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    // A click, not the end of a selection drag.
    if (event->button() != Qt::LeftButton || textCursor().hasSelection()) return;
    const QTextBlock block = cursorForPosition(event->position().toPoint()).block();
    if (block.isValid()) emit lineClicked(block.text());
}

QFont MessageLog::defaultLogFont() {
    QFont font(QStringLiteral("Tahoma"), 9);
    if (!QFontInfo(font).exactMatch()) {
        font = QApplication::font();
        font.setPointSize(9);
    }
    return font;
}

QTextCharFormat MessageLog::formatFor(const TextStyle& style, const QTextCharFormat& base) {
    QTextCharFormat format = base;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    if (style.pointSize > 0) format.setFontPointSize(style.pointSize);
    if (style.rgb) {
        const std::uint32_t rgb = *style.rgb;
        format.setForeground(QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)));
    }
    return format;
}

void MessageLog::appendLine(const StyledLine& line) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (m_lines > 0) cursor.insertBlock(QTextBlockFormat(), m_default);
    ++m_lines;

    std::vector<StyledSpan> spans = line.spans;
    std::sort(spans.begin(), spans.end(),
              [](const StyledSpan& a, const StyledSpan& b) { return a.start < b.start; });
    const std::string& text = line.text;
    std::size_t column = 0;
    const auto put = [&](std::size_t from, std::size_t to, const QTextCharFormat& format) {
        if (to > from) cursor.insertText(QString::fromUtf8(text.data() + from, qsizetype(to - from)), format);
    };
    for (const StyledSpan& span : spans) {
        const std::size_t start = std::min(std::max(span.start, column), text.size());
        const std::size_t end = std::min(span.start + span.length, text.size());
        put(column, start, m_default);
        put(start, end, formatFor(span.style, m_default));
        column = std::max(column, end);
    }
    put(column, text.size(), m_default);
    // An empty line still needs its format so later text keeps the log's font.
    if (text.empty()) cursor.setCharFormat(m_default);

    setTextCursor(cursor);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void MessageLog::clearLog() {
    clear();
    m_lines = 0;
}

} // namespace corvane
