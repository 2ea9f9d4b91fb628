#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace veltro::mainwindow {

// The menu bar and the hidden pop-up menus, every entry an action found by its name.
class MainMenus {
public:
    explicit MainMenus(QMainWindow& window);

    [[nodiscard]] QAction* action(const QString& name) const;
    [[nodiscard]] QMenu* menu(const QString& name) const;

private:
    QMenu* addMenu(QMenu* parent, const char* name, const QString& text);
    QAction* addEntry(QMenu* menu, const char* name, const QString& text);
    void buildFileMenu(QMenu* bar);
    void buildBarMenus();
    void buildPopups();
    void setShortcuts();

    QMainWindow& window_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};

}  // namespace veltro::mainwindow
