#include "store/Settings.h"

#include "store/SettingsKeys.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace veltro::settings {

namespace {

constexpr const char* kApplication = "Veltrix";
constexpr const char* kSection = "Setting";

QString path(const char* key) {
    return QString::fromLatin1(kSection) + u'/' + QLatin1String(key);
}

QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kApplication),
                     QLatin1String(kApplication));
}

}  // namespace

QString read(const char* key) {
    return store().value(path(key)).toString();
}

void write(const char* key, const QString& value) {
    QSettings s = store();
    s.setValue(path(key), value);
    s.sync();
}

void write(std::initializer_list<std::pair<const char*, QString>> values) {
    write(std::span(values.begin(), values.size()));
}

void write(std::span<const std::pair<const char*, QString>> values) {
    QSettings s = store();
    for (const auto& [key, value] : values) {
        s.setValue(path(key), value);
    }
    s.sync();
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

void writeNumber(const char* key, double value) {
    write(key, numberText(value));
}

std::optional<double> parseNumber(const QString& text) {
    QString normal = text.trimmed();
    normal.replace(u',', u'.');
    bool ok = false;
    const double value = normal.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<double> readNumber(const char* key) {
    return parseNumber(read(key));
}

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

void writeBool(const char* key, bool value) {
    write(key, boolText(value));
}

std::optional<bool> readBool(const char* key) {
    const QString text = read(key).trimmed().toLower();
    if (text == u"true" || text == u"wahr" || text == u"1" || text == u"-1") {
        return true;
    }
    if (text == u"false" || text == u"falsch" || text == u"0") {
        return false;
    }
    return std::nullopt;
}

bool readFlag(const char* key, bool whenEmpty) {
    const QString text = read(key).trimmed();
    if (text.isEmpty()) {
        return whenEmpty;
    }
    return text != u"0";
}

std::optional<double> number(const char* key) {
    const Setting& entry = setting(key);
    const std::optional<double> byDefault =
        std::isnan(entry.byDefault) ? std::nullopt : std::optional<double>(entry.byDefault);
    const auto value = readNumber(key);
    if (!value || !std::isfinite(*value)) {
        return byDefault;
    }
    if (*value >= entry.low && *value <= entry.high) {
        return value;
    }
    if (entry.outOfRange == OutOfRange::Default) {
        return byDefault;
    }
    return std::clamp(*value, entry.low, entry.high);
}

bool flag(const char* key) {
    return readFlag(key, setting(key).byDefault != 0);
}

}  // namespace veltro::settings
