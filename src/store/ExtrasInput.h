#pragma once

#include "store/CardExtras.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace veltro::store {

// A date as a German user types it: "TT.MM.JJJJ", or "TT.MM." for a day whose year nobody
// knows. `problem` says in German why the text is no date; empty text is no date and no
// problem.
struct TypedDate {
    std::optional<PartialDate> date;
    QString problem;
};
[[nodiscard]] TypedDate readGermanDate(QStringView text);

// What the further details of a card hold while they are typed: the dates as text, so that a
// day the calendar lacks stays as the user wrote it, and the entries with their blank lines.
struct TypedExtras {
    QString birthday;
    QString anniversary;
    QString nickname;
    QString title;
    QString role;
    std::vector<Entry> entries;

    friend bool operator==(const TypedExtras&, const TypedExtras&) = default;

    [[nodiscard]] static TypedExtras of(const CardExtras& extras);
    // The same details as the store would keep them: blank entries dropped, dates read.
    [[nodiscard]] bool sameAs(const TypedExtras& other) const;
};

// What a save of typed details writes: the parts the user changed from `shown` to `typed`, put
// into what the store holds now, so that what another program wrote into a part left alone here
// stays. A date that cannot be read is not taken.
struct ExtrasWrite {
    CardExtras extras;  // to write
    TypedExtras shown;  // what counts as saved from now on
    QString problem;    // why a typed date was not taken (German); empty when all were
};
[[nodiscard]] ExtrasWrite typedInto(CardExtras stored, const TypedExtras& shown,
                                    const TypedExtras& typed);

}  // namespace veltro::store
