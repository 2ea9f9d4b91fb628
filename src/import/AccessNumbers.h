#pragma once

#include <string>
#include <string_view>

namespace veltro::import {

// The number columns of an Access table that are not plain integers.
enum class NumberKind { Currency, Decimal, Single, Double };

// A number as a German reader expects it, from the text the Access reader gives (digits
// with a point before the decimals): a decimal comma, Currency with two decimals or more
// when it holds more ("214,27", "12,50"), decimals with as many as needed ("1,5", "12"),
// floating-point numbers in the shortest form that still means the same value at their
// precision ("0,15" rather than "0.15000001"). Text that is no such number stays as it is.
[[nodiscard]] std::string germanNumber(std::string_view text, NumberKind kind);

}  // namespace veltro::import
