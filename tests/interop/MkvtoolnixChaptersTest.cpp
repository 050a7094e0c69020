// Chapter files read by mkvmerge: the OGM and Matroska XML files of a real playlist's marks
// go into a Matroska file, come out again with mkvextract and read back to the same marks.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "io/FileIO.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string Data = CORVANE_TEST_DATA;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MkvtoolnixChapters : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("corvane-mkvtoolnix-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(Data + "/stream/ffmpeg-mpeg2-ac3.ac3", m_dir / "in.ac3");
        std::string error;
        const auto bytes = readWholeFile(Data + "/playlist/bdpl-disc1-00002-subpath-17marks.mpls", error);
        ASSERT_TRUE(bytes) << error;
        PlsReadResult read = readPlayList(*bytes, "00002.mpls");
        ASSERT_EQ(read.status, ReadStatus::Ok);
        m_mpls = read.mpls;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs a tool in the test's folder; its output goes to `out`.
    void run(const std::string& arguments, const std::string& out) {
        const std::string command = "cd '" + m_dir.string() + "' && " + arguments + " >'" + out + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readText(m_dir / out);
    }

    // The chapters file in a Matroska file and back out: the extracted text in `format`.
    std::string throughMatroska(const std::string& chapters, const std::string& file, bool simple) {
        { std::ofstream(m_dir / file, std::ios::binary) << chapters; }
        run(std::string(CORVANE_MKVMERGE) + " -o out.mkv --chapters " + file + " in.ac3", "merge.log");
        run(std::string(CORVANE_MKVMERGE) + " -J out.mkv", "out.json");
        EXPECT_NE(readText(m_dir / "out.json").find("\"num_entries\": 17"), std::string::npos)
            << readText(m_dir / "out.json");
        run(std::string(CORVANE_MKVEXTRACT) + " out.mkv chapters " + (simple ? "--simple " : "") + "-",
            "back");
        return readText(m_dir / "back");
    }

    void expectMarks(const std::string& text, ChapterFormat format, const TMPLS& want) {
        TMPLS mpls = m_mpls;
        const ChapterImport result = importChapters(mpls, text, format);
        ASSERT_TRUE(result.changed) << result.error << "\n" << text;
        EXPECT_TRUE(result.refused.empty());
        EXPECT_EQ(result.names.back(), "Chapter 17");
        ASSERT_EQ(mpls.PlayListMark.marks.size(), want.PlayListMark.marks.size());
        for (std::size_t i = 0; i < want.PlayListMark.marks.size(); ++i) {
            EXPECT_EQ(mpls.PlayListMark.marks[i].ref_to_PlayItem_id,
                      want.PlayListMark.marks[i].ref_to_PlayItem_id)
                << i;
            EXPECT_EQ(mpls.PlayListMark.marks[i].mark_time_stamp, want.PlayListMark.marks[i].mark_time_stamp)
                << i;
        }
    }

    fs::path m_dir;
    TMPLS m_mpls;
};

TEST_F(MkvtoolnixChapters, XmlComesBackToTheTick) {
    const std::string xml = chapterText(m_mpls, ChapterFormat::XML).text;
    expectMarks(throughMatroska(xml, "chapters.xml", false), ChapterFormat::XML, m_mpls);
}

TEST_F(MkvtoolnixChapters, OgmComesBackToTheMillisecond) {
    const std::string ogm = chapterText(m_mpls, ChapterFormat::OGM).text;
    TMPLS want = m_mpls;
    ASSERT_TRUE(importChapters(want, ogm, ChapterFormat::OGM).changed);
    expectMarks(throughMatroska(ogm, "chapters.txt", true), ChapterFormat::OGM, want);
    // The same chapters as mkvextract's XML: whole milliseconds, the PlayItem starts among them.
    expectMarks(throughMatroska(ogm, "chapters.txt", false), ChapterFormat::XML, want);
}

} // namespace
} // namespace corvane
