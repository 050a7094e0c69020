// IG menus: opening a .mnu of more than 50 MB (pixels stay undecoded until shown), and the
// run-length decoder and encoder on a full-HD object (megapixels per second).
#include "graphics/ObjectPicture.h"
#include "graphics/RleCodec.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuSimulator.h"
#include "menu/PageRender.h"
#include "stream/Mux.h"

#include <sys/resource.h>

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

constexpr int Width = 1920;
constexpr int Height = 1080;

// A full-HD picture with text-like detail: short runs of many indexes over long runs of 0.
IndexPicture detailedPicture(int seed) {
    IndexPicture picture(Width, Height);
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width;) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int run = 1 + static_cast<int>(state % 12);
            const auto index = static_cast<std::uint8_t>((state >> 8) % 3 == 0 ? 0 : (state >> 16) & 0xFF);
            for (int i = 0; i < run && x < Width; ++i, ++x)
                picture.pixels[static_cast<std::size_t>(y) * Width + x] = index;
        }
    return picture;
}

// A created menu with full-HD objects until their run-length data passes 50 MB, saved as a .mnu.
const std::vector<std::uint8_t>& largeMenu() {
    static const std::vector<std::uint8_t> bytes = [] {
        TMenu menu = createMenu();
        menu.IGPalettes.resize(1);
        std::size_t total = 0;
        for (std::uint16_t id = 0; total < 50u * 1024 * 1024; ++id) {
            const IndexPicture picture = detailedPicture(id);
            TIGobject object;
            object.object_id = id;
            object.object_width = Width;
            object.object_height = Height;
            object.rle_data_length = Width * Height;
            object.index_picture = std::make_shared<const IndexPicture>(picture);
            menu.IGObjects.push_back(object);
            total += rle_encode(picture).size();
        }
        return saveIGS(menu, IGSaveMode::Mnu).bytes;
    }();
    return bytes;
}

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Opening as the Load button does: the file read whole, then its segments and pages.
void OpenLargeMenu(benchmark::State& state) {
    const auto& bytes = largeMenu();
    const std::string path = tempFolder() + "corvane_bench_menu.mnu";
    writeWholeFile(path, bytes);
    std::size_t decoded = 0;
    for (auto _ : state) {
        std::string error;
        auto file = readWholeFile(path, error);
        if (!file) {
            state.SkipWithError(error.c_str());
            break;
        }
        MnuReadResult result = loadMNU(std::move(*file));
        for (const auto& object : result.menu.IGObjects) decoded += object.index_picture != nullptr;
        benchmark::DoNotOptimize(result.menu.IGObjects.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    state.counters["decoded_objects"] = static_cast<double>(decoded);
    state.counters["peak_MiB"] = static_cast<double>(peakMemoryKiB()) / 1024.0;
    removeFile(path);
}
BENCHMARK(OpenLargeMenu)->Unit(benchmark::kMillisecond);

// The large menu's PES packets into a transport stream (the packetising step of Mux).
void MuxLargeMenu(benchmark::State& state) {
    const MnuReadResult read = loadMNU(largeMenu());
    const std::vector<std::uint8_t> pes = saveIGS(read.menu, IGSaveMode::Pes).bytes;
    std::size_t written = 0;
    for (auto _ : state) {
        MuxOutput output = muxPes(pes);
        written = output.bytes.size();
        benchmark::DoNotOptimize(output);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pes.size()));
    state.counters["pes_MB"] = static_cast<double>(pes.size()) / (1024.0 * 1024.0);
    state.counters["m2ts_MB"] = static_cast<double>(written) / (1024.0 * 1024.0);
}
BENCHMARK(MuxLargeMenu)->Unit(benchmark::kMillisecond);

void RleDecodeFullHd(benchmark::State& state) {
    const std::vector<std::uint8_t> code = rle_encode(detailedPicture(1));
    for (auto _ : state) {
        IndexPicture picture = rle_decode(code, Width, Height);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * Width * Height);
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * Width * Height / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(RleDecodeFullHd)->Unit(benchmark::kMillisecond);

void RleEncodeFullHd(benchmark::State& state) {
    const IndexPicture picture = detailedPicture(2);
    for (auto _ : state) {
        std::vector<std::uint8_t> code = rle_encode(picture);
        benchmark::DoNotOptimize(code.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * Width * Height / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(RleEncodeFullHd)->Unit(benchmark::kMillisecond);

// The first display of an object of the large menu: decode and colour once.
void FirstObjectPicture(benchmark::State& state) {
    const MnuReadResult read = loadMNU(largeMenu());
    for (auto _ : state) {
        TMenu menu = read.menu;
        benchmark::DoNotOptimize(Obj2Pic(menu, 0, 0));
    }
}
BENCHMARK(FirstObjectPicture)->Unit(benchmark::kMillisecond);

// A page of 30 buttons (6 x 5, one BOG each) of 200 x 100 objects; the normal states
// animate over objects 0-3 with repeat, the selected states over 4-7.
TMenu thirtyButtonMenu() {
    TMenu menu;
    menu.IGSc.frame_rate_id = 2;
    TPage page;
    page.animation_frame_rate_code = 2;
    page.default_selected_button_id_ref = 0;
    for (std::uint16_t id = 0; id < 30; ++id) {
        TIGbutton b;
        b.button_id = id;
        b.button_horizontal_position = static_cast<std::uint16_t>(100 + (id % 6) * 280);
        b.button_vertical_position = static_cast<std::uint16_t>(100 + (id / 6) * 180);
        b.upper_button_id_ref = b.lower_button_id_ref = b.left_button_id_ref = b.right_button_id_ref = id;
        b.normal_start_object_id_ref = 0;
        b.normal_end_object_id_ref = 3;
        b.normal_repeat_flag = 1;
        b.selected_start_object_id_ref = 4;
        b.selected_end_object_id_ref = 7;
        b.selected_repeat_flag = 1;
        b.activated_start_object_id_ref = b.activated_end_object_id_ref = 7;
        b.selected_state_sound_id_ref = b.activated_state_sound_id_ref = 0xFF;
        b.navigation_commands = {{0x21810000u, id, 0}};
        b.number_of_navigation_commands = 1;
        TBOG bog;
        bog.default_valid_button_id_ref = id;
        bog.buttons = {b};
        bog.number_of_buttons = 1;
        page.BOGs.push_back(bog);
    }
    page.number_of_BOGs = static_cast<std::uint8_t>(page.BOGs.size());
    menu.IGSc.pages = {page};
    menu.IGSc.number_of_pages = 1;
    menu.PageButtons = {buildPageButtons(page)};
    menu.IGPalettes.resize(1);
    for (int n = 1; n < 256; ++n)
        menu.IGPalettes[0].entries[static_cast<std::size_t>(n)] = {
            static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n), 7,
            static_cast<std::uint8_t>(n < 128 ? 255 : n)};
    for (std::uint16_t id = 0; id < 8; ++id) {
        IndexPicture picture(200, 100);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                picture.pixels[static_cast<std::size_t>(y) * 200 + x] =
                    static_cast<std::uint8_t>((x + y + id * 31) % 256);
        TIGobject object;
        object.object_id = id;
        object.object_width = 200;
        object.object_height = 100;
        object.rle_data_length = 200 * 100;
        object.index_picture = std::make_shared<const IndexPicture>(picture);
        menu.IGObjects.push_back(object);
    }
    menu.ButtonStates = buildButtonStates(menu, 0);
    return menu;
}

// Composing the page: the built-in background copied whole, 30 buttons blended, one selected.
void DrawPageThirtyButtons(benchmark::State& state) {
    TMenu menu = thirtyButtonMenu();
    RegisterFile regs;
    regs.PSR[PSR_SELECTED_BUTTON] = 0;
    Options options;
    PageRenderer renderer(menu, regs, options);
    renderer.backchange();
    renderer.DrawPage(); // object pictures made once, as the preload does
    for (auto _ : state) {
        renderer.DrawPage();
        benchmark::DoNotOptimize(renderer.page().pixels.data());
    }
}
BENCHMARK(DrawPageThirtyButtons)->Unit(benchmark::kMillisecond);

// One tick of the animation timer on that page: 29 normal frames and one selected frame.
void AnimationTickThirtyButtons(benchmark::State& state) {
    TMenu menu = thirtyButtonMenu();
    Interpreter interpreter;
    Options options;
    MenuSimulator simulator(menu, interpreter, options);
    simulator.renderer().backchange();
    simulator.choosePage(0);
    simulator.start();
    for (auto _ : state) benchmark::DoNotOptimize(simulator.animationTick());
}
BENCHMARK(AnimationTickThirtyButtons)->Unit(benchmark::kMicrosecond);

} // namespace
