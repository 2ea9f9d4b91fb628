#include "import/AccessNumbers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <system_error>

namespace veltro::import {

namespace {

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// A fixed-point number: [-]digits[.digits].
std::string fixedPoint(std::string_view text, std::size_t leastDecimals) {
    const std::size_t sign = text.starts_with('-') ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::string_view whole =
        text.substr(sign, point == std::string_view::npos ? std::string_view::npos : point - sign);
    std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || !allDigits(whole) || !allDigits(decimals)) {
        return std::string(text);
    }
    while (decimals.size() > leastDecimals && decimals.ends_with('0')) {
        decimals.remove_suffix(1);
    }
    std::string result(text.substr(0, sign + whole.size()));
    if (!decimals.empty() || leastDecimals > 0) {
        result += ',';
        result += decimals;
        result.append(leastDecimals - std::min(leastDecimals, decimals.size()), '0');
    }
    return result;
}

template <typename Float>
std::string floatingPoint(std::string_view text) {
    Float value{};
    const auto* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::string(text);
    }
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    std::string result(buffer.data(), written.ptr);
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

}  // namespace

std::string germanNumber(std::string_view text, NumberKind kind) {
    switch (kind) {
        case NumberKind::Currency:
            return fixedPoint(text, 2);
        case NumberKind::Decimal:
            return fixedPoint(text, 0);
        case NumberKind::Single:
            return floatingPoint<float>(text);
        case NumberKind::Double:
            return floatingPoint<double>(text);
    }
    return std::string(text);
}

}  // namespace veltro::import
