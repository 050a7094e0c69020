#pragma once
// The settings key of the desktop program, kept by QSettings per user.

#include <QSettings>

#include <memory>

#include "shell/Options.h"

namespace corvane {

class QSettingsStore : public SettingsStore {
public:
    // The user's "Vorlund Software" / "Corvane" settings.
    QSettingsStore();
    // A settings file of its own (tests, portable use).
    explicit QSettingsStore(const QString& iniFile);

    bool keyExists() const override;
    std::optional<SettingValue> read(const std::string& name, SettingType type) override;
    void write(const std::string& name, const SettingValue& value) override;

    // Writes pending values out now (QSettings otherwise does it later or on destruction).
    void sync() { m_settings->sync(); }
    QSettings& settings() { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace corvane
