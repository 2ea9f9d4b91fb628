#pragma once

#include "printing/PrintMargins.h"
#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QString>

#include <optional>

namespace veltro::printing {

// What the card view shows when a print command runs; printing reads nothing else, so an
// edit that is not saved yet is printed too.
struct PrintData {
    // The boxes' texts; Schlagworte is the selected list line (empty when none is);
    // Anschrift and Notizen hold the blocks' stored text (RTF or plain).
    store::Card card;
    store::CardExtras extras;             // what the card holds beyond its fields
    QString fieldFace;                    // face of the card fields (Text9)
    std::optional<QString> addressFace;   // at the address block's selection; none when mixed
    std::optional<double> addressPoints;  // likewise its size
    PrintMargins margins;
};

}  // namespace veltro::printing
