// Loading and saving menus through the session's reporter: log lines, cancel, file errors.

#include <gtest/gtest.h>

#include <filesystem>

#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"
#include "shell/CaptureSink.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace corvane {
namespace {

TEST(IGSession, LoadAndSaveThroughTheReporter) {
    const auto folder = std::filesystem::temp_directory_path() / "corvane-menu-test";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "menu.mnu").string();
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);

    const TMenu original = testing::sampleMenu();
    ASSERT_TRUE(saveIGSFile(session, original, path));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Saving IGS menu...", "menu.mnu saved."}));
    EXPECT_EQ(sink.status[0], "Ready.");

    sink.lines.clear();
    TMenu menu;
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::Ok);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Reading menu.mnu", "1 ICS, 5 OCS, 2 PCS found."}));
    EXPECT_TRUE(menu.IGSc.pages == original.IGSc.pages);
    EXPECT_FALSE(session.reporter.ErrorRaised);

    // A cancelled extraction leaves its flag set: objects are read, pages are not parsed.
    session.reporter.CancelRequested = true;
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::Cancelled);
    EXPECT_TRUE(menu.IGSc.pages.empty());
    session.reporter.CancelRequested = false;

    sink.lines.clear();
    EXPECT_EQ(loadMNUFile(session, (folder / "missing.mnu").string(), menu), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);

    auto bytes = saveIGS(original, IGSaveMode::Mnu).bytes;
    bytes[bytes.size() - 13] = 'X'; // the END frame: what came before is still shown
    writeWholeFile(path, bytes);
    sink.lines.clear();
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::FormatError);
    EXPECT_TRUE(sink.contains("ERROR: File format error"));
    EXPECT_TRUE(session.reporter.ErrorRaised);
    EXPECT_TRUE(menu.IGSc.pages == original.IGSc.pages);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace corvane
