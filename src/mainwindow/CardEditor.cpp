#include "mainwindow/CardEditor.h"

#include "base/Failure.h"
#include "mainwindow/ExtrasPanel.h"
#include "mainwindow/MainWindowUi.h"
#include "mainwindow/PhotoBox.h"
#include "platform/Platform.h"
#include "richtext/RichTextBlock.h"
#include "store/BusyTimeouts.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/PendingEdit.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTextDocument>

namespace veltro::mainwindow {

using store::Field;

namespace {

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// Only space characters at the start go; tabs and inner or trailing blanks stay.
QString withoutLeadingBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') {
        ++start;
    }
    return text.mid(start);
}

constexpr std::chrono::milliseconds kQuietAfterFailure{300};
const QString kFormatsLost =
    QStringLiteral("Einige Formatierungen dieser Notiz können nicht erhalten werden.");
constexpr int kFormatsLostMs = 15000;
constexpr int kKeepPendingMs = 500;

}  // namespace

bool focusStaysInWindow(const QWidget& left, const QFocusEvent& event) {
    switch (event.reason()) {
        case Qt::MouseFocusReason:
            // A right click opens a pop-up menu; it is no move on to the next field.
            if ((QGuiApplication::mouseButtons() & Qt::RightButton) != 0) {
                return false;
            }
            [[fallthrough]];
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason: {
            const QWidget* next = QApplication::focusWidget();
            return next != nullptr && next != &left && next->window() == left.window();
        }
        default:
            return false;  // a pop-up, another window or the program losing activation
    }
}

CardEditor::CardEditor(const MainWindowUi& ui, Hooks hooks, QObject* parent)
    : QObject(parent), ui_(ui), hooks_(std::move(hooks)) {
    connect(box(18), &QLineEdit::textChanged, this, [this] { completeSalutation(); });
    keepTimer_.setSingleShot(true);
    keepTimer_.setInterval(kKeepPendingMs);
    connect(&keepTimer_, &QTimer::timeout, this, [this] { keepPendingNow(); });
    for (const FieldBox& field : fieldTable()) {
        if (field.saved) {
            connect(box(field.number), &QLineEdit::textEdited, this, [this] {
                if (!keepTimer_.isActive()) {
                    keepTimer_.start();
                }
            });
        }
    }
    connect(ui_.extras, &ExtrasPanel::edited, this, [this] {
        hooks_.markChanged();
        if (!keepTimer_.isActive()) {
            keepTimer_.start();
        }
    });
    connect(ui_.extras, &ExtrasPanel::left, this, [this] { extrasLeft(); });
    // Any change of text or format, typed, pasted or composed, makes a block worth saving.
    for (const int block : {0, 1}) {
        auto* document = (block == 0 ? ui_.RichTextBox1 : ui_.RichTextBox2)->document();
        connect(document, &QTextDocument::contentsChanged, this, [this, block] {
            if (!showing_) {
                blockEdited(static_cast<std::size_t>(block));
            }
        });
    }
}

// A block that holds less than its RTF loses the rest when it is saved: the status bar says
// so once for the shown card, as soon as such a block is edited.
void CardEditor::blockEdited(std::size_t block) {
    blockChanged_[block] = true;
    if (!keepTimer_.isActive()) {
        keepTimer_.start();
    }
    const auto* edited = block == 0 ? ui_.RichTextBox1 : ui_.RichTextBox2;
    if (!toldFormatsLost_ && edited->losesFormatting()) {
        toldFormatsLost_ = true;
        ui_.StatusBar1->showMessage(kFormatsLost, kFormatsLostMs);
    }
}

void CardEditor::forgetFormatsLost() {
    toldFormatsLost_ = false;
    if (ui_.StatusBar1->currentMessage() == kFormatsLost) {
        ui_.StatusBar1->clearMessage();
    }
}

QLineEdit* CardEditor::box(int number) const {
    return ui_.box(number);
}

std::vector<std::pair<Field, QString>> CardEditor::pendingValues() const {
    std::vector<std::pair<Field, QString>> values;
    if (!shownId_) {
        return values;
    }
    // Only what the user changed: a value another program wrote meanwhile into a field left
    // alone here stays.
    for (const FieldBox& field : fieldTable()) {
        if (field.saved && box(field.number)->text() != shownValues_[store::index(field.field)]) {
            values.emplace_back(field.field, box(field.number)->text());
        }
    }
    // An untouched block keeps its stored text byte for byte.
    if (blockChanged_[0]) {
        values.emplace_back(Field::Anschrift, ui_.RichTextBox1->rtfText());
    }
    if (blockChanged_[1]) {
        values.emplace_back(Field::Notizen, ui_.RichTextBox2->rtfText());
    }
    return values;
}

