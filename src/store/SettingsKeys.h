#pragma once

#include <limits>
#include <span>
#include <string_view>

namespace veltro::settings::key {

// Main window
inline constexpr const char* PFensterWidth = "PFensterWidth";
inline constexpr const char* PFensterHeight = "PFensterHeight";
inline constexpr const char* PFensterMax = "PFensterMax";
inline constexpr const char* LetzteKategorie = "LetzteKategorie";
inline constexpr const char* List1FontName = "List1FontName";
inline constexpr const char* List1FontSize = "List1FontSize";
inline constexpr const char* List1FontBold = "List1FontBold";
inline constexpr const char* List1FontItalic = "List1FontItalic";
inline constexpr const char* WeitereAngaben = "WeitereAngaben";  // the further details show

// Options
inline constexpr const char* OPChk1 = "OPChk1";  // background picture
inline constexpr const char* OPChk2 = "OPChk2";  // start with the search window
inline constexpr const char* OPChk3 = "OPChk3";  // restore the last window size
inline constexpr const char* OPChk4 = "OPChk4";  // reactivate the main window
inline constexpr const char* OPChk5 = "OPChk5";  // start with the last category
inline constexpr const char* OPChk6 = "OPChk6";  // show the splash window
inline constexpr const char* OPOption = "OPOption";
inline constexpr const char* SLd3 = "SLd3";  // top margin of the address printout, mm
inline constexpr const char* SLd4 = "SLd4";  // left margin of the address printout, mm
inline constexpr const char* Ruecksendeangabe = "Ruecksendeangabe";  // sender line on envelopes

// Address and notes fonts
inline constexpr const char* AFN = "AFN";
inline constexpr const char* AFS = "AFS";
inline constexpr const char* AFB = "AFB";
inline constexpr const char* AFi = "AFi";
inline constexpr const char* AFC = "AFC";
inline constexpr const char* NFN = "NFN";
inline constexpr const char* NFS = "NFS";
inline constexpr const char* NFB = "NFB";
inline constexpr const char* NFi = "NFi";
inline constexpr const char* NFC = "NFC";

// Backups: how many of the newest stay, and for how many months one each
inline constexpr const char* SicherungenLetzte = "SicherungenLetzte";
inline constexpr const char* SicherungenMonate = "SicherungenMonate";

// Minutes between automatic syncs; 0 for none
inline constexpr const char* SyncMinuten = "SyncMinuten";

// Coming birthdays shown at start when one falls within so many days
inline constexpr const char* GeburtstageZeigen = "GeburtstageZeigen";
inline constexpr const char* GeburtstageTage = "GeburtstageTage";

// Search window
inline constexpr const char* SuchFensterTop = "SuchFensterTop";
inline constexpr const char* SuchFensterLeft = "SuchFensterLeft";
inline constexpr const char* SuchFensterwidth = "SuchFensterwidth";

}  // namespace veltro::settings::key

namespace veltro::settings {

enum class Kind { Text, Number, Flag, Bool };
// What a stored number outside its range becomes.
enum class OutOfRange { Clamp, Default };

inline constexpr double kNoDefault = std::numeric_limits<double>::quiet_NaN();

// Every setting the program keeps: its key, kind, default and range. A number that is
// empty or unreadable reads as the default; "none" where there is no default.
struct Setting {
    const char* key;
    Kind kind;
    double byDefault = kNoDefault;
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    OutOfRange outOfRange = OutOfRange::Clamp;
};

inline constexpr Setting kSettings[] = {
    {key::PFensterWidth, Kind::Number, kNoDefault, 1500, 1e6},
    {key::PFensterHeight, Kind::Number, kNoDefault, 1500, 1e6},
    {key::PFensterMax, Kind::Text},
    {key::LetzteKategorie, Kind::Text},
    {key::List1FontName, Kind::Text},
    {key::List1FontSize, Kind::Number, kNoDefault, 1, 400, OutOfRange::Default},
    {key::List1FontBold, Kind::Bool},
    {key::List1FontItalic, Kind::Bool},
    {key::WeitereAngaben, Kind::Flag, 0},
    {key::OPChk1, Kind::Flag, 0},
    {key::OPChk2, Kind::Flag, 0},
    {key::OPChk3, Kind::Flag, 0},
    {key::OPChk4, Kind::Flag, 1},
    {key::OPChk5, Kind::Flag, 0},
    {key::OPChk6, Kind::Flag, 1},
    {key::OPOption, Kind::Number, 1, 1, 7, OutOfRange::Default},
    {key::SLd3, Kind::Number, 50, 0, 100},
    {key::SLd4, Kind::Number, 25, 0, 100},
    {key::Ruecksendeangabe, Kind::Text},
    {key::AFN, Kind::Text},
    {key::AFS, Kind::Number, kNoDefault, 1, 400, OutOfRange::Default},
    {key::AFB, Kind::Bool},
    {key::AFi, Kind::Bool},
    {key::AFC, Kind::Number},
    {key::NFN, Kind::Text},
    {key::NFS, Kind::Number, kNoDefault, 1, 400, OutOfRange::Default},
    {key::NFB, Kind::Bool},
    {key::NFi, Kind::Bool},
    {key::NFC, Kind::Number},
    {key::SicherungenLetzte, Kind::Number, 10, 1, 100},
    {key::SicherungenMonate, Kind::Number, 12, 0, 120},
    {key::SyncMinuten, Kind::Number, 0, 0, 24 * 60},
    {key::GeburtstageZeigen, Kind::Flag, 0},
    {key::GeburtstageTage, Kind::Number, 7, 0, 365},
    {key::SuchFensterTop, Kind::Number, kNoDefault, -1e6, 1e6},
    {key::SuchFensterLeft, Kind::Number, kNoDefault, -1e6, 1e6},
    {key::SuchFensterwidth, Kind::Number, kNoDefault, 0, 1e6},
};

[[nodiscard]] constexpr const Setting& setting(std::string_view key) {
    for (const Setting& entry : kSettings) {
        if (key == entry.key) {
            return entry;
        }
    }
    throw "unknown setting";  // a compile-time error where the key is a constant
}

}  // namespace veltro::settings
