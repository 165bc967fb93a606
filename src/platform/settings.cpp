#include "platform/settings.h"

#include <QSettings>

namespace platform {

namespace {

const char kOrganisation[] = "TARVEN SONICS";
const char kApplication[] = "quavix";

QString& Folder() {
    static QString folder;
    return folder;
}

std::unique_ptr<QSettings> Open() {
    if (!Folder().isEmpty())
        return std::make_unique<QSettings>(Folder() + "/settings.ini", QSettings::IniFormat);
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

void UseSettingsFolder(const std::string& folder) { Folder() = QString::fromStdString(folder); }

}  // namespace platform
