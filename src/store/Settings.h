#pragma once

#include <QString>

#include <initializer_list>
#include <optional>
#include <span>
#include <utility>

namespace veltro::settings {

// The per-user settings store: application "Veltrix", section "Setting". Every value
// is text; an absent key reads as "". Lives in the user's configuration directory
// ($XDG_CONFIG_HOME/Veltrix/Veltrix.conf).
[[nodiscard]] QString read(const char* key);
void write(const char* key, const QString& value);
// Several values at once, with one write of the file.
void write(std::initializer_list<std::pair<const char*, QString>> values);
void write(std::span<const std::pair<const char*, QString>> values);

// Numbers are written in one locale-free form and read back in either decimal form.
void writeNumber(const char* key, double value);
[[nodiscard]] QString numberText(double value);
[[nodiscard]] std::optional<double> readNumber(const char* key);
[[nodiscard]] std::optional<double> parseNumber(const QString& text);

void writeBool(const char* key, bool value);
[[nodiscard]] QString boolText(bool value);
// Empty or unreadable text gives nothing, so each reader decides what that means.
[[nodiscard]] std::optional<bool> readBool(const char* key);

// Reads the value as an option tick: "0" off, anything else on, empty → fallback.
[[nodiscard]] bool readFlag(const char* key, bool whenEmpty);

// Through the table of settings: a number as its range allows (empty or unreadable gives
// the default, or nothing where there is none), a tick with its default.
[[nodiscard]] std::optional<double> number(const char* key);
[[nodiscard]] bool flag(const char* key);

}  // namespace veltro::settings
