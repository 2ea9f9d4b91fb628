#include "printing/PrintCommand.h"

namespace veltro::printing {

namespace {

QString addressQuestion() {
    return QStringLiteral("Anschrift drucken?");
}
QString notesQuestion() {
    return QStringLiteral("Notizen drucken?");
}
QString fieldsQuestion() {
    return QStringLiteral("Eingabefelder drucken?");
}
// The file menu's and the card menu's card questions differ in their trailing blanks.
QString cardQuestion(int trailingBlanks) {
    return QStringLiteral("Diese Karte drucken?") + QString(trailingBlanks, u' ');
}

}  // namespace

PrintCommand commandFor(PrintEntry entry) {
    switch (entry) {
        case PrintEntry::MenuAddress:
            return {PrintLayout::Address, addressQuestion()};
        case PrintEntry::MenuNotes:
            return {PrintLayout::Notes, notesQuestion()};
        case PrintEntry::MenuFields:
            return {PrintLayout::Fields, fieldsQuestion()};
        case PrintEntry::MenuCard:
            return {PrintLayout::Card, cardQuestion(10)};
        case PrintEntry::CardMenuCard:
            return {PrintLayout::Card, cardQuestion(11)};
        case PrintEntry::PopupAddress:
            return {PrintLayout::Address, std::nullopt};
        case PrintEntry::PopupNotes:
            return {PrintLayout::Notes, std::nullopt};
    }
    return {PrintLayout::Card, cardQuestion(10)};
}

PrintCommand commandForFocus(FocusedWidget focus) {
    switch (focus) {
        case FocusedWidget::AddressBlock:
            return commandFor(PrintEntry::MenuAddress);
        case FocusedWidget::NotesBlock:
            return commandFor(PrintEntry::MenuNotes);
        case FocusedWidget::CardList:
            return commandFor(PrintEntry::MenuCard);
        case FocusedWidget::Other:
            break;
    }
    return commandFor(PrintEntry::MenuFields);
}

QString layoutName(PrintLayout layout) {
    switch (layout) {
        case PrintLayout::Address:
            return QStringLiteral("Anschrift");
        case PrintLayout::Notes:
            return QStringLiteral("Notizen");
        case PrintLayout::Fields:
            return QStringLiteral("Eingabefelder");
        case PrintLayout::Card:
            return QStringLiteral("Karte");
    }
    return {};
}

}  // namespace veltro::printing
