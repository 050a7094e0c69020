#include <gtest/gtest.h>

#include "CaptureSink.h"
#include "shell/Reporter.h"

namespace corvane {
namespace {

using testing::CaptureSink;

TEST(Reporter, ErlogReportsInTheLogTheStatusBarAndTheFlag) {
    CaptureSink sink;
    Reporter r(&sink);
    r.erlog("Cannot create backup file.");
    ASSERT_EQ(sink.lines.size(), 1u);
    const auto& line = sink.lines[0];
    EXPECT_EQ(line.text, "ERROR: Cannot create backup file.");
    ASSERT_EQ(line.spans.size(), 2u);
    EXPECT_EQ(line.spans[0].style.rgb, 0xFF0000u);
    EXPECT_TRUE(line.spans[1].style.bold);
    EXPECT_EQ(line.spans[1].start, 7u);
    EXPECT_TRUE(sink.badge);
    EXPECT_EQ(sink.status[1], "Cannot create backup file.");
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_TRUE(r.ErrorRaised);
    r.slog("next", 1); // the next status text removes the badge
    EXPECT_FALSE(sink.badge);
}

TEST(Reporter, FileErrorIsAnErrorReportAndTheBox) {
    CaptureSink sink;
    Reporter r(&sink);
    const std::string message = "Cannot open file \"/discs/[1]/BDMV/index.bdmv\". Permission denied.";
    r.fileError(message);
    ASSERT_EQ(sink.lines.size(), 1u);
    // The path keeps its brackets: the message is no markup.
    EXPECT_EQ(sink.lines[0].text, "ERROR: " + message);
    ASSERT_EQ(sink.lines[0].spans.size(), 2u);
    EXPECT_EQ(sink.lines[0].spans[0].style.rgb, 0xFF0000u);
    EXPECT_TRUE(sink.lines[0].spans[1].style.bold);
    EXPECT_EQ(sink.lines[0].spans[1].length, message.size());
    EXPECT_TRUE(sink.badge);
    EXPECT_EQ(sink.status[1], message);
    EXPECT_TRUE(r.ErrorRaised);
    EXPECT_EQ(sink.fileErrors, std::vector<std::string>{message});
}

TEST(Reporter, AnActionWithErrorsEndsOnErrorsNotReady) {
    CaptureSink sink;
    Reporter r(&sink);
    r.beginAction();
    r.dlog0("Saving index.bdmv");
    r.fileError("index.bdmv: Read-only file system");
    r.slogR(); // the end of the first writer
    r.ErrorRaised = false;
    r.dlog0("Saving MovieObject.bdmv"); // the second writer of the same Save
    EXPECT_TRUE(sink.badge);
    EXPECT_EQ(sink.status[0], "Saving MovieObject.bdmv");
    r.slog("detail", 1);
    EXPECT_TRUE(sink.badge);
    r.log("MovieObject.bdmv saved.");
    r.slogR();
    EXPECT_TRUE(sink.badge);
    EXPECT_EQ(sink.status[0], "Errors.");
    EXPECT_EQ(sink.status[1], "1 error, see the Status page");
    r.erlog("Cannot create backup file.");
    r.slogR();
    EXPECT_EQ(sink.status[1], "2 errors, see the Status page");
    EXPECT_EQ(r.actionErrors(), 2);

    // The next action: the first status text removes the badge, and it ends Ready.
    r.beginAction();
    EXPECT_TRUE(sink.badge);
    r.dlog0("Reading index.bdmv");
    EXPECT_FALSE(sink.badge);
    r.slogR();
    EXPECT_EQ(sink.status[0], "Ready.");
    EXPECT_EQ(sink.status[1], "");
}

TEST(Reporter, StatusPanelsOfTheLogVariants) {
    CaptureSink sink;
    Reporter r(&sink);
    r.dlog0("Reading [b]index.bdmv[/b]");
    EXPECT_EQ(sink.status[0], "Reading index.bdmv");
    EXPECT_EQ(sink.status[1], "");
    r.dlog("detail [re]x[/re]");
    EXPECT_EQ(sink.status[1], "detail x");
    r.log2("two");
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Reading index.bdmv", "detail x", "two", ""}));
    r.slogR();
    EXPECT_EQ(sink.status[0], "Ready.");
    EXPECT_EQ(sink.status[1], "");
}

TEST(Reporter, CancelAsksOnlyAfterAnExtractionStarted) {
    CaptureSink sink;
    Reporter r(&sink);
    int asked = 0;
    r.cancel([&] { return ++asked, true; });
    EXPECT_TRUE(r.CancelRequested);
    EXPECT_EQ(asked, 0);

    r.PrBarOn();
    EXPECT_FALSE(r.CancelRequested);
    r.ConfirmCancel = true;
    r.cancel([&] { return ++asked, false; }); // "No"
    EXPECT_FALSE(r.CancelRequested);
    r.cancel([&] { return ++asked, true; }); // "Yes"
    EXPECT_TRUE(r.CancelRequested);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(sink.status[1], "Cancelled.");
    EXPECT_EQ(sink.texts(), std::vector<std::string>{""});
}

TEST(Reporter, ProgressTextOfAStreamWalk) {
    const auto report = progressText(32768, 1000000, std::chrono::seconds(10));
    EXPECT_EQ(report.percent, 3);
    // 10 × 1000000 ÷ 32768 − 10 + 1 ≈ 296 s
    EXPECT_EQ(report.text, "Packet: 32768/1000000   Elapsed: 0:00:10   Remaining: 0:04:56");
    EXPECT_NEAR(report.megabytesPerSecond, 32768 * 192 / 10e6, 1e-9); // the terminal line's speed
    EXPECT_EQ(report.remaining, std::chrono::seconds(296));
    EXPECT_EQ(progressText(0, 0, std::chrono::seconds(0)).percent, 0);
    EXPECT_EQ(longTimeText(std::chrono::seconds(3 * 3600 + 61)), "3:01:01");
}

} // namespace
} // namespace corvane
