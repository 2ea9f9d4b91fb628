#include "richtext/SelectionAttributes.h"

#include "richtext/TextDocumentFormats.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace veltro::richtext {
namespace {

// Collects one value per character or paragraph and remembers whether they all agreed.
template <typename T>
class Fold {
public:
    void add(const T& value) {
        if (state_ == State::Empty) {
            value_ = value;
            state_ = State::Same;
        } else if (state_ == State::Same && !(value_ == value)) {
            state_ = State::Mixed;
        }
    }
    std::optional<T> value() const {
        return state_ == State::Same ? std::optional<T>(value_) : std::nullopt;
    }
    bool empty() const { return state_ == State::Empty; }

private:
    enum class State { Empty, Same, Mixed };
    State state_ = State::Empty;
    T value_{};
};

Tri tri(const Fold<bool>& fold) {
    const std::optional<bool> value = fold.value();
    if (!value) {
        return Tri::Mixed;
    }
    return *value ? Tri::True : Tri::False;
}

Alignment alignmentOf(const QTextBlock& block) {
    return richtext::alignmentOf(block.blockFormat().alignment());
}

struct CharFolds {
    Fold<bool> bold, italic, underline, strike;
    Fold<QString> face;
    Fold<double> pointSize;
    Fold<QColor> colour;

    void add(const QTextCharFormat& format, const QFont& base, const QColor& autoColour) {
        const QFont font = format.font().resolve(base);
        bold.add(font.bold());
        italic.add(font.italic());
        underline.add(format.hasProperty(QTextFormat::TextUnderlineStyle) ||
                              format.hasProperty(QTextFormat::FontUnderline)
                          ? format.fontUnderline()
                          : base.underline());
        strike.add(font.strikeOut());
        const QStringList families = font.families();
        face.add(families.isEmpty() ? font.family() : families.front());
        pointSize.add(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75);
        const bool explicitColour = format.hasProperty(QTextFormat::ForegroundBrush) &&
                                    format.foreground().style() != Qt::NoBrush;
        colour.add(explicitColour ? format.foreground().color() : autoColour);
    }
};

}  // namespace

SelectionAttributes selectionAttributes(const QTextCursor& cursor, const QTextCharFormat& typing,
                                        const QColor& autoColour) {
    // A block holds no cursor for a moment while its text is replaced.
    const QTextDocument* document = cursor.isNull() ? nullptr : cursor.document();
    if (!document) {
        return {};
    }
    const QFont base = document->defaultFont();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();

    CharFolds chars;
    Fold<Alignment> alignment;
    Fold<bool> bullet;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        alignment.add(alignmentOf(block));
        bullet.add(block.textList() != nullptr);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() < to && fragment.position() + fragment.length() > from) {
                chars.add(fragment.charFormat(), base, autoColour);
            }
        }
    }
    if (chars.bold.empty() || !cursor.hasSelection()) {  // a selection of paragraph breaks only
        chars = CharFolds{};
        chars.add(typing, base, autoColour);
    }

    SelectionAttributes attributes;
    attributes.bold = tri(chars.bold);
    attributes.italic = tri(chars.italic);
    attributes.underline = tri(chars.underline);
    attributes.strike = tri(chars.strike);
    attributes.bullet = tri(bullet);
    attributes.alignment = alignment.value();
    attributes.face = chars.face.value();
    attributes.pointSize = chars.pointSize.value();
    attributes.colour = chars.colour.value();
    return attributes;
}

}  // namespace veltro::richtext
