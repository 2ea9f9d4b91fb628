#pragma once

#include "session/Session.h"

class QWidget;

namespace veltro::mainwindow {

class CardEditor;
class CardList;
struct MainWindowUi;

// What the window's card and category commands work with: the session that does the work,
// and the widgets, the shown card and the card list that show what it left.
struct CommandContext {
    MainWindowUi& ui;
    CardEditor& editor;
    CardList& list;
    session::Session& session;
    QWidget* window;

    [[nodiscard]] bool storeOpen() const { return session.isOpen(); }
};

}  // namespace veltro::mainwindow