std::optional<store::TypedExtras> CardEditor::pendingExtras() const {
    if (!shownId_ || !extrasRead_) {
        return std::nullopt;
    }
    store::TypedExtras typed = ui_.extras->typed();
    if (typed.sameAs(shownTyped_)) {
        return std::nullopt;
    }
    return typed;
}

bool CardEditor::hasPendingEdit() const {
    return !pending().empty();
}

void CardEditor::extrasLeft() {
    if (shownId_ && !showing_) {
        hooks_.markChanged();
        commit();
    }
}

bool CardEditor::commit() {
    if (committing_) {
        return false;  // the message of a failed commit is still open
    }
    const Pending now = pending();
    if (now.empty()) {
        return true;
    }
    if (store_ == nullptr) {
        return false;
    }
    // Leaving a box and clicking the list both save: one click, one attempt, one message.
    if (toldNotSaved_ && clock_() - *toldNotSaved_ < kQuietAfterFailure) {
        return false;
    }
    committing_ = true;
    QString failure;
    const bool written = write(now, &failure);
    // A date the calendar lacks stays typed and unsaved until the user mends it.
    const bool done = written && !pendingExtras();
    if (!done) {
        keepPendingNow();
        if (written) {
            tellDateRefused(failure);
        } else {
            tellNotSaved(failure);
        }
        toldNotSaved_ = clock_();
    }
    committing_ = false;
    return done;
}

std::optional<QString> CardEditor::commitOrKeep() {
    const Pending now = pending();
    if (now.empty()) {
        return std::nullopt;
    }
    QString failure =
        QStringLiteral("Die Kartei ist nicht geöffnet.");  // said when there is no store
    if (store_ != nullptr && write(now, &failure, Wait::Briefly) && !pendingExtras()) {
        return std::nullopt;
    }
    keepPendingNow();
    return failure;
}

// Writes the values as one step of the card's visit; the store first, then what the view
// remembers as saved.
bool CardEditor::write(const Pending& pending, QString* failure, Wait wait) {
    const std::int64_t id = *shownId_;
    // A store held by another program keeps the write waiting a few seconds: the pointer says
    // so meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    std::optional<store::ExtrasWrite> extras;
    try {
        if (hooks_.beforeSave) {
            hooks_.beforeSave();
        }
        // At the end of the run nobody waits minutes for a backup copy or another program:
        // what cannot be written soon goes to the recovery file.
        if (wait == Wait::Briefly) {
            store_->db().setBusyTimeout(store::busyTimeoutMs());
        }
        // Every save of one visit to the card is one step to undo.
        store::UndoStep step(store_->db(), kEditStep, visit_);
        store_->writeFields(id, pending.values);
        if (pending.extras) {
            extras = store::typedInto(store::loadCardExtras(store_->db(), id), shownTyped_,
                                      *pending.extras);
            store::writeCardExtras(store_->db(), id, extras->extras);
        }
        step.commit();
    } catch (...) {
        *failure = describeFailure(std::current_exception()).text;
        return false;
    }
    toldNotSaved_.reset();
    for (const auto& [field, text] : pending.values) {
        shownValues_[store::index(field)] = text;
    }
    if (extras) {
        shownExtras_ = std::move(extras->extras);
        shownTyped_ = std::move(extras->shown);
        *failure = extras->problem;
    }
    blockChanged_ = {false, false};
    forgetKept();
    hooks_.markChanged();
    hooks_.saved(id);
    return true;
}

void CardEditor::setStore(store::CardStore* store) {
    store_ = store;
    if (store != nullptr) {
        storeFile_ = store->file();
    }
}

void CardEditor::keepPendingNow() {
    keepTimer_.stop();
    if (storeFile_.empty()) {
        return;
    }
    Pending now = pending();
    if (now.empty()) {
        forgetKept();
        return;
    }
    store::PendingEdit edit{*shownId_, {}, {}, std::move(now.values), std::move(now.extras)};
    edit.heading = hooks_.heading ? hooks_.heading(*shownId_) : QString();
    try {
        if (store_ != nullptr) {
            auto uid = store_->db().prepare("SELECT Uid FROM KartenInfo WHERE KarteId = ?1");
            edit.uid = uid.bind(1, *shownId_).step() ? uid.textOrEmpty(0) : QString();
        }
    } catch (const store::StoreError&) {
        // Found by its row id at the next start, then.
    }
    kept_ = store::writePendingEdit(storeFile_, edit) || kept_;
}

