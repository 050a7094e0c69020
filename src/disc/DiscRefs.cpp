#include "disc/DiscRefs.h"

#include <cstdlib>

#include "io/FileIO.h"
#include "io/TextUtil.h"

namespace corvane {

RecordPath RecordPath::then(std::string kind, std::int64_t index) const {
    RecordPath path = *this;
    path.steps.push_back({std::move(kind), index, {}});
    return path;
}

RecordPath RecordPath::then(std::string kind, std::string name) const {
    RecordPath path = *this;
    path.steps.push_back({std::move(kind), -1, std::move(name)});
    return path;
}

std::string RecordPath::text() const {
    std::string out;
    for (const RecordStep& step : steps) {
        if (!out.empty()) out += ", ";
        out += step.kind;
        if (!step.name.empty())
            out += " " + step.name;
        else if (step.index >= 0)
            out += " " + std::to_string(step.index);
    }
    return out;
}

std::string menuLabel(const DiscMenu& menu) {
    return "menu " + menu.clip + " PID " + hexText(menu.pid, 4);
}

std::string titleLabel(std::int32_t title_number) {
    if (title_number == FirstPlaybackTitleNumber) return "First Playback";
    if (title_number == TopMenuTitleNumber) return "Top Menu";
    return "title " + std::to_string(title_number);
}

std::vector<CommandSite> commandSites(const DiscModel& disc) {
    std::vector<CommandSite> sites;
    const auto& objects = disc.mobj.MovieObjects.mobjs;
    for (std::size_t o = 0; o < objects.size(); ++o)
        sites.push_back(
            {&objects[o].navigation_commands, CommandContext::MovieObject, disc.names.MovieObjectName,
             RecordPath{}.then("object", static_cast<std::int64_t>(o)), "object " + std::to_string(o), o});
    for (const DiscMenu& menu : disc.menus) {
        const RecordPath base = RecordPath{}.then("menu", menu.clip + " PID " + hexText(menu.pid, 4));
        for (const TPage& page : menu.menu.IGSc.pages)
            for (const TBOG& bog : page.BOGs)
                for (const TIGbutton& button : bog.buttons)
                    sites.push_back(
                        {&button.navigation_commands, CommandContext::Button,
                         "STREAM" + std::string(1, pathSeparator()) + menu.clip + disc.names.StreamExt,
                         base.then("page", page.page_id).then("button", button.button_id),
                         menuLabel(menu) + " page " + std::to_string(page.page_id) + " button " +
                             std::to_string(button.button_id),
                         std::nullopt});
    }
    return sites;
}

namespace {

void addIndexEntry(DiscReferences& out, const DiscModel& disc, const TTitleEntry& entry,
                   const RecordPath& where) {
    const std::string by = titleLabel(entry.title_number);
    if (entry.object_type == ObjectTypeBDJ) {
        DiscReference ref{
            RefTarget::Bdjo, 0, entry.bdjo_file_name, {}, {}, disc.names.IndexName, where, by, {}};
        out.refs.push_back(ref);
    } else if (entry.object_type == ObjectTypeHDMV && entry.mobj_id_ref != NoObject) {
        DiscReference ref{
            RefTarget::Object, entry.mobj_id_ref, {}, {}, {}, disc.names.IndexName, where, by, {}};
        out.refs.push_back(ref);
    }
}

} // namespace

DiscReferences collectReferences(const DiscModel& disc) {
    DiscReferences out;
    if (disc.indexRead.usable() || disc.indexRead.status == ReadStatus::Damaged) {
        const TIndexes& indexes = disc.index.Indexes;
        addIndexEntry(out, disc, indexes.first_playback, RecordPath{}.then("title", "First Playback"));
        addIndexEntry(out, disc, indexes.top_menu, RecordPath{}.then("title", "Top Menu"));
        for (const TTitleEntry& title : indexes.titles)
            addIndexEntry(out, disc, title, RecordPath{}.then("title", title.title_number));
    }
    for (const CommandSite& site : commandSites(disc)) {
        const auto& commands = *site.commands;
        for (std::size_t l = 0; l < commands.size(); ++l) {
            const TNavCommand& command = commands[l];
            const NavOperation operation = navOperation(command.opcode);
            const bool op1Immediate = destinationIsImmediate(command.opcode);
            const bool op2Immediate = sourceIsImmediate(command.opcode);
            DiscReference ref;
            ref.file = site.file;
            ref.where = site.where.then("line", static_cast<std::int64_t>(l));
            ref.by = site.by;
            ref.fromObject = site.object;
            ref.number = command.destination;
            switch (operation) {
            case NavOperation::PlayPL:
            case NavOperation::PlayPLatPI:
            case NavOperation::PlayPLatMK:
                if (!op1Immediate) {
                    out.playlistByRegister = true;
                    continue;
                }
                ref.target = RefTarget::PlayList;
                if (operation == NavOperation::PlayPLatPI && op2Immediate) ref.item = command.source;
                if (operation == NavOperation::PlayPLatMK && op2Immediate) ref.mark = command.source;
                break;
            case NavOperation::JumpObject:
            case NavOperation::CallObject:
                if (!op1Immediate) {
                    out.objectByRegister = true;
                    continue;
                }
                ref.target = RefTarget::Object;
                break;
            case NavOperation::JumpTitle:
            case NavOperation::CallTitle:
                if (!op1Immediate) continue;
                ref.target = RefTarget::Title;
                break;
            default:
                continue;
            }
            out.refs.push_back(std::move(ref));
        }
    }
    for (const DiscBdjo& bdjo : disc.bdjos) {
        const auto& names = bdjo.bdjo.TableOfAccessiblePlayLists.PlayList_file_names;
        for (std::size_t i = 0; i < names.size(); ++i) {
            DiscReference ref;
            ref.target = RefTarget::PlayList;
            ref.number = static_cast<std::uint32_t>(std::strtoul(names[i].c_str(), nullptr, 10));
            ref.bdjoName = names[i];
            ref.file = "BDJO" + std::string(1, pathSeparator()) + bdjo.name + ".bdjo";
            ref.where = RecordPath{}
                            .then("bdjo", bdjo.name)
                            .then("accessible playlist", static_cast<std::int64_t>(i));
            ref.by = "bdjo " + bdjo.name;
            out.refs.push_back(std::move(ref));
        }
    }
    return out;
}

} // namespace corvane
