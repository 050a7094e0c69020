#include <gtest/gtest.h>

#include "shell/Markup.h"

namespace corvane {
namespace {

TEST(Markup, OnlyTheTaggedTextIsStyled) {
    const auto line = parseMarkup("  Found [b]3[/b] playlists.");
    EXPECT_EQ(line.text, "  Found 3 playlists.");
    ASSERT_EQ(line.spans.size(), 1u);
    EXPECT_EQ(line.spans[0].start, 8u);
    EXPECT_EQ(line.spans[0].length, 1u);
    EXPECT_TRUE(line.spans[0].style.bold);
}

TEST(Markup, ErrorLineWithDoubledBold) {
    const auto line = parseMarkup("[re]ERROR:[/re] [b][b]Check failed.[/b][/b]");
    EXPECT_EQ(line.text, "ERROR: Check failed.");
    ASSERT_EQ(line.spans.size(), 2u);
    EXPECT_EQ(line.spans[0].style.rgb, 0xFF0000u);
    EXPECT_EQ(line.spans[0].length, 6u);
    // The outer bold span ends at the first "[/b]"; the inner tag is just removed.
    EXPECT_EQ(line.spans[1].start, 7u);
    EXPECT_EQ(line.spans[1].length, 13u);
    EXPECT_TRUE(line.spans[1].style.bold);
}

TEST(Markup, SpansDoNotNest) {
    const auto line = parseMarkup("[b]a[i]b[/i]c[/b]d");
    EXPECT_EQ(line.text, "abcd");
    ASSERT_EQ(line.spans.size(), 1u);
    EXPECT_EQ(line.spans[0].length, 3u);
    EXPECT_TRUE(line.spans[0].style.bold);
    EXPECT_FALSE(line.spans[0].style.italic);
}

TEST(Markup, UnbalancedAndStrayBrackets) {
    // An opening tag without its closing tag styles nothing.
    auto line = parseMarkup("[b]never closed");
    EXPECT_EQ(line.text, "never closed");
    EXPECT_TRUE(line.spans.empty());
    // A closing tag alone is removed.
    line = parseMarkup("text[/b] more");
    EXPECT_EQ(line.text, "text more");
    EXPECT_TRUE(line.spans.empty());
    // "]" without "[" and "[" without "]" stay as text.
    EXPECT_EQ(striptags("a]b"), "a]b");
    EXPECT_EQ(striptags("a[b"), "a[b");
    EXPECT_EQ(striptags("x] [b]y[/b] [z"), "x] y [z");
    // A tag runs from "[" to the first "]" after it.
    EXPECT_EQ(striptags("[x[y]z]"), "z]");
    EXPECT_EQ(parseMarkup("").text, "");
}

TEST(Markup, TagStyles) {
    const auto line = parseMarkup("[unknown]u[/unknown] after [c:008000]g[/c:008000][s2]big[/s2][u]x[/u]");
    EXPECT_EQ(line.text, "u after gbigx");
    ASSERT_EQ(line.spans.size(), 4u);
    EXPECT_EQ(line.spans[0].style.pointSize, 8); // unknown names: plain 8 point
    EXPECT_FALSE(line.spans[0].style.rgb.has_value());
    EXPECT_EQ(line.spans[1].style.rgb, 0x008000u);
    EXPECT_EQ(line.spans[2].style.pointSize, 12);
    EXPECT_TRUE(line.spans[3].style.underline);
    // c: holds red in its low byte.
    EXPECT_EQ(styleForTag("c:0000FF").rgb, 0xFF0000u);
    EXPECT_EQ(styleForTag("c:FF0000").rgb, 0x0000FFu);
    EXPECT_EQ(styleForTag("bl").rgb, 0x0000FFu);
    EXPECT_EQ(styleForTag("gr").rgb, 0x00FF00u);
    EXPECT_EQ(styleForTag("s1").pointSize, 10);
    EXPECT_TRUE(styleForTag("i").italic);
}

TEST(Markup, TextAfterTheFirstTagIsLimitedTo255Characters) {
    const std::string tail(300, 'x');
    EXPECT_EQ(striptags(std::string(400, 'p')).size(), 400u); // no tag: no limit
    const auto line = parseMarkup("head[b]" + tail);
    EXPECT_EQ(line.text, "head" + std::string(255, 'x'));
    // The tags inside the kept part count towards the 255.
    const auto tagged = parseMarkup("[b]" + std::string(250, 'y') + "[/b]" + tail);
    EXPECT_EQ(tagged.text, std::string(250, 'y') + "x");
    ASSERT_EQ(tagged.spans.size(), 1u);
    EXPECT_EQ(tagged.spans[0].length, 250u);
}

TEST(Markup, SpansAlwaysLieInsideThePlainLine) {
    for (const char* text :
         {"[b]]][/b]", "[[b]]x[/b]]", "[/]x[/]", "[]y[/]", "[b]x[/b", "[b][/b]", "[s1]a[b]b[/s1]c[/b]"}) {
        const auto line = parseMarkup(text);
        EXPECT_EQ(line.text, striptags(text)) << text;
        for (const auto& span : line.spans) EXPECT_LE(span.start + span.length, line.text.size()) << text;
    }
}

} // namespace
} // namespace corvane
