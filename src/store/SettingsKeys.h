#pragma once

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

// Search window
inline constexpr const char* SuchFensterTop = "SuchFensterTop";
inline constexpr const char* SuchFensterLeft = "SuchFensterLeft";
inline constexpr const char* SuchFensterwidth = "SuchFensterwidth";

}  // namespace veltro::settings::key
