#pragma once

namespace veltro::options {
class OptionsDialog;
}

namespace veltro::mainwindow {

struct MainWindowUi;

// Brings the main window in line with the settings the options dialog holds: background
// picture or colour, the colours of the field and label groups, the card list's font.
// The notes block keeps its own colours. Running it twice gives the same result.
void EinstellungenAnwenden(const MainWindowUi& ui, const options::OptionsDialog& options);

}  // namespace veltro::mainwindow
