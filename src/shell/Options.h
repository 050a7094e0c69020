#pragma once
// Every user setting with its default, and the order in which the settings
// store reads and writes them.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace corvane {

enum class BackupMode { OnlyFirst = 0, Overwrite = 1, StopIfExists = 2 };

// Ranges the stored values are brought into when read (pixels, milliseconds).
inline constexpr int MinWindowSize = 200;
inline constexpr int MaxWindowExtent = 16384;
inline constexpr int MinPanelHeight = 20;
inline constexpr int MaxActiDelay = 60000;

// Windows colour values: 0x00BBGGRR.
struct Options {
    // main window
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    int Top = 60;
    int Left = 60;
    int Width = 1280;
    int Height = 690; // with the title bar, within 1366x768 less a taskbar
    std::string BDMVdir;
    std::string BackgroundPic;
    bool AutoRead = true;
    bool Backup = true;
    bool SaveBACKUP = false;
    int BackupMode = 0; // see corvane::BackupMode
    int Region = 0;     // 0 A, 1 B, 2 C
    int ObjectHeight = 260;
    int PlayListHeight = 240;
    int SubPathHeight = 120;
    int PlayListMarkHeight = 140;
    int ChapterFormat = 0; // 0 PTS, 1 Frame, 2 Time, 3 OGM, 4 Matroska XML
    int ProgramFormat = 0; // 0 .lst, 1 .bin
    bool SavePES = false;
    bool SaveSUP = true;
    bool SaveMNU = true;
    bool ButtonId = false;
    bool ObjectId = false;
    bool ButtonFrame = false;
    bool WindowFrame = false;
    bool ForcedBeep = true;
    bool PreLoad = true;
    bool ShowInEffects = true;
    bool ShowOutEffects = true;
    bool ShowButtonAnimation = false;
    bool ShowFullScreen = false;
    bool Background = false;
    bool RealPSRs = false;
    bool PlaySound = false;
    bool Associate = false;
    bool use83names = false;                     // stored as "8.3names"
    bool CheckAfterRead = true;                  // the disc check after every Read
    int ActiDelay = 500;                         // ms
    int CountryCode = 0x5553;                    // two ASCII letters, high byte first ("US")
    std::int32_t colBackground = 8388608;        // navy
    std::int32_t colObjectBackground = 12632256; // silver
    std::int32_t colSelectedButton = 65535;      // yellow
    std::int32_t colSelectedFrame = 255;         // red
    std::int32_t colNormalButton = 16777215;     // white
    std::int32_t colNormalFrame = 12632256;      // silver
    std::int32_t colInvalidButton = 8421504;     // gray
    std::int32_t colInvalidFrame = 0;            // black
    std::int32_t colWindow = 65280;              // lime

    // Not stored: starts empty in every run.
    std::string WorkDir;
};

enum class SettingType { Integer, Boolean, String };
using SettingValue = std::variant<int, bool, std::string>;

// A per-user key of named values (the desktop keeps it in QSettings).
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool keyExists() const = 0;
    virtual std::optional<SettingValue> read(const std::string& name, SettingType type) = 0;
    virtual void write(const std::string& name, const SettingValue& value) = 0;
};

struct SettingInfo {
    const char* name;
    SettingType type;
};

// Value names in reading order and in writing order (the window geometry
// is written only when the window is not maximised).
const std::vector<SettingInfo>& settingsReadOrder();
std::vector<SettingInfo> settingsWriteOrder(bool maximised);

// Applies every value the key holds, in reading order, then clampOptions; a missing key
// changes nothing.
void RegRead(Options& options, SettingsStore& store);
// Brings every value into its range: a choice outside its list, a colour outside 24 bits
// back to its default; window geometry, panel heights, ActiDelay and CountryCode to their
// nearest allowed value.
void clampOptions(Options& options);
// Writes every value in writing order, creating the key.
void RegWrite(const Options& options, SettingsStore& store);

// The value of a setting by name, and setting it (false for an unknown name).
SettingValue settingValue(const Options& options, const std::string& name);
bool setSettingValue(Options& options, const std::string& name, const SettingValue& value);

// Country code helpers: the two characters, and the clamp applied when the field is left.
std::string countryCodeText(int value);
int clampCountryCode(int value);

// A Windows colour value (0x00BBGGRR) as 0xRRGGBB, and back.
std::uint32_t colourToRgb(std::int32_t windowsColour);
std::int32_t rgbToColour(std::uint32_t rgb);

} // namespace corvane
