#include "qt_settings_store.h"

#include <limits>

namespace tl::app {

namespace {

QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(
          std::make_unique<QSettings>(QStringLiteral("Lantern"), QStringLiteral("Tallyleaf"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<int> QtSettingsStore::readInt(const std::string& section, const std::string& name) {
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    // Read wide so that a number beyond 32 bits is refused, not wrapped.
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<std::string> QtSettingsStore::readText(const std::string& section,
                                                     const std::string& name) {
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid() || !v.canConvert<QString>()) return std::nullopt;
    return v.toString().toStdString();
}

void QtSettingsStore::writeInt(const std::string& section, const std::string& name, int value) {
    m_settings->setValue(Key(section, name), value);
}

void QtSettingsStore::writeText(const std::string& section, const std::string& name,
                                const std::string& value) {
    m_settings->setValue(Key(section, name), QString::fromStdString(value));
}

void QtSettingsStore::flush() {
    m_settings->sync();
}

bool QtSettingsStore::contains(const std::string& section, const std::string& name) const {
    return m_settings->contains(Key(section, name));
}

}  // namespace tl::app
