#include "printing/PrintLayouts.h"

#include "richtext/StoredText.h"

#include <QStringList>

namespace veltro::printing {

using store::Field;

namespace {

constexpr double kBodyPoints = 10.0;
constexpr double kHeadingPoints = 12.0;
// The card, fields and notes layouts start this far below the printable area's top.
constexpr double kTopOffset = 22.0;

const QString kRule = QString(55, u'_');

QString plain(const PrintData& data, Field block) {
    return richtext::plainTextFromStored(data.card.text(block), richtext::LineBreak::Lf);
}

void labelled(PrintJob& job, const char* label, const QString& value) {
    job.line({QString::fromUtf8(label), value});
}

// The labelled lines that the card and the fields layout share.
void addressFields(PrintJob& job, const store::Card& card) {
    labelled(job, "Anrede: ", card.text(Field::Anrede));
    labelled(job, "Vorname: ", card.text(Field::Vorname));
    labelled(job, "Nachname: ", card.text(Field::Nachname));
    job.line({QString()});
    labelled(job, "Abteilung: ", card.text(Field::Abteilung));
    labelled(job, "Firma: ", card.text(Field::Firma));
    job.line({QString()});
    labelled(job, "PLZ: ", card.text(Field::Postleitzahl));
    labelled(job, "Ort: ", card.text(Field::Ort));
    labelled(job, "Straße: ", card.text(Field::Strasse));
    job.line({QString()});
    labelled(job, "Webseite: ", card.text(Field::Webseite));
    labelled(job, "E-Mail: ", card.text(Field::EMailAdresse));
    const QString code = card.text(Field::Vorwahl);
    labelled(job, "Telefon: ", numberWithCode(code, card.text(Field::Telefon)));
    labelled(job, "Telefax: ", numberWithCode(code, card.text(Field::Fax)));
    labelled(job, "Handy: ", card.text(Field::Mobiltelefon));
}

QString entryText(const store::Entry& entry) {
    if (entry.kind != store::EntryKind::Anschrift) {
        return entry.value;
    }
    QStringList parts = {entry.value, (entry.postcode + u' ' + entry.town).trimmed(),
                         entry.country};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

// Dates, names and every further entry, each on its own labelled line.
void extrasLines(PrintJob& job, const store::CardExtras& extras) {
    const auto optional = [&job](const char* label, const QString& value) {
        if (!value.isEmpty()) {
            labelled(job, label, value);
        }
    };
    optional("Geburtstag: ", extras.birthday ? extras.birthday->shown() : QString());
    optional("Jahrestag: ", extras.anniversary ? extras.anniversary->shown() : QString());
    optional("Spitzname: ", extras.nickname);
    optional("Titel/Position: ", extras.title);
    optional("Rolle: ", extras.role);
    for (const store::Entry& entry : extras.entries) {
        job.line({store::kindName(entry.kind) + QStringLiteral(" (") + store::typeName(entry.type) +
                      QStringLiteral("): "),
                  entryText(entry)});
    }
}

}  // namespace

QString numberWithCode(const QString& code, const QString& number) {
    if (code.isEmpty()) {
        return number;
    }
    return u'(' + code + QStringLiteral(") ") + number;
}

void AllesDrucken(PrintJob& job, const PrintData& data) {
    const store::Card& card = data.card;
    job.setOrigin(-data.margins.leftOffset(), -kTopOffset);
    job.setFont(data.fieldFace, kHeadingPoints, true);
    job.line({QString()});
    labelled(job, "Karte: ", card.text(Field::Schlagworte));
    job.line({QStringLiteral("Kategorie: "), card.text(Field::Kategorien),
              QStringLiteral("KartenNr.: ") + card.text(Field::Nr)});
    job.line({kRule});
    job.setFont(data.fieldFace, kBodyPoints, false);
    job.line({QString()});
    addressFields(job, card);
    job.line({QString()});
    job.line({QString()});
    if (!data.extras.isEmpty()) {
        job.setFont(data.fieldFace, kHeadingPoints, true);
        job.line({QStringLiteral("Weitere Angaben")});
        job.line({kRule});
        job.line({QString()});
        job.setFont(data.fieldFace, kBodyPoints, false);
        extrasLines(job, data.extras);
        job.line({QString()});
        job.line({QString()});
    }
    job.setFont(data.fieldFace, kHeadingPoints, true);
    job.line({QStringLiteral("Notizen")});
    job.line({kRule});
    job.line({QString()});
    job.setFont(data.fieldFace, kBodyPoints, false);
    job.text(plain(data, Field::Notizen));
    job.finish();
}

void GeburtstageDrucken(PrintJob& job, const QString& heading,
                        std::span<const store::ComingDate> dates) {
    constexpr double kListLeft = 20.0;
    job.setOrigin(-kListLeft, -kTopOffset);
    job.setFont(std::nullopt, kHeadingPoints, true);
    job.line({heading});
    job.line({kRule});
    job.setFont(std::nullopt, kBodyPoints, false);
    job.line({QString()});
    for (const store::ComingDate& date : dates) {
        job.line({store::shownDay(date.day), date.of.heading, store::dateKindName(date.of.kind),
                  date.years ? QString::number(*date.years) : QString()});
    }
    job.finish();
}

void EingabefelderDrucken(PrintJob& job, const PrintData& data) {
    job.setOrigin(-data.margins.leftOffset(), -kTopOffset);
    job.setFont(data.fieldFace, kBodyPoints, false);
    job.line({QString()});
    addressFields(job, data.card);
    job.line({QString()});
    labelled(job, "KartenNr: ", data.card.text(Field::Nr));
    job.finish();
}

void AnschriftDrucken(PrintJob& job, const PrintData& data) {
    job.setOrigin(-data.margins.leftOffset(), -data.margins.topOffset());
    // Where the selection mixes faces or sizes, the printer keeps the one it has.
    job.setFont(data.addressFace, data.addressPoints, false);
    job.line({QString()});
    job.text(plain(data, Field::Anschrift));
    job.finish();
}

void NotizenDrucken(PrintJob& job, const PrintData& data) {
    job.setOrigin(-data.margins.leftOffset(), -kTopOffset);
    job.setFont(data.fieldFace, kBodyPoints, false);
    job.line({QString()});
    job.text(plain(data, Field::Notizen));
    job.finish();
}

void printLayout(PrintLayout layout, PrintJob& job, const PrintData& data) {
    switch (layout) {
        case PrintLayout::Address:
            AnschriftDrucken(job, data);
            return;
        case PrintLayout::Notes:
            NotizenDrucken(job, data);
            return;
        case PrintLayout::Fields:
            EingabefelderDrucken(job, data);
            return;
        case PrintLayout::Card:
            AllesDrucken(job, data);
            return;
    }
}

}  // namespace veltro::printing
