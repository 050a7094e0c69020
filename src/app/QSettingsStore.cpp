#include "app/QSettingsStore.h"

namespace corvane {

QSettingsStore::QSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Vorlund Software"), QStringLiteral("Corvane"))) {
}

QSettingsStore::QSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

bool QSettingsStore::keyExists() const {
    return !m_settings->allKeys().isEmpty();
}

std::optional<SettingValue> QSettingsStore::read(const std::string& name, SettingType type) {
    const QString key = QString::fromStdString(name);
    if (!m_settings->contains(key)) return std::nullopt;
    const QVariant value = m_settings->value(key);
    switch (type) {
    case SettingType::String:
        return value.toString().toStdString();
    case SettingType::Integer: {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok) return std::nullopt;
        return number;
    }
    case SettingType::Boolean: {
        // Stored as 0/1; a text store may also hand back "true"/"false".
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true")) return true;
        if (text == QLatin1String("false")) return false;
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok) return std::nullopt;
        return number != 0;
    }
    }
    return std::nullopt;
}

void QSettingsStore::write(const std::string& name, const SettingValue& value) {
    const QString key = QString::fromStdString(name);
    if (const auto* number = std::get_if<int>(&value))
        m_settings->setValue(key, *number);
    else if (const auto* flag = std::get_if<bool>(&value))
        m_settings->setValue(key, *flag ? 1 : 0);
    else
        m_settings->setValue(key, QString::fromStdString(std::get<std::string>(value)));
}

} // namespace corvane
