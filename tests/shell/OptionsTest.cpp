#include <gtest/gtest.h>

#include <map>

#include "shell/Options.h"

namespace corvane {
namespace {

// A settings key in memory that records the order of reads and writes.
class MemoryStore : public SettingsStore {
public:
    bool keyExists() const override { return exists; }
    std::optional<SettingValue> read(const std::string& name, SettingType) override {
        reads.push_back(name);
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& name, const SettingValue& value) override {
        exists = true;
        writes.push_back(name);
        values[name] = value;
    }
    bool exists = false;
    std::map<std::string, SettingValue> values;
    std::vector<std::string> reads, writes;
};

TEST(Options, FirstRunKeepsDefaultsAndCloseWritesEveryValue) {
    MemoryStore store;
    Options options;
    RegRead(options, store);
    EXPECT_TRUE(store.reads.empty()); // no key: nothing is read
    EXPECT_TRUE(options.AutoRead);
    EXPECT_EQ(options.CountryCode, 0x5553);
    EXPECT_EQ(options.colBackground, 8388608);
    RegWrite(options, store);
    ASSERT_EQ(store.writes.size(), 48u);
    EXPECT_EQ(store.writes.front(), "WindowState");
    EXPECT_EQ(store.writes[1], "Top");
    EXPECT_EQ(store.writes.back(), "CountryCode");
    // ActiDelay comes before the colours when writing, after them when reading.
    const auto at = [&](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) - list.begin();
    };
    EXPECT_LT(at(store.writes, "ActiDelay"), at(store.writes, "colBackground"));
    EXPECT_EQ(std::get<bool>(store.values["8.3names"]), false);
    EXPECT_EQ(std::get<bool>(store.values["CheckAfterRead"]), true);
}

TEST(Options, ReadOrderAndRoundTrip) {
    const auto& order = settingsReadOrder();
    ASSERT_EQ(order.size(), 48u);
    EXPECT_STREQ(order[0].name, "Width");
    EXPECT_STREQ(order[4].name, "WindowState");
    EXPECT_STREQ(order[order.size() - 2].name, "ActiDelay");

    MemoryStore store;
    Options changed;
    changed.BDMVdir = "/discs/X/BDMV/";
    changed.BackupMode = 2;
    changed.use83names = true;
    changed.colWindow = 0x123456;
    changed.CountryCode = 0x4445;
    RegWrite(changed, store);
    Options loaded;
    RegRead(loaded, store);
    EXPECT_EQ(loaded.BDMVdir, "/discs/X/BDMV/");
    EXPECT_EQ(loaded.BackupMode, 2);
    EXPECT_TRUE(loaded.use83names);
    EXPECT_EQ(loaded.colWindow, 0x123456);
    EXPECT_EQ(loaded.CountryCode, 0x4445);
    EXPECT_EQ(store.reads.size(), 48u);
}

TEST(Options, MaximisedCloseLeavesTheStoredGeometry) {
    MemoryStore store;
    store.exists = true;
    store.values["Top"] = 11;
    store.values["Width"] = 999;
    Options options;
    options.WindowState = 2;
    options.Top = 500;
    RegWrite(options, store);
    EXPECT_EQ(std::get<int>(store.values["WindowState"]), 2);
    EXPECT_EQ(std::get<int>(store.values["Top"]), 11);
    EXPECT_EQ(std::get<int>(store.values["Width"]), 999);
    EXPECT_EQ(store.writes.size(), 44u);
}

TEST(Options, ValuesOfTheWrongTypeAreConverted) {
    Options options;
    EXPECT_TRUE(setSettingValue(options, "AutoRead", SettingValue(0)));
    EXPECT_FALSE(options.AutoRead);
    EXPECT_TRUE(setSettingValue(options, "Region", SettingValue(true)));
    EXPECT_EQ(options.Region, 1);
    EXPECT_FALSE(setSettingValue(options, "BDMVdir", SettingValue(5)));
    EXPECT_FALSE(setSettingValue(options, "NoSuchValue", SettingValue(5)));
}

TEST(Options, StoredValuesOutOfRangeAreBroughtIntoRange) {
    MemoryStore store;
    store.exists = true;
    store.values = {{"Height", 100000000},   {"Width", -5},       {"Top", 1 << 30},     {"WindowState", 9},
                    {"BackupMode", 3},       {"Region", -1},      {"ChapterFormat", 7}, {"ProgramFormat", 2},
                    {"CountryCode", 0x7A7A}, {"ActiDelay", -200}, {"ObjectHeight", 0},  {"colWindow", -1}};
    Options options;
    RegRead(options, store);
    const Options defaults;
    EXPECT_EQ(options.Height, MaxWindowExtent);
    EXPECT_EQ(options.Width, MinWindowSize);
    EXPECT_EQ(options.Top, MaxWindowExtent);
    EXPECT_EQ(options.WindowState, defaults.WindowState);
    EXPECT_EQ(options.BackupMode, defaults.BackupMode);
    EXPECT_EQ(options.Region, defaults.Region);
    EXPECT_EQ(options.ChapterFormat, defaults.ChapterFormat);
    EXPECT_EQ(options.ProgramFormat, defaults.ProgramFormat);
    EXPECT_EQ(options.CountryCode, 0x5A5A);
    EXPECT_EQ(options.ActiDelay, 0);
    EXPECT_EQ(options.ObjectHeight, MinPanelHeight);
    EXPECT_EQ(options.colWindow, defaults.colWindow);
    // The other end of each range, and values inside it, as stored.
    store.values = {{"ActiDelay", 1 << 30}, {"CountryCode", 0x1000}, {"Region", 2}, {"ChapterFormat", 1}};
    RegRead(options, store);
    EXPECT_EQ(options.ActiDelay, MaxActiDelay);
    EXPECT_EQ(options.CountryCode, 0x4141);
    EXPECT_EQ(options.Region, 2);
    EXPECT_EQ(options.ChapterFormat, 1);
}

TEST(Options, CountryCodeAndColours) {
    EXPECT_EQ(countryCodeText(0x3132), "12");
    EXPECT_EQ(clampCountryCode(0x3132), 0x4141);
    EXPECT_EQ(clampCountryCode(0x6161), 0x5A5A);
    EXPECT_EQ(clampCountryCode(0x4A50), 0x4A50);
    EXPECT_EQ(colourToRgb(255), 0xFF0000u);    // Windows red
    EXPECT_EQ(rgbToColour(0x000080), 8388608); // navy
}

} // namespace
} // namespace corvane
