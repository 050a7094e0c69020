// Makes the clip, playlist, menu and sound files of the bundled sample disc from the
// streams tools/sample/make_sample_streams.sh encodes with ffmpeg. index.bdmv and
// MovieObject.bdmv come from tools/make_sample_disc.py, laid out independently.
//
//   corvane_make_sample captions OUT.sup FIRST_PTS   the feature's English subtitles
//   corvane_make_sample disc STREAMS BDMV            the disc's files
//
// STREAMS holds 00001.m2ts .. 00004.m2ts; BDMV is the disc's BDMV folder.

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/PgSubtitle.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/MenuStructure.h"
#include "playlist/PlayListWriter.h"
#include "shell/Reporter.h"
#include "sound/SoundFile.h"
#include "stream/ClipFromStream.h"
#include "stream/ClipInfoWriter.h"
#include "stream/MenuClip.h"
#include "stream/Mux.h"

namespace fs = std::filesystem;
using namespace corvane;

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "make_sample_disc: %s\n", what.c_str());
    std::exit(1);
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    if (!writeWholeFile(path.string(), bytes).ok) fail("cannot write " + path.string());
}

// The few colours of the artwork, drawn without anti-aliasing so that one palette holds them.
const QColor Back(20, 28, 48), Face(40, 70, 130), FaceSelected(230, 170, 40), FaceActivated(250, 240, 200),
    Text(240, 240, 240), TextSelected(20, 20, 20), Border(200, 210, 230);

