#pragma once

#include <QCollator>

#include <cstddef>
#include <string>
#include <string_view>

namespace veltro::store {

// The order of the card list: German, without regard to case, as the collator sorts.
// Most headings are Latin text; for those a byte key whose memcmp order is the
// collator's order is made without the collator, which sorting a large store needs.
// Headings with other characters are compared by the collator.
class HeadingOrder {
public:
    HeadingOrder();

    // Appends the key of a UTF-8 heading and returns true, or returns false (leaving
    // `key` as it was) when the heading has a character the key does not weigh.
    bool appendKey(std::string_view utf8, std::string& key) const;

    // Less than, equal to or greater than zero, as the collator orders the headings.
    [[nodiscard]] int compare(std::string_view a, std::string_view b) const;

    // For tests: whether the keys agreed with the collator on this machine.
    [[nodiscard]] static bool keysAvailable();

private:
    QCollator collator_;
};

}  // namespace veltro::store
