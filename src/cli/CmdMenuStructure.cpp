// menu insert, menu delete and menu format: the structure of an IG menu (pages, BOGs,
// buttons, effects, effect windows, composition objects) and its video format.

#include <array>
#include <iostream>
#include <memory>
#include <string_view>

#include "cli/CliCommon.h"
#include "cli/MenuFile.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "menu/IGWriter.h"
#include "menu/MenuStructure.h"

namespace corvane::cli {

namespace {

constexpr std::array<std::string_view, 6> Items{"page", "bog", "button", "effect", "window", "object"};

// Where an item sits: its page, BOG, effect sequence and effect, and its place in its list.
struct Place {
    std::size_t page = 0;
    std::size_t bog = 0;
    std::size_t effect = 0;
    bool out = false;
    std::optional<std::size_t> at;
};

struct Arguments {
    std::string mnu;
    std::string item;
    std::string output;
    Place place;
    bool quiet = false;
};

void addPlaceOptions(CLI::App* cmd, Arguments& args, const char* atText) {
    cmd->add_option("MNU", args.mnu, "The .mnu menu")->required();
    cmd->add_option("ITEM", args.item, "page, bog, button, effect, window or object")
        ->required()
        ->check(CLI::IsMember(std::vector<std::string>(Items.begin(), Items.end())));
    cmd->add_option("--page", args.place.page, "The page (index) of a BOG, button, effect, window or object");
    cmd->add_option("--bog", args.place.bog, "The BOG (index) of a button");
    cmd->add_option("--effect", args.place.effect, "The effect (index) of an object");
    cmd->add_flag("--out", args.place.out,
                  "Effects, windows and objects of the out effects (else the in effects)");
    cmd->add_option("--at", args.place.at, atText);
    cmd->add_option("-o,--output", args.output, "The .mnu file to write")->required();
    cmd->add_flag("--quiet", args.quiet, "No log lines on stderr");
}

// The length of the list the item goes into; nothing when its page, BOG or effect is missing.
std::optional<std::size_t> listLength(const TMenu& menu, const std::string& item, const Place& p) {
    const auto& pages = menu.IGSc.pages;
    if (item == "page") return pages.size();
    if (p.page >= pages.size()) return std::nullopt;
    const TPage& page = pages[p.page];
    const Teffectseq& seq = page.effect_sequences[p.out ? 1 : 0];
    if (item == "bog") return page.BOGs.size();
    if (item == "button")
        return p.bog < page.BOGs.size() ? std::optional(page.BOGs[p.bog].buttons.size()) : std::nullopt;
    if (item == "effect") return seq.effects.size();
    if (item == "window") return seq.windows.size();
    return p.effect < seq.effects.size() ? std::optional(seq.effects[p.effect].composition_objects.size())
                                         : std::nullopt;
}

bool insertItem(TMenu& menu, const std::string& item, const Place& p, std::size_t at) {
    const int sequence = p.out ? 1 : 0;
    if (item == "page") return insertPage(menu, at);
    if (item == "bog") return insertBog(menu, p.page, at);
    if (item == "button") return insertButton(menu, p.page, p.bog, at);
    if (item == "effect") return insertEffect(menu, p.page, sequence, at);
    if (item == "window") return insertEffectWindow(menu, p.page, sequence, at);
    return insertCompObject(menu, p.page, sequence, p.effect, at);
}

StructureEdit deleteItem(TMenu& menu, const std::string& item, const Place& p, std::size_t at) {
    const int sequence = p.out ? 1 : 0;
    if (item == "page") return deletePage(menu, at);
    if (item == "bog") return deleteBog(menu, p.page, at);
    if (item == "button") return deleteButton(menu, p.page, p.bog, at);
    if (item == "window") return deleteEffectWindow(menu, p.page, sequence, at);
    StructureEdit edit;
    edit.changed = item == "effect" ? deleteEffect(menu, p.page, sequence, at)
                                    : deleteCompObject(menu, p.page, sequence, p.effect, at);
    return edit;
}

bool save(const TMenu& menu, const Arguments& args, int& result) {
    const IGSaveResult saved = saveIGS(menu, IGSaveMode::Mnu);
    if (!saved.ok) {
        printError(args.output, saved.error);
        result = Rejected;
        return false;
    }
    const auto written = writeWholeFile(args.output, saved.bytes);
    if (!written.ok) {
        std::cerr << "error: " << written.error << '\n';
        result = Rejected;
    }
    return written.ok;
}

std::optional<TMenu> open(const Arguments& args, int& result) {
    if (sameFile(args.mnu, args.output)) {
        printError(args.output, "the output file may not be the input file");
        result = Usage;
        return std::nullopt;
    }
    return loadMenu(args.mnu, args.quiet, result);
}

void addInsert(CLI::App& menu, int& result) {
    auto args = std::make_shared<Arguments>();
    auto* cmd = menu.add_subcommand("insert", "Insert a page, BOG, button, effect, effect window or object");
    addPlaceOptions(cmd, *args, "Its place in its list (default: the end)");
    cmd->callback([&result, args] {
        auto menu = open(*args, result);
        if (!menu) return;
        const auto length = listLength(*menu, args->item, args->place);
        const std::size_t at = args->place.at.value_or(length.value_or(0));
        if (!length || at > *length || !insertItem(*menu, args->item, args->place, at)) {
            printError(args->mnu, "no " + args->item + " can be inserted there");
            result = Rejected;
            return;
        }
        save(*menu, *args, result);
    });
}

void addDelete(CLI::App& menu, int& result) {
    auto args = std::make_shared<Arguments>();
    auto* cmd = menu.add_subcommand(
        "delete", "Delete a page, BOG, button, effect, effect window or object; references to it are listed");
    addPlaceOptions(cmd, *args, "Its place in its list");
    cmd->get_option("--at")->required();
    cmd->callback([&result, args] {
        auto menu = open(*args, result);
        if (!menu) return;
        const StructureEdit edit = deleteItem(*menu, args->item, args->place, *args->place.at);
        if (!edit.changed) {
            printError(args->mnu, "there is no such " + args->item + " to delete");
            result = Rejected;
            return;
        }
        if (!save(*menu, *args, result)) return;
        for (const MenuReference& reference : edit.references)
            std::cerr << "warning: " << menuReferenceText(reference) << '\n';
    });
}

void addFormat(CLI::App& menu, int& result) {
    auto args = std::make_shared<Arguments>();
    auto video = std::make_shared<std::string>();
    auto rate = std::make_shared<std::string>();
    auto* cmd = menu.add_subcommand("format", "Set the video size and frame rate of a menu");
    cmd->add_option("MNU", args->mnu, "The .mnu menu")->required();
    cmd->add_option("--video", *video, "1920x1080, 1280x720, 720x576 or 720x480");
    cmd->add_option("--frame-rate", *rate, "23.97, 24, 25, 29.97, 50 or 59.94");
    cmd->add_option("-o,--output", args->output, "The .mnu file to write")->required();
    cmd->add_flag("--quiet", args->quiet, "No log lines on stderr");
    cmd->callback([&result, args, video, rate] {
        auto find = [](const auto& names, const std::string& text) {
            for (std::size_t i = 0; i < names.size(); ++i)
                if (text == names[i] && text != "-") return static_cast<int>(i);
            return -1;
        };
        const int videoItem = video->empty() ? -1 : find(VideoFormatNames, *video);
        const int rateItem = rate->empty() ? -1 : find(FrameRateNames, *rate);
        if ((!video->empty() && videoItem < 0) || (!rate->empty() && rateItem < 0)) {
            std::cerr << "error: unknown "
                      << (videoItem < 0 && !video->empty() ? "video format: " + *video
                                                           : "frame rate: " + *rate)
                      << '\n';
            result = Usage;
            return;
        }
        auto menu = open(*args, result);
        if (!menu) return;
        if (videoItem >= 0) setMenuVideoFormat(*menu, videoItem);
        if (rateItem >= 0) setMenuFrameRate(*menu, rateItem);
        save(*menu, *args, result);
    });
}

} // namespace

void addMenuStructure(CLI::App& menu, int& result) {
    addInsert(menu, result);
    addDelete(menu, result);
    addFormat(menu, result);
}

} // namespace corvane::cli
