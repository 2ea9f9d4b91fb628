#include "mainwindow/ExtrasPanel.h"

#include "mainwindow/EntryList.h"
#include "platform/WidgetTools.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace veltro::mainwindow {

using store::EntryKind;

namespace {

constexpr EntryKind kPanelKinds[] = {EntryKind::Telefon, EntryKind::EMail, EntryKind::Anschrift,
                                     EntryKind::Webseite};

}  // namespace

ExtrasPanel::ExtrasPanel(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Weitere Angaben"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 8, 4);
    auto* form = new QFormLayout();
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // In a narrow column the captions stand above their boxes.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
    } lines[kLines] = {
        {"Geburtstag", "&Geburtstag", "TT.MM.JJJJ"},
        {"Jahrestag", "&Jahrestag", "TT.MM.JJJJ"},
        {"Spitzname", "S&pitzname", ""},
        {"Titel", "&Titel/Position", ""},
        {"Rolle", "&Rolle", ""},
    };
    for (int i = 0; i < kLines; ++i) {
        auto* line = platform::named(new QLineEdit(this), lines[i].name);
        line->setPlaceholderText(QString::fromUtf8(lines[i].hint));
        auto* label = new QLabel(QString::fromUtf8(lines[i].caption), this);
        label->setBuddy(line);
        line->installEventFilter(this);
        connect(line, &QLineEdit::textEdited, this, &ExtrasPanel::edited);
        form->addRow(label, line);
        lines_.at(i) = line;
    }
    lines_[Birthday]->setToolTip(QStringLiteral("Tag, Monat und Jahr; ohne Jahr als TT.MM."));
    lines_[Anniversary]->setToolTip(lines_[Birthday]->toolTip());
    column->addLayout(form);
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        auto* list = new EntryList(kPanelKinds[i], this);
        list->setObjectName(QStringLiteral("Eintraege") + store::kindName(kPanelKinds[i]));
        connect(list, &EntryList::edited, this, &ExtrasPanel::edited);
        connect(list, &EntryList::focusLeft, this, &ExtrasPanel::left);
        connect(list, &EntryList::changedWhole, this, &ExtrasPanel::left);
        connect(list, &EntryList::mapWanted, this, &ExtrasPanel::mapWanted);
        column->addSpacing(6);
        column->addWidget(list);
        lists_[i] = list;
    }
    column->addStretch(1);
}

void ExtrasPanel::showExtras(const store::CardExtras& extras) {
    showTyped(store::TypedExtras::of(extras));
}

void ExtrasPanel::showTyped(const store::TypedExtras& typed) {
    const QString* texts[kLines] = {&typed.birthday, &typed.anniversary, &typed.nickname,
                                    &typed.title, &typed.role};
    for (int i = 0; i < kLines; ++i) {
        lines_.at(i)->setText(*texts[i]);
        lines_.at(i)->setCursorPosition(0);
    }
    for (EntryList* list : lists_) {
        list->setEntries(typed.entries);
    }
}

store::TypedExtras ExtrasPanel::typed() const {
    store::TypedExtras typed{lines_[Birthday]->text(), lines_[Anniversary]->text(),
                             lines_[Nickname]->text(), lines_[Title]->text(),
                             lines_[Role]->text(),     {}};
    for (const EntryList* list : lists_) {
        const auto entries = list->entries();
        typed.entries.insert(typed.entries.end(), entries.begin(), entries.end());
    }
    return typed;
}

void ExtrasPanel::setLocked(bool locked) {
    for (QLineEdit* line : lines_) {
        line->setReadOnly(locked);
    }
    for (EntryList* list : lists_) {
        list->setLocked(locked);
    }
}

bool ExtrasPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        Q_EMIT left();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace veltro::mainwindow
