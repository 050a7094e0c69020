#include "disc/RecordTarget.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "io/TextUtil.h"
#include "playlist/PlayListDisplay.h"

namespace corvane {

namespace {

int position(std::int64_t index) {
    return index < 0 || index > 0x7FFFFFFF ? -1 : static_cast<int>(index);
}

bool fiveDigits(std::string_view text) {
    return text.size() == 5 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) != 0;
           });
}

// "00003 PID 1400": the clip and the PID.
void menuStep(RecordTarget& target, const std::string& name) {
    target.page = RecordPage::Menu;
    const std::size_t space = name.find(' ');
    target.name = name.substr(0, space);
    const std::size_t pid = name.rfind(' ');
    if (space == std::string::npos || pid + 1 >= name.size()) return;
    const std::string hex = name.substr(pid + 1);
    if (hex.size() > 4 || !std::all_of(hex.begin(), hex.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return;
    target.pid = static_cast<std::uint16_t>(std::stoul(hex, nullptr, 16));
}

RecordTarget fileTarget(const std::string& file) {
    RecordTarget target;
    const std::size_t cut = file.find_first_of("/\\");
    const std::string base = upperCase(cut == std::string::npos ? file : file.substr(cut + 1));
    if (cut == std::string::npos) {
        if (base == "INDEX.BDMV" || base == "INDEX.BDM" || base == "MOVIEOBJECT.BDMV" ||
            base == "MOVIEOBJ.BDM")
            target.page = RecordPage::Bdmv;
        return target;
    }
    const std::string folder = upperCase(file.substr(0, cut));
    if (folder == "AUXDATA" && (base == "SOUND.BDMV" || base == "SOUND.BDM")) {
        target.page = RecordPage::Bdmv;
        return target;
    }
    const std::size_t dot = base.find('.');
    if (dot != 5 || !fiveDigits(std::string_view(base).substr(0, 5))) return target;
    const std::string ext = base.substr(dot + 1);
    if (folder == "PLAYLIST" && (ext == "MPLS" || ext == "MPL"))
        target.page = RecordPage::PlayList;
    else if ((folder == "CLIPINF" && (ext == "CLPI" || ext == "CPI")) ||
             (folder == "STREAM" && (ext == "M2TS" || ext == "MTS")))
        target.page = RecordPage::Clip;
    else if (folder == "BDJO" && ext == "BDJO")
        target.page = RecordPage::Bdjo;
    if (target.page != RecordPage::None) target.name = base.substr(0, 5);
    return target;
}

} // namespace

RecordTarget recordTarget(const RecordPath& path, const std::string& file) {
    if (path.steps.empty()) return fileTarget(file);
    RecordTarget target;
    for (const RecordStep& step : path.steps) {
        const std::string& kind = step.kind;
        const int at = position(step.index);
        if (kind == "title") {
            target.page = RecordPage::Bdmv;
            // First Playback and Top Menu go by name and have no row in the title list.
            if (step.name.empty() && at > 0) target.title = at - 1;
        } else if (kind == "object") {
            target.page = RecordPage::Bdmv;
            target.object = at;
        } else if (kind == "line") {
            target.line = at;
        } else if (kind == "playlist") {
            target.page = RecordPage::PlayList;
            target.name = step.name;
        } else if (kind == "PlayItem") {
            target.playItem = at;
        } else if (kind.rfind("STN ", 0) == 0) {
            const auto header =
                std::find(StnHeaders.begin(), StnHeaders.end(), std::string_view(kind).substr(4));
            if (header != StnHeaders.end() && at > 0) {
                target.stnList = static_cast<int>(header - StnHeaders.begin());
                target.stnEntry = at - 1;
            }
        } else if (kind == "SubPath") {
            target.subPath = at;
        } else if (kind == "SubPlayItem") {
            target.subPlayItem = at;
        } else if (kind == "mark") {
            target.mark = at;
        } else if (kind == "clip") {
            target.page = RecordPage::Clip;
            target.name = step.name;
        } else if (kind == "menu") {
            menuStep(target, step.name);
        } else if (kind == "page") {
            target.menuPage = at;
        } else if (kind == "button") {
            target.button = at;
        } else if (kind == "bdjo") {
            target.page = RecordPage::Bdjo;
            target.name = step.name;
        }
    }
    return target;
}

} // namespace corvane
