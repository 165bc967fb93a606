#include "platform/settings.h"

#include <QSettings>
#include <memory>
#include <utility>

namespace platform {

namespace {

const char kOrganisation[] = "TARVEN SONICS";
const char kApplication[] = "quavix";

QString& Folder() {
    static QString folder;
    return folder;
}

// The same organisation and application either way; a folder set for the
// tests only moves the file (<folder>/TARVEN SONICS/quavix.ini).
std::unique_ptr<QSettings> Open() {
    if (!Folder().isEmpty())
        return std::make_unique<QSettings>(
            Folder() + "/" + kOrganisation + "/" + kApplication + ".ini", QSettings::IniFormat);
    return std::make_unique<QSettings>(kOrganisation, kApplication);
}

}  // namespace

std::optional<int> ReadSettingInt(const std::string& name) {
    auto s = Open();
    const QVariant v = s->value(QString::fromStdString(name));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

bool WriteSettingInt(const std::string& name, int value) {
    auto s = Open();
    s->setValue(QString::fromStdString(name), value);
    s->sync();
    return s->status() == QSettings::NoError;
}

void RemoveSetting(const std::string& name) {
    auto s = Open();
    s->remove(QString::fromStdString(name));
    s->sync();
}

std::string UseSettingsFolder(const std::string& folder) {
    return std::exchange(Folder(), QString::fromStdString(folder)).toStdString();
}

}  // namespace platform
