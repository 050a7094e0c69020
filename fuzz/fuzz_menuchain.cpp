// libFuzzer target of the whole way from a clip to a running menu, as "-> Menu" takes it:
// any bytes, taken as the source packets of a clip, give up their IG stream as a .mnu image,
// which is read, drawn page by page, started and navigated without a crash. Bytes after the
// last whole packet choose the PID (0x1400 + the first of them) and then the keys.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzLimits.h"
#include "menu/IGReader.h"
#include "menu/MenuSimulator.h"
#include "navigation/Interpreter.h"
#include "stream/Demux.h"
#include "stream/TransportStream.h"

namespace {

// Every command counts; a run that goes on too long is stopped as Cancel would stop it.
class BoundedHost : public corvane::InterpreterHost {
public:
    corvane::ActivePage activePage() const override { return corvane::ActivePage::Menu; }
    bool cancelRequested() const override { return steps > 20000; }
    void pumpEvents() override { ++steps; }
    int steps = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t packets = size / corvane::SourcePacketSize;
    const std::size_t tail = packets * corvane::SourcePacketSize;
    corvane::Reporter reporter;
    const auto pid = static_cast<std::uint16_t>(0x1400 + (tail < size ? data[tail] : 0));
    corvane::Demuxer demuxer(pid, corvane::DemuxMode::MNU, reporter, 0);
    demuxer.processPackets(std::span(data, tail));
    std::vector<std::uint8_t> mnu = std::move(demuxer.pending());

    corvane::MnuReadResult read = corvane::loadMNU(std::move(mnu));
    if (read.status != corvane::ReadStatus::Ok) return 0;
    corvane::TMenu& menu = read.menu;
    if (corvane::fuzz::claimedPixels(menu) > (1u << 22) || menu.IGSc.pages.size() > 8)
        return 0; // keep runs short

    corvane::Options options;
    options.PreLoad = false;
    options.ShowInEffects = false;
    options.ShowOutEffects = false;
    corvane::Interpreter interpreter;
    BoundedHost outer;
    corvane::MenuSimulator sim(menu, interpreter, options, &outer);
    std::int64_t clock = 0;
    sim.renderer().hooks.nowMs = [&clock] { return clock; };
    sim.renderer().hooks.wait = [&clock](int ms) { clock += ms; };
    corvane::RgbaImage plain(corvane::PageWidth, corvane::PageHeight);
    sim.renderer().setBackground(plain);

    for (std::size_t page = 0; page < menu.IGSc.pages.size(); ++page) sim.choosePage(page);
    sim.choosePage(0);
    sim.start();
    // Keys: 0-3 moves, 4 activates, 5 a time-out, 6 an animation tick.
    for (std::size_t i = tail + 1; i < size && i < tail + 33 && outer.steps <= 20000; ++i) {
        switch (data[i] % 7) {
        case 0:
            sim.move(corvane::NavDirection::Up);
            break;
        case 1:
            sim.move(corvane::NavDirection::Down);
            break;
        case 2:
            sim.move(corvane::NavDirection::Left);
            break;
        case 3:
            sim.move(corvane::NavDirection::Right);
            break;
        case 4:
            sim.activate();
            break;
        case 5:
            sim.userTimeOut();
            break;
        default:
            sim.animationTick();
            break;
        }
    }
    return 0;
}
