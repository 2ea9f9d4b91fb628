#pragma once

#include "richtext/RichDocument.h"
#include "richtext/SelectionAttributes.h"

#include <QTextEdit>

namespace veltro::richtext {

// The address and notes block: a text edit whose content goes in and out as RTF, which copies
// a selection as RTF and plain text at once and pastes RTF when the clipboard offers it.
class RichTextBlock : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBlock(QWidget* parent = nullptr);

    // The whole content as 7-bit RTF, ready to store.
    QString rtfText() const;
    // Replaces the content with a stored block, RTF or plain text; clears undo and modified.
    void setRtfText(const QString& stored);
    // Whether the block holds less than the RTF it was given, stored or pasted: formats,
    // objects or tables it cannot keep, which a save of the block leaves out.
    [[nodiscard]] bool losesFormatting() const { return dropped_ > 0; }
    // Paragraphs joined by the line break; bullets give no marker.
    QString plainText(LineBreak lineBreak = LineBreak::Lf) const;

    SelectionAttributes selectionAttributes() const;
    // Makes the selected paragraphs (or the cursor's) bullet items or plain paragraphs.
    void setSelectionBullet(bool bullet);
    void setSelectionAlignment(Alignment alignment);

Q_SIGNALS:
    // The selection or the format at the cursor changed; read selectionAttributes() again.
    void selectionAttributesChanged();

protected:
    // Tab moves on to the next widget as everywhere else; Ctrl+Tab types a tab.
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int dropped_ = 0;
};

}  // namespace veltro::richtext
