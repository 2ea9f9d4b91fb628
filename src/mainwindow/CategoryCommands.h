#pragma once

#include "mainwindow/CommandContext.h"

#include <QString>

#include <optional>

namespace veltro::mainwindow {

// The category commands: new, rename and delete. New and rename ask for the name in the
// category line (Text19) in place of the selector; the window confirms it.
class CategoryCommands {
public:
    explicit CategoryCommands(CommandContext context) : c_(context) {}

    void startNew();
    void startRename();
    void remove();

    [[nodiscard]] bool inputShown() const;
    // The name typed into the category line and not confirmed yet; nothing when the line is
    // closed or holds what it was opened with.
    [[nodiscard]] std::optional<QString> unconfirmedName() const;
    void showInput(bool show);
    void cancelInput();
    // The name for the command the line was opened for.
    [[nodiscard]] QString inputTitle() const;
    // Creates or renames; true when the user wants a new card in the new category.
    bool confirm(const QString& name);

private:
    bool create(const QString& name);
    void renameSelected(const QString& name);
    void showFirstCategory();

    enum class Input { New, Rename };
    CommandContext c_;
    Input input_ = Input::New;
    QString renaming_;  // the category the line was opened to rename
};

}  // namespace veltro::mainwindow
