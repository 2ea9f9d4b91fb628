#pragma once

#include "import/TargetFields.h"
#include "store/CardExtras.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace veltro::import {

class FieldMapping;

// Where the columns of another address book's CSV layout put what a card holds beyond its
// fields: birthday, anniversary, nickname, job title and the further numbers, e-mail
// addresses, postal addresses and web pages with their types. Columns of a fixed type
// (Thunderbird's and Outlook's "Home Phone") give entries of that type; Google's numbered
// columns take their type from the row ("Phone 2 - Type"), may hold several values joined by
// " ::: ", and fill the card's own telephone, mobile, fax, e-mail, web and address fields
// as the type says. A column the mapping gives to a card field is never read here as well.
class PresetExtras {
public:
    // The layout's columns beyond the card fields; nothing when the header has none.
    [[nodiscard]] static std::shared_ptr<const PresetExtras> of(const QStringList& headers);

    // How many source columns it reads.
    [[nodiscard]] int columnCount() const;
    // Whether it fills the target from the rows' typed columns where the mapping leaves it free.
    [[nodiscard]] bool fillsTarget(std::size_t target) const;

    // What one record brings: the further details, and the texts of the targets it fills.
    struct Read {
        store::CardExtras extras;
        std::array<std::optional<QString>, kTargetCount> targets;
    };
    [[nodiscard]] Read read(const FieldMapping& mapping, std::span<const QStringView> fields) const;

    enum class DetailKind : int;
    enum class Part : int;
    struct Detail;
    struct Group;
    PresetExtras();
    ~PresetExtras();
    PresetExtras(const PresetExtras&) = delete;
    PresetExtras& operator=(const PresetExtras&) = delete;

private:
    std::vector<Detail> details_;
    std::vector<Group> groups_;
    std::array<bool, kTargetCount> fills_{};
};

// A date as another program writes it: 1980-02-29 or --02-29, 2/29/1980 (Outlook), 29.2.1980;
// nothing for Outlook's 0/0/00 and anything the calendar lacks.
[[nodiscard]] std::optional<store::PartialDate> foreignDate(QStringView text);

}  // namespace veltro::import
