#include "shell/Options.h"

#include <algorithm>
#include <map>
#include <utility>

namespace corvane {

namespace {

using I = int Options::*;
using B = bool Options::*;
using S = std::string Options::*;
using Field = std::variant<I, B, S>;

const std::map<std::string, Field>& fields() {
    static const std::map<std::string, Field> table = {
        {"WindowState", &Options::WindowState},
        {"Top", &Options::Top},
        {"Left", &Options::Left},
        {"Width", &Options::Width},
        {"Height", &Options::Height},
        {"BDMVdir", &Options::BDMVdir},
        {"BackgroundPic", &Options::BackgroundPic},
        {"AutoRead", &Options::AutoRead},
        {"Backup", &Options::Backup},
        {"SaveBACKUP", &Options::SaveBACKUP},
        {"BackupMode", &Options::BackupMode},
        {"Region", &Options::Region},
        {"ObjectHeight", &Options::ObjectHeight},
        {"PlayListHeight", &Options::PlayListHeight},
        {"SubPathHeight", &Options::SubPathHeight},
        {"PlayListMarkHeight", &Options::PlayListMarkHeight},
        {"ChapterFormat", &Options::ChapterFormat},
        {"ProgramFormat", &Options::ProgramFormat},
        {"SavePES", &Options::SavePES},
        {"SaveSUP", &Options::SaveSUP},
        {"SaveMNU", &Options::SaveMNU},
        {"ButtonId", &Options::ButtonId},
        {"ObjectId", &Options::ObjectId},
        {"ButtonFrame", &Options::ButtonFrame},
        {"WindowFrame", &Options::WindowFrame},
        {"ForcedBeep", &Options::ForcedBeep},
        {"PreLoad", &Options::PreLoad},
        {"ShowInEffects", &Options::ShowInEffects},
        {"ShowOutEffects", &Options::ShowOutEffects},
        {"ShowButtonAnimation", &Options::ShowButtonAnimation},
        {"ShowFullScreen", &Options::ShowFullScreen},
        {"Background", &Options::Background},
        {"RealPSRs", &Options::RealPSRs},
        {"PlaySound", &Options::PlaySound},
        {"Associate", &Options::Associate},
        {"8.3names", &Options::use83names},
        {"CheckAfterRead", &Options::CheckAfterRead},
        {"ActiDelay", &Options::ActiDelay},
        {"CountryCode", &Options::CountryCode},
        {"colBackground", &Options::colBackground},
        {"colObjectBackground", &Options::colObjectBackground},
        {"colSelectedButton", &Options::colSelectedButton},
        {"colSelectedFrame", &Options::colSelectedFrame},
        {"colNormalButton", &Options::colNormalButton},
        {"colNormalFrame", &Options::colNormalFrame},
        {"colInvalidButton", &Options::colInvalidButton},
        {"colInvalidFrame", &Options::colInvalidFrame},
        {"colWindow", &Options::colWindow},
    };
    return table;
}

SettingType typeOf(const Field& field) {
    if (std::holds_alternative<I>(field)) return SettingType::Integer;
    if (std::holds_alternative<B>(field)) return SettingType::Boolean;
    return SettingType::String;
}

std::vector<SettingInfo> infos(std::initializer_list<const char*> names) {
    std::vector<SettingInfo> out;
    for (const char* name : names) out.push_back({name, typeOf(fields().at(name))});
    return out;
}

#define CORVANE_COLOURS                                                                                      \
    "colBackground", "colObjectBackground", "colSelectedButton", "colSelectedFrame", "colNormalButton",      \
        "colNormalFrame", "colInvalidButton", "colInvalidFrame", "colWindow"

#define CORVANE_MIDDLE                                                                                       \
    "BDMVdir", "BackgroundPic", "AutoRead", "Backup", "SaveBACKUP", "BackupMode", "Region", "ObjectHeight",  \
        "PlayListHeight", "SubPathHeight", "PlayListMarkHeight", "ChapterFormat", "ProgramFormat",           \
        "SavePES", "SaveSUP", "SaveMNU", "ButtonId", "ObjectId", "ButtonFrame", "WindowFrame", "ForcedBeep", \
        "PreLoad", "ShowInEffects", "ShowOutEffects", "ShowButtonAnimation", "ShowFullScreen", "Background", \
        "RealPSRs", "PlaySound", "Associate", "8.3names", "CheckAfterRead"

} // namespace

const std::vector<SettingInfo>& settingsReadOrder() {
    static const std::vector<SettingInfo> order =
        infos({"Width", "Height", "Top", "Left", "WindowState", CORVANE_MIDDLE, CORVANE_COLOURS, "ActiDelay",
               "CountryCode"});
    return order;
}

std::vector<SettingInfo> settingsWriteOrder(bool maximised) {
    if (maximised) return infos({"WindowState", CORVANE_MIDDLE, "ActiDelay", CORVANE_COLOURS, "CountryCode"});
    return infos({"WindowState", "Top", "Left", "Width", "Height", CORVANE_MIDDLE, "ActiDelay",
                  CORVANE_COLOURS, "CountryCode"});
}

SettingValue settingValue(const Options& options, const std::string& name) {
    const auto it = fields().find(name);
    if (it == fields().end()) return 0;
    return std::visit([&](auto member) -> SettingValue { return options.*member; }, it->second);
}

bool setSettingValue(Options& options, const std::string& name, const SettingValue& value) {
    const auto it = fields().find(name);
    if (it == fields().end()) return false;
    const Field& field = it->second;
    if (const auto* member = std::get_if<I>(&field)) {
        if (const auto* v = std::get_if<int>(&value))
            options.** member = *v;
        else if (const auto* b = std::get_if<bool>(&value))
            options.** member = *b ? 1 : 0;
        else
            return false;
    } else if (const auto* member = std::get_if<B>(&field)) {
        if (const auto* b = std::get_if<bool>(&value))
            options.** member = *b;
        else if (const auto* v = std::get_if<int>(&value))
            options.** member = *v != 0;
        else
            return false;
    } else if (const auto* member = std::get_if<S>(&field)) {
        if (const auto* s = std::get_if<std::string>(&value))
            options.** member = *s;
        else
            return false;
    }
    return true;
}

void RegRead(Options& options, SettingsStore& store) {
    if (!store.keyExists()) return;
    for (const auto& info : settingsReadOrder()) {
        if (auto value = store.read(info.name, info.type)) setSettingValue(options, info.name, *value);
    }
    clampOptions(options);
}

void clampOptions(Options& options) {
    const Options defaults;
    auto choice = [](int& value, int count, int fallback) {
        if (value < 0 || value >= count) value = fallback;
    };
    choice(options.WindowState, 3, defaults.WindowState);
    choice(options.BackupMode, 3, defaults.BackupMode);
    choice(options.Region, 3, defaults.Region);
    choice(options.ChapterFormat, 5, defaults.ChapterFormat);
    choice(options.ProgramFormat, 2, defaults.ProgramFormat);
    // A window no screen could show, or one too small to use, is not restored as stored.
    options.Width = std::clamp(options.Width, MinWindowSize, MaxWindowExtent);
    options.Height = std::clamp(options.Height, MinWindowSize, MaxWindowExtent);
    options.Top = std::clamp(options.Top, -MaxWindowExtent, MaxWindowExtent);
    options.Left = std::clamp(options.Left, -MaxWindowExtent, MaxWindowExtent);
    for (int* height : {&options.ObjectHeight, &options.PlayListHeight, &options.SubPathHeight,
                        &options.PlayListMarkHeight})
        *height = std::clamp(*height, MinPanelHeight, MaxWindowExtent);
    options.ActiDelay = std::clamp(options.ActiDelay, 0, MaxActiDelay);
    options.CountryCode = clampCountryCode(options.CountryCode);
    const std::pair<std::int32_t Options::*, std::int32_t> colours[] = {
        {&Options::colBackground, defaults.colBackground},
        {&Options::colObjectBackground, defaults.colObjectBackground},
        {&Options::colSelectedButton, defaults.colSelectedButton},
        {&Options::colSelectedFrame, defaults.colSelectedFrame},
        {&Options::colNormalButton, defaults.colNormalButton},
        {&Options::colNormalFrame, defaults.colNormalFrame},
        {&Options::colInvalidButton, defaults.colInvalidButton},
        {&Options::colInvalidFrame, defaults.colInvalidFrame},
        {&Options::colWindow, defaults.colWindow}};
    for (const auto& [member, fallback] : colours)
        if (options.*member < 0 || options.*member > 0xFFFFFF) options.*member = fallback;
}

void RegWrite(const Options& options, SettingsStore& store) {
    for (const auto& info : settingsWriteOrder(options.WindowState == 2))
        store.write(info.name, settingValue(options, info.name));
}

std::string countryCodeText(int value) {
    std::string text;
    text += static_cast<char>((value >> 8) & 0xFF);
    text += static_cast<char>(value & 0xFF);
    return text;
}

int clampCountryCode(int value) {
    if (value < 0x4141) return 0x4141;
    if (value > 0x5A5A) return 0x5A5A;
    return value;
}

std::uint32_t colourToRgb(std::int32_t windowsColour) {
    const auto c = static_cast<std::uint32_t>(windowsColour);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

std::int32_t rgbToColour(std::uint32_t rgb) {
    return static_cast<std::int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

} // namespace corvane
