// libFuzzer target of the settings reader: the input is a settings file of "Name=value"
// lines, handed to the reader as the desktop's store hands them (integers that do not parse
// are missing). Reading any file must not crash and must leave every value in its range (so
// clamping again changes nothing), and the options read write back to a file that reads to
// the same options.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "shell/Options.h"

namespace {

class TextStore : public corvane::SettingsStore {
public:
    std::map<std::string, std::string> values;

    bool keyExists() const override { return !values.empty(); }
    std::optional<corvane::SettingValue> read(const std::string& name, corvane::SettingType type) override {
        const auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        const std::string& text = found->second;
        if (type == corvane::SettingType::String) return text;
        if (type == corvane::SettingType::Boolean && (text == "true" || text == "false"))
            return text == "true";
        int number = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
        if (type == corvane::SettingType::Boolean) return number != 0;
        return number;
    }
    void write(const std::string& name, const corvane::SettingValue& value) override {
        if (const auto* number = std::get_if<int>(&value))
            values[name] = std::to_string(*number);
        else if (const auto* flag = std::get_if<bool>(&value))
            values[name] = *flag ? "1" : "0";
        else
            values[name] = std::get<std::string>(value);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TextStore store;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            store.values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
    corvane::Options first;
    corvane::RegRead(first, store);

    corvane::Options clamped = first;
    corvane::clampOptions(clamped);
    for (const auto& info : corvane::settingsReadOrder())
        if (corvane::settingValue(first, info.name) != corvane::settingValue(clamped, info.name))
            __builtin_trap();

    TextStore written;
    corvane::RegWrite(first, written);
    corvane::Options again;
    corvane::RegRead(again, written);
    for (const auto& info : corvane::settingsWriteOrder(first.WindowState == 2))
        if (corvane::settingValue(first, info.name) != corvane::settingValue(again, info.name))
            __builtin_trap();
    return 0;
}