// A recovery file left by an earlier run stays until its question is answered; only what
// this editor kept goes once it is saved or no longer pending.
void CardEditor::forgetKept() {
    keepTimer_.stop();
    if (kept_) {
        store::removePendingEdit(storeFile_);
        kept_ = false;
    }
}

bool CardEditor::takeRecovered(const std::vector<std::pair<Field, QString>>& values,
                               const std::optional<store::TypedExtras>& extras) {
    if (extras && !extrasRead_) {
        return false;  // the details could not be read: the file waits for another start
    }
    if (extras) {
        ui_.extras->showTyped(*extras);
    }
    for (const auto& [field, text] : values) {
        if (field == Field::Anschrift || field == Field::Notizen) {
            const bool address = field == Field::Anschrift;
            (address ? ui_.RichTextBox1 : ui_.RichTextBox2)->setRtfText(text);
            blockChanged_[address ? 0 : 1] = true;
            continue;
        }
        for (const FieldBox& box : fieldTable()) {
            if (box.field == field && box.saved) {
                this->box(box.number)->setText(text);
            }
        }
    }
    return commit();
}

void CardEditor::tellNotSaved(const QString& reason) {
    const QString heading = hooks_.heading ? hooks_.heading(*shownId_) : QString();
    platform::current().message(
        {QStringLiteral("Ihre Eingaben in der Karte „%1“ sind nicht gespeichert.\n\n%2\n\n"
                        "Die Eingaben bleiben in der Kartenansicht stehen; beim nächsten "
                        "Speichern wird es erneut versucht.")
             .arg(heading, reason),
         QStringLiteral("Karte nicht gespeichert"), platform::Buttons::Ok,
         platform::Icon::Exclamation, 0});
}

void CardEditor::tellDateRefused(const QString& reason) {
    const QString heading = hooks_.heading ? hooks_.heading(*shownId_) : QString();
    platform::current().message(
        {QStringLiteral("Das Datum in der Karte „%1“ ist nicht gespeichert.\n\n%2\n\n"
                        "Ihre Eingabe bleibt in den weiteren Angaben stehen.")
             .arg(heading, reason),
         QStringLiteral("Datum nicht gespeichert"), platform::Buttons::Ok,
         platform::Icon::Exclamation, 0});
}

void CardEditor::writePhoto(const std::optional<store::Photo>& photo) {
    if (!shownId_ || store_ == nullptr || !extrasRead_) {
        return;  // the photo box takes nothing then
    }
    const std::int64_t id = *shownId_;
    if (hooks_.beforeSave) {
        hooks_.beforeSave();
    }
    store::UndoStep step(store_->db(), kEditStep, visit_);
    store::CardExtras now = store::loadCardExtras(store_->db(), id);
    now.photo = photo;
    store::writeCardExtras(store_->db(), id, now);
    step.commit();
    shownExtras_.photo = photo;
    ui_.Foto->showPhoto(photo);
    hooks_.markChanged();
    hooks_.saved(id);
}

bool CardEditor::save() {
    if (!shownId_ || store_ == nullptr) {
        return true;  // a no-card state never blanks a stored card
    }
    hooks_.markChanged();
    return commit();
}

bool CardEditor::showCard(const store::Card& card) {
    if (!commit()) {
        return false;
    }
    forgetKept();
    shownId_ = card.id;
    ++visit_;
    showing_ = true;
    // A category name being typed in the category line stays there.
    const bool keepCategoryLine = hooks_.categoryLineInUse && hooks_.categoryLineInUse();
    for (const FieldBox& field : fieldTable()) {
        if (field.number == 19 && keepCategoryLine) {
            continue;
        }
        box(field.number)->clear();
        box(field.number)->setText(card.text(field.field));
    }
    ui_.RichTextBox1->setRtfText(card.text(Field::Anschrift));
    ui_.RichTextBox2->setRtfText(card.text(Field::Notizen));
    showExtras(card.id);
    showing_ = false;
    forgetFormatsLost();
    blockChanged_ = {false, false};
    rememberShownValues();
    postcodeWhenShown_ = box(11)->text();
    return true;
}

void CardEditor::showExtras(std::int64_t id) {
    extrasRead_ = false;
    shownExtras_ = {};
    if (store_ != nullptr) {
        try {
            shownExtras_ = store::loadCardExtras(store_->db(), id);
            extrasRead_ = true;
        } catch (const store::StoreError&) {
            // Shown locked: nothing typed there may be saved over details that were not read.
        }
    }
    ui_.extras->showExtras(shownExtras_);
    ui_.extras->setLocked(!extrasRead_);
    ui_.Foto->setLocked(!extrasRead_);
    ui_.Foto->showPhoto(shownExtras_.photo);
    shownTyped_ = ui_.extras->typed();
}