QImage label(const QString& text, const QColor& face, const QColor& ink, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(QPen(Border, 4));
    painter.setBrush(face);
    painter.drawRect(2, 2, width - 5, height - 5);
    QFont font("DejaVu Sans", 28, QFont::Bold);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

std::vector<std::uint8_t> png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

std::uint16_t import(TMenu& menu, const QImage& image, std::optional<std::uint16_t> palette) {
    std::string error;
    PngImportOptions options;
    options.intoPalette = palette;
    options.quantise = false;
    const auto id = importObjectPng(menu, png(image), error, options);
    if (!id) fail("object: " + error);
    return *id;
}

// A 48 kHz 16-bit WAV of a short tone that fades out.
std::vector<std::uint8_t> toneWav(double frequency, double seconds, int channels) {
    const int frames = static_cast<int>(48000 * seconds);
    std::vector<std::uint8_t> data;
    for (int i = 0; i < frames; ++i) {
        const double fade = 1.0 - static_cast<double>(i) / frames;
        const auto sample =
            static_cast<std::int16_t>(9000 * fade * std::sin(2 * M_PI * frequency * i / 48000));
        for (int c = 0; c < channels; ++c) {
            data.push_back(static_cast<std::uint8_t>(sample & 0xFF));
            data.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
        }
    }
    auto le = [](std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
        for (int b = 0; b < bytes; ++b) out.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
    };
    std::vector<std::uint8_t> wav{'R', 'I', 'F', 'F'};
    le(wav, static_cast<std::uint32_t>(36 + data.size()), 4);
    for (char c : std::string("WAVEfmt ")) wav.push_back(static_cast<std::uint8_t>(c));
    le(wav, 16, 4);
    le(wav, 1, 2);
    le(wav, static_cast<std::uint32_t>(channels), 2);
    le(wav, 48000, 4);
    le(wav, static_cast<std::uint32_t>(48000 * 2 * channels), 4);
    le(wav, static_cast<std::uint32_t>(2 * channels), 2);
    le(wav, 16, 2);
    for (char c : std::string("data")) wav.push_back(static_cast<std::uint8_t>(c));
    le(wav, static_cast<std::uint32_t>(data.size()), 4);
    wav.insert(wav.end(), data.begin(), data.end());
    return wav;
}

TNavCommand command(std::uint32_t opcode, std::uint32_t destination, std::uint32_t source = 0) {
    return {opcode, destination, source};
}

constexpr std::uint32_t JumpTitle = 0x21810000;
constexpr std::uint32_t SetButtonPage = 0x51C00003; // button (flag bit 31), page (flag bit 31)
constexpr std::uint32_t MoveImmediate = 0x50400001; // Move GPRd, value
constexpr std::uint32_t Flag = 0x80000000;

struct ButtonPlan {
    QString text;
    int x, y;
    std::vector<TNavCommand> commands;
};

TMenu sampleMenu() {
    TMenu menu = createMenu();
    menu.IGSc.stream_ui_model = 2; // always-on: a top menu shows without a pop-up key
    menu.IGSc.user_time_out_duration = 0;
    // One palette for everything: the banner carries every colour the buttons use.
    QImage banner(960, 120, QImage::Format_ARGB32);
    banner.fill(Back);
    {
        QPainter painter(&banner);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        const QColor colours[] = {Face, FaceSelected, FaceActivated, Text, TextSelected, Border};
        for (int i = 0; i < 6; ++i) painter.fillRect(20 + i * 156, 104, 140, 8, colours[i]);
        QFont font("DejaVu Sans", 40, QFont::Bold);
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(Text);
        painter.drawText(QRect(0, 0, 960, 100), Qt::AlignCenter, "Corvane sample disc");
    }
    const std::uint16_t bannerId = import(menu, banner, std::nullopt);
    const auto palette = static_cast<std::uint16_t>(menu.IGPalettes.size() - 1); // the banner's

    const std::vector<std::vector<ButtonPlan>> pages{
        {{"Play feature", 660, 400, {command(MoveImmediate, 0, 0), command(JumpTitle, 1)}},
         {"Chapter 2", 660, 520, {command(MoveImmediate, 0, 2), command(JumpTitle, 1)}},
         {"French audio", 660, 640, {command(JumpTitle, 3)}},
         {"More >", 660, 760, {command(SetButtonPage, 0, Flag | 1)}}},
        {{"Angles", 660, 400, {command(JumpTitle, 2)}},
         {"BD-J title", 660, 520, {command(JumpTitle, 4)}},
         {"< Back", 660, 640, {command(SetButtonPage, 0, Flag | 0)}}},
    };
    insertPage(menu, 1);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        TPage& page = menu.IGSc.pages[p];
        page.page_id = static_cast<std::uint8_t>(p);
        page.palette_id_ref = static_cast<std::uint8_t>(palette);
        page.BOGs.clear();
        const auto& plans = pages[p];
        for (std::size_t b = 0; b < plans.size(); ++b) {
            const ButtonPlan& plan = plans[b];
            TIGbutton button = defaultButton();
            button.button_id = static_cast<std::uint16_t>(b);
            button.button_numeric_select_value = static_cast<std::uint16_t>(b + 1);
            button.button_horizontal_position = static_cast<std::uint16_t>(plan.x);
            button.button_vertical_position = static_cast<std::uint16_t>(plan.y);
            const auto last = static_cast<std::uint16_t>(plans.size() - 1);
            button.upper_button_id_ref = static_cast<std::uint16_t>(b == 0 ? last : b - 1);
            button.lower_button_id_ref = static_cast<std::uint16_t>(b == last ? 0 : b + 1);
            button.left_button_id_ref = button.right_button_id_ref = button.button_id;
            const std::uint16_t normal = import(menu, label(plan.text, Face, Text, 600, 90), palette);
            const std::uint16_t selected =
                import(menu, label(plan.text, FaceSelected, TextSelected, 600, 90), palette);
            const std::uint16_t activated =
                import(menu, label(plan.text, FaceActivated, TextSelected, 600, 90), palette);
            button.normal_start_object_id_ref = button.normal_end_object_id_ref = normal;
            button.selected_start_object_id_ref = button.selected_end_object_id_ref = selected;
            button.activated_start_object_id_ref = button.activated_end_object_id_ref = activated;
            button.selected_state_sound_id_ref = 0;
            button.activated_state_sound_id_ref = 1;
            button.navigation_commands = plan.commands;
            button.number_of_navigation_commands = static_cast<std::uint16_t>(plan.commands.size());
            TBOG bog;
            bog.default_valid_button_id_ref = button.button_id;
            bog.buttons.push_back(button);
            bog.number_of_buttons = 1;
            page.BOGs.push_back(bog);
        }
        page.number_of_BOGs = static_cast<std::uint8_t>(page.BOGs.size());
        page.default_selected_button_id_ref = 0;
        page.default_activated_button_id_ref = NoButton;
    }
    menu.IGSc.number_of_pages = static_cast<std::uint8_t>(menu.IGSc.pages.size());

    // The in-effect of the first page: the banner slides down into place in three steps.
    if (!insertEffectWindow(menu, 0, 0, 0)) fail("effect window");
    TEffWindow& window = menu.IGSc.pages[0].effect_sequences[0].windows[0];
    window.window_horizontal_position = 480;
    window.window_vertical_position = 100;
    window.window_width = 960;
    window.window_height = 240;
    for (std::size_t step = 0; step < 3; ++step) {
        if (!insertEffect(menu, 0, 0, step) || !insertCompObject(menu, 0, 0, step, 0)) fail("effect");
        Teffect& effect = menu.IGSc.pages[0].effect_sequences[0].effects[step];
        effect.effect_duration = 90000 / 4;
        TCompObject& object = effect.composition_objects[0];
        object.object_id_ref = bannerId;
        object.composition_object_horizontal_position = 480;
        object.composition_object_vertical_position = static_cast<std::uint16_t>(100 + 60 * step);
    }
    for (TPage& page : menu.IGSc.pages) menu.PageButtons.push_back(buildPageButtons(page));
    menu.PageButtons.resize(menu.IGSc.pages.size());
    return menu;
}

