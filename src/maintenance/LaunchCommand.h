#pragma once

#include "maintenance/LaunchTarget.h"

#include <QString>

namespace veltro::maintenance {

// "Adresse mit eMail / Internet verbinden": asks once and hands the mail or web address
// to the desktop. True when the desktop was asked to open it.
bool launchMailOrWeb(LaunchSource source, const QString& text);

// "Auf Karte zeigen": asks the same way and opens an OpenStreetMap search for the address.
bool launchMapSearch(const QString& address);

}  // namespace veltro::maintenance
