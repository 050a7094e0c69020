// Interactive compositions of real discs: each, wrapped as a .mnu, reads with all its pages,
// BOGs, buttons and commands, and the writer gives back the same composition bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"
#include "navigation/CommandText.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> compositions() {
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::path& root :
         {fs::path(CORVANE_TEST_DATA) / "menu", fs::path(CORVANE_ACCEPTANCE_DATA) / "bdpl"}) {
        if (!fs::is_directory(root, error)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root, error))
            if (entry.is_regular_file() && entry.path().extension() == ".bin") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::string error;
    auto bytes = readWholeFile(path.string(), error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? *bytes : std::vector<std::uint8_t>{};
}

TEST(IGAcceptance, RealCompositionsReadAndComeBackByteForByte) {
    const auto files = compositions();
    ASSERT_GE(files.size(), 3u) << "the samples of tests/data/menu are missing";
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const auto body = readBytes(path);
        MnuReadResult read = loadMNU(wrapComposition(body, 90000));
        ASSERT_EQ(read.status, ReadStatus::Ok);
        const TIGSc& ics = read.menu.IGSc;
        ASSERT_EQ(ics.pages.size(), ics.number_of_pages);
        ASSERT_GT(ics.pages.size(), 0u);
        std::size_t buttons = 0, commands = 0;
        for (const auto& page : ics.pages) {
            EXPECT_EQ(page.BOGs.size(), page.number_of_BOGs);
            for (const auto& bog : page.BOGs) {
                EXPECT_EQ(bog.buttons.size(), bog.number_of_buttons);
                for (const auto& button : bog.buttons) {
                    EXPECT_EQ(button.navigation_commands.size(), button.number_of_navigation_commands);
                    commands += button.navigation_commands.size();
                    for (const auto& command : button.navigation_commands)
                        EXPECT_FALSE(commandLine(command, CommandContext::Button).empty());
                }
                buttons += bog.buttons.size();
            }
        }
        EXPECT_GT(buttons, 0u);
        EXPECT_GT(commands, 0u);
        EXPECT_EQ(read.menu.MenuInTime, 90000u);

        const auto segments = testing::splitMnu(saveIGS(read.menu, IGSaveMode::Mnu).bytes);
        std::vector<std::uint8_t> written;
        for (const auto& s : segments)
            if (s.type == 0x18) written.insert(written.end(), s.body.begin(), s.body.end());
        EXPECT_TRUE(written == body) << "the composition was not written back byte for byte";
    }
}

TEST(IGAcceptance, KnownFieldsOfAPopUpMenu) {
    const auto body = readBytes(fs::path(CORVANE_TEST_DATA) / "menu" / "bdpl-disc17-ics-popup-2pages.bin");
    MnuReadResult read = loadMNU(wrapComposition(body));
    ASSERT_EQ(read.status, ReadStatus::Ok);
    const TIGSc& ics = read.menu.IGSc;
    EXPECT_EQ(ics.video_width, 1920);
    EXPECT_EQ(ics.video_height, 1080);
    EXPECT_EQ(ics.frame_rate_id, 1);
    EXPECT_EQ(ics.composition_state, 2);
    EXPECT_EQ(ics.stream_ui_model, 3);
    EXPECT_EQ(ics.interactive_composition_length, 0x0E6Bu);
    EXPECT_EQ(ics.number_of_pages, 2);
    EXPECT_EQ(read.menu.PageButtons.size(), 2u);
}

} // namespace
} // namespace corvane