// A line of white text with a black edge: index 1 text, 2 edge, 0 transparent.
IndexPicture captionPicture(const QString& text) {
    QImage image(1000, 80, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font("DejaVu Sans", 36, QFont::Bold);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int dx = -3; dx <= 3; dx += 3)
        for (int dy = -3; dy <= 3; dy += 3)
            painter.drawText(image.rect().translated(dx, dy), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    painter.end();
    IndexPicture picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            picture.pixels[static_cast<std::size_t>(y * image.width() + x)] =
                qAlpha(pixel) < 128 ? 0 : (qRed(pixel) > 128 ? 1 : 2);
        }
    return picture;
}

int captions(const fs::path& out, std::uint32_t firstPts) {
    RgbaPalette palette{};
    palette[1] = {240, 240, 240, 255};
    palette[2] = {16, 16, 16, 255};
    const std::vector<std::pair<double, QString>> lines{{0.5, "A caption on the test pattern"},
                                                        {2.2, "Chapter 2 begins here"}};
    std::vector<PgCaption> list;
    for (const auto& [at, text] : lines) {
        PgCaption caption;
        caption.start = firstPts + static_cast<std::uint32_t>(at * 90000);
        caption.end = caption.start + 90000 + 45000;
        caption.picture = captionPicture(text);
        caption.x = (1920 - caption.picture.width) / 2;
        caption.y = 1080 - 160;
        list.push_back(std::move(caption));
    }
    writeFile(out, writeSupCaptions(list, palette, 1920, 1080, 1));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "captions" && argc == 4)
        return captions(argv[2], static_cast<std::uint32_t>(std::stoul(argv[3])));
    if (mode != "disc" || argc != 4)
        fail("usage: corvane_make_sample captions OUT.sup FIRST_PTS | disc STREAMS BDMV");
    const fs::path streams = argv[2], bdmv = argv[3];
    for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "AUXDATA", "BDJO", "BACKUP"})
        fs::create_directories(bdmv / folder);

    // The movie clips, with clip information made from their streams.
    std::vector<TCLPI> clips;
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "0000" + std::to_string(n);
        const fs::path m2ts = bdmv / "STREAM" / (name + ".m2ts");
        fs::copy_file(streams / (name + ".m2ts"), m2ts, fs::copy_options::overwrite_existing);
        std::string error;
        auto clip = clipInfoFromStream(m2ts.string(), error);
        if (!clip) fail(name + ": " + error);
        // ffmpeg writes no language descriptor for the subtitles; they are English.
        for (auto& sequence : clip->ProgramInfo.program_sequences)
            for (auto& stream : sequence.streams)
                if (stream.stream_coding_type == 0x90 &&
                    (stream.language_code.empty() || stream.language_code == "und"))
                    stream.language_code = "eng";
        writeFile(bdmv / "CLIPINF" / (name + ".clpi"), writeClipInfo(*clip));
        clips.push_back(*clip);
    }

    // 00001: the feature, two clips joined, chapters every two seconds; 00002: two angles.
    constexpr std::uint32_t Second = 45000;
    const TMPLS feature = moviePlayList({{"00001", &clips[0], {}, 0, 0}, {"00002", &clips[1], {}, 0, 0}},
                                        {2 * Second, 6 * Second});
    writeFile(bdmv / "PLAYLIST" / "00001.mpls", writePlayList(feature));
    const TMPLS angles = moviePlayList({{"00003", &clips[2], {"00004"}, 0, 0}});
    writeFile(bdmv / "PLAYLIST" / "00002.mpls", writePlayList(angles));

    // 00000: the menu, muxed with its clip information and playlist.
    Reporter reporter;
    MuxFiles files;
    files.m2ts = (bdmv / "STREAM" / "00000.m2ts").string();
    files.clpi = (bdmv / "CLIPINF" / "00000.clpi").string();
    files.mpls = (bdmv / "PLAYLIST" / "00000.mpls").string();
    files.clipName = "00000";
    const TMenu menu = sampleMenu();
    if (!Mux(reporter, menu, files)) fail("mux");

    // sound.bdmv: the select and activate sounds of the buttons.
    TSND sound = createSound();
    std::optional<std::size_t> after;
    for (const auto& wav : {toneWav(880, 0.12, 2), toneWav(660, 0.25, 1)}) {
        WavImport imported = importWav(wav);
        if (!imported.entry) fail("sound: " + imported.error);
        after = insertSound(sound, after, *imported.entry);
    }
    layOutSound(sound);
    writeFile(bdmv / "AUXDATA" / "sound.bdmv", writeSound(sound));
    return 0;
}