void CardEditor::rememberShownValues() {
    for (const FieldBox& field : fieldTable()) {
        shownValues_[store::index(field.field)] = box(field.number)->text();
    }
}

bool CardEditor::showNoCard() {
    if (!commit()) {
        return false;
    }
    clearBoxes(true);
    return true;
}

bool CardEditor::emptyView() {
    if (!commit()) {
        return false;
    }
    clearBoxes(false);
    return true;
}

void CardEditor::clearBoxes(bool lock) {
    forgetKept();
    shownId_.reset();
    for (const FieldBox& field : fieldTable()) {
        box(field.number)->clear();
        if (lock && field.lockable) {
            box(field.number)->setReadOnly(true);
        }
    }
    showing_ = true;
    for (auto* block : {ui_.RichTextBox1, ui_.RichTextBox2}) {
        block->clear();
        block->setReadOnly(lock);
    }
    extrasRead_ = false;
    shownExtras_ = {};
    ui_.extras->showExtras(shownExtras_);
    ui_.extras->setLocked(true);
    ui_.Foto->setLocked(true);
    ui_.Foto->showPhoto(std::nullopt);
    shownTyped_ = ui_.extras->typed();
    showing_ = false;
    blockChanged_ = {false, false};
    forgetFormatsLost();
    rememberShownValues();
}

void CardEditor::unlockBoxes() {
    for (const FieldBox& field : fieldTable()) {
        box(field.number)->setReadOnly(false);
    }
    ui_.RichTextBox1->setReadOnly(false);
    ui_.RichTextBox2->setReadOnly(false);
}

store::Card CardEditor::viewedCard() const {
    store::Card card;
    card.id = shownId_.value_or(0);
    for (const FieldBox& field : fieldTable()) {
        card.set(field.field, box(field.number)->text());
    }
    card.set(Field::Anschrift, ui_.RichTextBox1->rtfText());
    card.set(Field::Notizen, ui_.RichTextBox2->rtfText());
    return card;
}

store::CardExtras CardEditor::viewedExtras() const {
    if (!extrasRead_) {
        return shownExtras_;
    }
    return store::typedInto(shownExtras_, shownTyped_, ui_.extras->typed()).extras;
}

bool CardEditor::blockFocusOut() {
    return commit();
}

bool CardEditor::boxEvent(int number, QEvent* event) {
    const auto field = fieldBox(number);
    if (!field || number == 19) {
        return false;  // the category line belongs to the category commands
    }
    QLineEdit* edit = box(number);
    switch (event->type()) {
        case QEvent::FocusIn:
            if (number == 18 && edit->text().isEmpty()) {
                salutationArmed_ = true;
            }
            if (const QString trimmed = withoutLeadingBlanks(edit->text());
                trimmed != edit->text()) {
                edit->setText(trimmed);
            }
            if (field->flagOn == FlagOn::Focus) {
                hooks_.markChanged();
            }
            return false;
        case QEvent::FocusOut:
            return focusOut(number, event);
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!edit->isReadOnly() && (!key->text().isEmpty() || key->key() == Qt::Key_Backspace ||
                                        key->key() == Qt::Key_Delete)) {
                hooks_.markChanged();
            }
            return field->swallowsEnter && isEnter(*key);
        }
        default:
            return false;
    }
}

bool CardEditor::focusOut(int number, QEvent* event) {
    if (!shownId_) {
        return false;
    }
    hooks_.markChanged();
    commit();
    if (number == 11 && focusStaysInWindow(*box(11), *static_cast<QFocusEvent*>(event)) &&
        box(11)->text() != postcodeWhenShown_) {
        lookUpTown();
    }
    return false;
}

void CardEditor::completeSalutation() {
    if (!salutationArmed_) {
        return;
    }
    salutationArmed_ = false;
    if (showing_) {
        return;  // showing a card disarms without completing
    }
    QLineEdit* salutation = box(18);
    const QString text = salutation->text();
    const QChar first = text.isEmpty() ? QChar() : text.front().toLower();
    if (first == u'h') {
        salutation->setText(QStringLiteral("Herr"));
    } else if (first == u'f') {
        salutation->setText(QStringLiteral("Frau"));
    }
}

void CardEditor::lookUpTown() {
    const QString postcode = box(11)->text();
    if (postcode.isEmpty() || store_ == nullptr) {
        return;
    }
    try {
        if (const auto town = store_->townForPostcode(postcode)) {
            box(12)->setText(*town);
        }
    } catch (const store::StoreError&) {
        // The town box keeps its text; the lookup is only a help.
    }
}

}  // namespace veltro::mainwindow
