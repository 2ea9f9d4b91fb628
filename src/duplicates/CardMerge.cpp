#include "duplicates/CardMerge.h"

#include "duplicates/Folding.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "store/CardExtrasTable.h"
#include "store/StoreError.h"

#include <QStringList>

#include <vector>

namespace veltro::duplicates {

using store::Card;
using store::Field;

namespace {

bool isRich(Field field) {
    return field == Field::Anschrift || field == Field::Notizen;
}

// What the user reads of a field.
QString visible(const Card& card, Field field) {
    const QString text = card.text(field);
    if (!isRich(field)) {
        return text.trimmed();
    }
    return richtext::plainTextFromStored(text, richtext::LineBreak::Lf).trimmed();
}

// What a field holds; the "-" an import writes for an empty field holds nothing.
QString valueOf(const Card& card, Field field) {
    QString value = visible(card, field);
    return value == u"-" ? QString() : value;
}

// Whether the cards name the same one: by first and family name where both have a family
// name, by heading otherwise. Values of a card with another name (a firm sharing a
// number) are not proposed.
bool sameName(const Card& a, const Card& b) {
    const auto folded = [](const Card& card, Field field) { return foldName(card.text(field)); };
    if (!folded(a, Field::Nachname).isEmpty() && !folded(b, Field::Nachname).isEmpty()) {
        return folded(a, Field::Nachname) == folded(b, Field::Nachname) &&
               folded(a, Field::Vorname) == folded(b, Field::Vorname);
    }
    return folded(a, Field::Schlagworte) == folded(b, Field::Schlagworte);
}

// The other document's runs spelled out with its default face, so that they keep their
// look beside a document with another default.
void appendParagraphs(richtext::RichDocument& to, const richtext::RichDocument& from) {
    for (richtext::Paragraph paragraph : from.paragraphs) {
        for (richtext::TextRun& run : paragraph.runs) {
            if (run.format.family.isEmpty()) {
                run.format.family = from.defaultFamily;
            }
            if (run.format.halfPoints == 0) {
                run.format.halfPoints = from.defaultHalfPoints;
            }
        }
        to.paragraphs.push_back(std::move(paragraph));
    }
}

richtext::Paragraph plainParagraph(const QString& text) {
    richtext::Paragraph paragraph;
    paragraph.runs.push_back({text, {}});
    return paragraph;
}

// Values not taken that the merged card does not show anywhere, the card number too; a
// heading that differs only by an import's "_1" says nothing new.
QStringList valuesNotTaken(const Card& keep, const Card& other, const Card& merged) {
    QStringList lines;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (field == Field::Notizen) {
            continue;
        }
        for (const Card* source : {&keep, &other}) {
            const QString value = valueOf(*source, field);
            const bool sameHeading =
                field == Field::Schlagworte &&
                withoutImportSuffix(value) == withoutImportSuffix(visible(merged, field));
            if (!value.isEmpty() && value != visible(merged, field) && !sameHeading) {
                lines << store::columnName(field) + QStringLiteral(": ") +
                             QString(value).replace(u'\n', QStringLiteral(" / "));
            }
        }
    }
    lines.removeDuplicates();
    return lines;
}

QString joinedNotes(const Card& keep, const Card& other, const QStringList& notTaken) {
    const bool keepHas = !visible(keep, Field::Notizen).isEmpty();
    const bool otherHas = !visible(other, Field::Notizen).isEmpty() &&
                          visible(other, Field::Notizen) != visible(keep, Field::Notizen);
    if (!otherHas && notTaken.isEmpty()) {
        return keep.text(Field::Notizen);
    }
    if (!keepHas && notTaken.isEmpty()) {
        return other.text(Field::Notizen);
    }
    richtext::RichDocument notes = richtext::documentFromStored(keep.text(Field::Notizen));
    if (!keepHas) {
        notes.paragraphs.clear();
    }
    if (otherHas) {
        if (!notes.paragraphs.empty()) {
            notes.paragraphs.push_back(plainParagraph({}));
        }
        appendParagraphs(notes, richtext::documentFromStored(other.text(Field::Notizen)));
    }
    if (!notTaken.isEmpty()) {
        if (!notes.paragraphs.empty()) {
            notes.paragraphs.push_back(plainParagraph({}));
        }
        notes.paragraphs.push_back(
            plainParagraph(QStringLiteral("Beim Zusammenführen nicht übernommen:")));
        for (const QString& line : notTaken) {
            notes.paragraphs.push_back(plainParagraph(line));
        }
    }
    return QString::fromLatin1(richtext::writeRtf(notes));
}

}  // namespace

bool differs(const Card& a, const Card& b, Field field) {
    return visible(a, field) != visible(b, field);
}

MergePlan proposedMerge(const Card& keep, const Card& other) {
    MergePlan plan{keep.id, other.id, {}};
    if (!sameName(keep, other)) {
        return plan;
    }
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        plan.take(field, valueOf(keep, field).isEmpty() && !valueOf(other, field).isEmpty());
    }
    plan.take(Field::Notizen, false);
    return plan;
}

Card mergedCard(const Card& keep, const Card& other, const MergePlan& plan) {
    Card merged = keep;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (field != Field::Notizen && plan.takes(field)) {
            merged.set(field, other.value(field));
        }
    }
    merged.set(Field::Notizen, joinedNotes(keep, other, valuesNotTaken(keep, other, merged)));
    return merged;
}

namespace {

Card mergeInto(store::CardStore& store, const MergePlan& plan) {
    const auto keep = store.loadCard(plan.keep);
    const auto other = store.loadCard(plan.other);
    if (!keep || !other || plan.keep == plan.other) {
        throw store::StoreError("Eine der Karten ist nicht mehr in der Kartei.");
    }
    Card merged = mergedCard(*keep, *other, plan);
    // The other card's extras go with it; the kept card takes them first.
    const auto extras = store::joinedExtras(store::loadCardExtras(store.db(), plan.keep),
                                            store::loadCardExtras(store.db(), plan.other));
    std::vector<std::pair<Field, QString>> changed;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (merged.value(field) != keep->value(field)) {
            changed.emplace_back(field, merged.text(field));
        }
    }
    // The other card goes first, so that the kept card may take its heading.
    store.deleteCard(plan.other);
    if (!changed.empty()) {
        store.writeFields(plan.keep, changed);
    }
    store::writeCardExtras(store.db(), plan.keep, extras);
    return merged;
}

}  // namespace

Card mergeCards(store::CardStore& store, const MergePlan& plan) {
    return mergeCards(store, std::vector<MergePlan>{plan});
}

Card mergeCards(store::CardStore& store, const std::vector<MergePlan>& plans) {
    store::Transaction tx(store.db());
    Card merged;
    for (const MergePlan& plan : plans) {
        merged = mergeInto(store, plan);
    }
    tx.commit();
    return merged;
}

}  // namespace veltro::duplicates
