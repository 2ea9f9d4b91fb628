#pragma once

namespace veltro::mainwindow {
struct MainWindowUi;
}

namespace veltro::options {

class OptionsDialog;

// Brings the main window in line with the settings the options dialog holds: background
// picture or colour, the colours of the field and label groups, the card list's font.
// The notes block keeps its own colours. Running it twice gives the same result.
void EinstellungenAnwenden(const mainwindow::MainWindowUi& ui, const OptionsDialog& options);

}  // namespace veltro::options
