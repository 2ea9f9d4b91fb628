#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <span>

class QAction;
class QMainWindow;
class QToolBar;

namespace veltro::richtext {

// The three toolbars side by side at the top of the main window: Toolbar1 (card and tool
// commands), Toolbar2 (editing), Toolbar3 (formatting). A button is known by its key, which is
// also the object name of its action and of its tool button.
class CommandBars : public QObject {
    Q_OBJECT

public:
    struct Button {
        const char* key;
        const char* toolTip;  // UTF-8
        int band;             // 1 … 3
        bool twoState;        // shows pressed or not
        bool separatorBefore;
        const char* themeIcon;
    };

    // Every button in the order of the bars; dispatch follows this order.
    static std::span<const Button> buttons();

    // Adds the bars to the window's top area; they belong to the window.
    explicit CommandBars(QMainWindow& window);

    using Command = std::function<void()>;
    // What a key runs; a later call replaces it.
    void setCommand(const QString& key, Command command);
    // Runs the command of the first button in table order with this key. False when no button
    // has the key; a key without a command does nothing. A command that throws ends silently.
    bool dispatch(const QString& key);

    [[nodiscard]] QToolBar* bar(int band) const;
    [[nodiscard]] QAction* action(const QString& key) const;
    // Only the commands press and release two-state buttons; a click alone changes nothing.
    [[nodiscard]] bool isPressed(const QString& key) const;
    void setPressed(const QString& key, bool pressed);

private:
    std::array<QToolBar*, 3> bars_{};
    QHash<QString, QAction*> actions_;
    QHash<QString, Command> commands_;
};

}  // namespace veltro::richtext
