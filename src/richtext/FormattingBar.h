#pragma once

#include "richtext/BlockFormatter.h"

#include <QObject>

#include <functional>

namespace veltro::richtext {

class CommandBars;
class RichTextBlock;

// Gives the formatting keys of Toolbar3 their commands on the address and notes block, and
// makes the bar show the format of the selection in the block that has the keyboard focus.
class FormattingBar : public QObject {
    Q_OBJECT

public:
    FormattingBar(CommandBars& bars, RichTextBlock& address, RichTextBlock& notes,
                  QObject* parent = nullptr);

    // Also for the "Text formatieren..." entries of the blocks' context menus.
    [[nodiscard]] BlockFormatter& formatter() { return formatter_; }
    // Runs when the user clicks into a block or releases a key in it, before the bar follows.
    void setTouchedHandler(std::function<void()> handler) { touched_ = std::move(handler); }
    // The block that has the keyboard focus, if any.
    [[nodiscard]] RichTextBlock* focusedBlock() const;
    // Shows the block's selection on the style and alignment buttons.
    void follow(RichTextBlock& block);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggle(Style style, const QString& key);
    void align(Alignment alignment);
    void afterDialog(bool applied);
    void showAlignment(Alignment alignment);
    [[nodiscard]] RichTextBlock* blockOf(QObject* watched) const;

    CommandBars& bars_;
    RichTextBlock& address_;
    RichTextBlock& notes_;
    // Compared only, never called: a viewport may be half destroyed when its events come.
    const QObject* addressView_;
    const QObject* notesView_;
    BlockFormatter formatter_;
    std::function<void()> touched_;
};

}  // namespace veltro::richtext
