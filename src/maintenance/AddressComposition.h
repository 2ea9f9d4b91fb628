#pragma once

#include <QString>

namespace veltro::maintenance {

// The card fields the address block is composed from, as typed.
struct AddressFields {
    QString salutation;  // Anrede
    QString firstName;   // Vorname
    QString lastName;    // Nachname
    QString company;     // Firma
    QString department;  // Abteilung
    QString street;      // Straße
    QString postcode;    // Postleitzahl
    QString town;        // Ort
};

// The plain text of the address block, lines separated by a line feed. Company, department
// and street decide which lines the block has; the name block always keeps its line break.
QString composeAddress(const AddressFields& fields);

}  // namespace veltro::maintenance
