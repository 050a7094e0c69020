// menu render: one page of a menu as the page view shows it once the menu is started.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/MenuFile.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGReader.h"
#include "menu/PageRender.h"
#include "shell/Markup.h"

namespace corvane::cli {

namespace {

struct RenderArgs {
    std::string mnu;
    std::string page = "0";
    std::string select;
    bool buttonIds = false;
    bool objectIds = false;
    bool buttonFrames = false;
    std::string background;
    std::string backgroundColour;
    std::string out;
    bool quiet = false;
};

void render(const RenderArgs& args, int& result) {
    const auto page = numberOption("--page", args.page, result);
    if (!page) return;
    std::optional<std::uint64_t> select;
    if (!args.select.empty() && !(select = parseHexId(args.select))) {
        std::cerr << "error: --select: not a hexadecimal id: " << args.select << '\n';
        result = Usage;
        return;
    }
    Options options;
    if (!args.backgroundColour.empty()) {
        const auto colour =
            args.backgroundColour.size() == 6 ? parseHexId(args.backgroundColour) : std::nullopt;
        if (!colour) {
            std::cerr << "error: --background-color: not RRGGBB: " << args.backgroundColour << '\n';
            result = Usage;
            return;
        }
        options.colBackground = rgbToColour(static_cast<std::uint32_t>(*colour));
    }
    if (sameFile(args.mnu, args.out) || (!args.background.empty() && sameFile(args.background, args.out))) {
        printError(args.out, "the output file may not be an input file");
        result = Usage;
        return;
    }

    auto loaded = loadMenu(args.mnu, args.quiet, result);
    if (!loaded) return;
    TMenu& menu = *loaded;
    if (*page >= menu.IGSc.pages.size()) {
        printError(args.mnu, "there is no page " + std::to_string(*page));
        result = Rejected;
        return;
    }
    menu.ButtonStates = buildButtonStates(menu, *page);
    RegisterFile regs;
    ResetRegs(regs, options);
    regs.PSR[PSR_PAGE] = static_cast<std::uint32_t>(*page);
    regs.PSR[PSR_SELECTED_BUTTON] = NoButton;
    const std::uint16_t wanted = select
                                     ? static_cast<std::uint16_t>(std::min<std::uint64_t>(*select, NoButton))
                                     : menu.IGSc.pages[*page].default_selected_button_id_ref;
    if (select && *select != NoButton && !menu.PageButtons[*page].holds(*select)) {
        printError(args.mnu,
                   "page " + std::to_string(*page) + " has no button " + hexText(*select & 0xFFFF, 4));
        result = Rejected;
        return;
    }
    if (wanted < menu.ButtonStates.size()) regs.PSR[PSR_SELECTED_BUTTON] = wanted;

    options.ButtonId = args.buttonIds;
    options.ObjectId = args.objectIds;
    options.ButtonFrame = args.buttonFrames;
    options.Background = !args.background.empty();
    options.BackgroundPic = args.background;
    PageRenderer renderer(menu, regs, options);
    std::string error = renderer.backchange();
    if (!error.empty()) {
        std::cerr << "error: " << error << '\n'; // the text names the file
        result = Rejected;
        return;
    }
    renderer.DrawPage();
    const auto png = writeRgbPng(renderer.page(), error);
    if (png.empty()) {
        printError(args.out, error);
        result = Rejected;
        return;
    }
    const auto saved = writeWholeFile(args.out, png);
    if (!saved.ok) {
        std::cerr << "error: " << saved.error << '\n';
        result = Rejected;
        return;
    }
    if (!args.quiet) std::cerr << renderer.pageStatus() << '\n';
}

} // namespace

void addMenuRender(CLI::App& menu, int& result) {
    auto* command = menu.add_subcommand(
        "render",
        "Compose a page as the page view shows it after the menu starts and write it as an RGB PNG");
    auto args = std::make_shared<RenderArgs>();
    command->add_option("MNU", args->mnu, "The .mnu menu")->required();
    command->add_option("--page", args->page, "Page index (default 0)");
    command->add_option("--select", args->select,
                        "Button id (hex) to show selected instead of the default; FFFF for none");
    command->add_flag("--button-ids", args->buttonIds, "Show button ids");
    command->add_flag("--object-ids", args->objectIds, "Show object ids");
    command->add_flag("--button-frames", args->buttonFrames, "Show button frames");
    command->add_option("--background", args->background, "Background picture (PNG over the colour, or BMP)");
    command->add_option("--background-color", args->backgroundColour,
                        "Background colour RRGGBB (default 000080)");
    command->add_option("-o,--output", args->out, "The PNG file to write")->required();
    command->add_flag("--quiet", args->quiet, "No log lines on stderr");
    command->callback([&result, args] { render(*args, result); });
}

} // namespace corvane::cli
