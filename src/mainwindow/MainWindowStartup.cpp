#include "base/Failure.h"
#include "maintenance/FirstStepsDialog.h"
#include "mainwindow/CaptionContrast.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/EinstellungenAnwenden.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/UndoCommands.h"
#include "options/OptionsDialog.h"
#include "platform/Placement.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "richtext/RichTextBlock.h"
#include "store/Categories.h"
#include "store/Compaction.h"
#include "store/DataDirectory.h"
#include "store/PendingEdit.h"
#include "store/Schema.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"
#include "store/StoreError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace veltro::mainwindow {

namespace key = settings::key;

bool MainWindow::Form_Load() {
    QFont listFont = ui_.List1->font();
    if (const QString face = settings::read(key::List1FontName); !face.isEmpty()) {
        listFont.setFamily(face);
    }
    if (const auto size = settings::number(key::List1FontSize)) {
        listFont.setPointSizeF(*size);
    }
    ui_.List1->setFont(listFont);

    const std::filesystem::path directory = store::dataDirectory();
    std::optional<store::CardIndex> preloaded;
    if (preloaded_.valid()) {
        preloaded = preloaded_.get();  // it compacted the store, if that was worthwhile
    }
    store::DatenbankKomprimieren(directory);
    setWindowTitle(windowTitleText());
    try {
        session_->open(directory, std::move(preloaded));
    } catch (...) {
        const QString reason = describeFailure(std::current_exception()).text;
        Q_EMIT loadFailing();
        platform::current().message(
            {QStringLiteral("Die Kartei %1 lässt sich nicht öffnen.\n%2")
                 .arg(QString::fromStdString((directory / store::kStoreFileName).string()), reason),
             windowTitleText(), platform::Buttons::Ok, platform::Icon::None, 0});
        return false;
    }
    editor_->setStore(&session_->store());
    storeLoaded_ = true;
    undo_->refresh();
    fullTextArmed_ = false;
    list_->fillCategorySelector();
    // Text16 and Text18 keep what they hold.
    for (int number = 2; number <= 19; ++number) {
        if (ui_.box(number) != nullptr && number != 18) {
            ui_.box(number)->clear();
        }
    }
    ui_.Text1->clear();
    ui_.RichTextBox1->clear();
    ui_.RichTextBox2->clear();
    list_->setCountPanel(0, list_->total());
    ui_.Combo1->setCurrentIndex(0);
    Combo1_Click();
    optionsDialog();
    restoreWindow();
    applySettings();
    // Once the window stands: the search window or the first steps, then the full-text
    // index is read while the user starts working.
    QTimer::singleShot(0, this, [this] {
        offerPendingEdit();
        if (optionsDialog().startWithSearchWindow()) {
            openSearchWindow();
        }
        if (ui_.Combo1->count() < 2) {
            maintenance::FirstStepsDialog::open(this);
        } else {
            showBirthdaysAtStart();
        }
        startFullTextBuild();
        if (settings::number(key::SyncMinuten).value_or(0) > 0) {
            syncDialog();  // it keeps the timer of the automatic sync
        }
    });
    return true;
}

namespace {

// The further details as the message about a card that is gone lists them.
QStringList typedExtrasLines(const store::TypedExtras& extras) {
    QStringList lines;
    const std::pair<const char*, const QString*> named[] = {{"Geburtstag", &extras.birthday},
                                                            {"Jahrestag", &extras.anniversary},
                                                            {"Spitzname", &extras.nickname},
                                                            {"Titel", &extras.title},
                                                            {"Rolle", &extras.role}};
    for (const auto& [name, text] : named) {
        if (!text->isEmpty()) {
            lines << QString::fromUtf8(name) + QStringLiteral(": ") + *text;
        }
    }
    for (const store::Entry& entry : extras.entries) {
        if (!entry.isBlank()) {
            const QStringList parts{entry.value, entry.postcode, entry.town, entry.country};
            lines << store::kindName(entry.kind) + QStringLiteral(" (") +
                         store::typeName(entry.type) + QStringLiteral("): ") +
                         parts.filter(QRegularExpression(QStringLiteral("\\S"))).join(u", ");
        }
    }
    return lines;
}

}  // namespace

void MainWindow::offerPendingEdit() {
    const std::filesystem::path storeFile = session_->store().file();
    const auto edit = store::readPendingEdit(storeFile);
    if (!edit) {
        return;
    }
    std::optional<std::int64_t> card;
    try {
        card = store::cardOfPendingEdit(session_->store(), *edit);
    } catch (const store::StoreError&) {
        return;  // asked again at the next start
    }
    const QString title = windowTitleText();
    if (!card || !list_->index().positionOf(*card)) {
        QStringList typed;
        for (const auto& [field, text] : edit->values) {
            typed << store::columnName(field) + QStringLiteral(": ") + text;
        }
        if (edit->extras) {
            typed << typedExtrasLines(*edit->extras);
        }
        platform::current().message(
            {QStringLiteral("Nicht gespeicherte Eingaben zu „%1“ gefunden, aber die Karte gibt "
                            "es nicht mehr. Die Eingaben waren:\n\n%2")
                 .arg(edit->heading, typed.join(u'\n')),
             title, platform::Buttons::Ok, platform::Icon::Exclamation, 0});
        store::removePendingEdit(storeFile);
        return;
    }
    const auto answer = platform::current().message(
        {QStringLiteral("Nicht gespeicherte Eingaben zu „%1“ gefunden. Übernehmen?")
             .arg(edit->heading),
         title, platform::Buttons::YesNo, platform::Icon::Question, 0});
    if (answer == platform::Answer::Yes) {
        undo_->showCard(*card);
        // A store that refuses them keeps them in the file for another try.
        if (editor_->shownCardId() != card || !editor_->takeRecovered(edit->values, edit->extras)) {
            return;
        }
    }
    store::removePendingEdit(storeFile);
}

void MainWindow::restoreWindow() {
    const bool restoreSize = optionsDialog().restoreWindowSize();
    const auto width = settings::number(key::PFensterWidth);
    const auto height = settings::number(key::PFensterHeight);
    if (restoreSize && width && height) {
        platform::resizeWithin(*this, {platform::twipsToPixels(*width, *this),
                                       platform::twipsToPixels(*height, *this)});
    }
    if (optionsDialog().startWithSearchWindow()) {
        // Shown minimised from the start: shown normal and minimised a moment later, the
        // window manager may report either state last.
        setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
    } else if (settings::read(key::PFensterMax) == u"1") {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    }
    if (optionsDialog().startWithLastCategory() && ui_.Combo1->count() > 0) {
        const QString last = settings::read(key::LetzteKategorie);
        if (store::isAllCategories(last)) {
            ui_.Combo1->setCurrentIndex(0);
            Combo1_Click();
        } else {
            for (int i = 0; i < ui_.Combo1->count(); ++i) {
                ui_.Combo1->setCurrentIndex(i);
                Combo1_Click();
                if (ui_.Combo1->itemText(i) == last) {
                    break;
                }
            }
        }
    }
}

options::OptionsDialog& MainWindow::optionsDialog() {
    if (options_ == nullptr) {
        options_ = new options::OptionsDialog(ui_.List1, this);
        connect(options_, &options::OptionsDialog::settingsStored, this,
                [this] { applySettings(); });
    }
    return *options_;
}

void MainWindow::applySettings() {
    EinstellungenAnwenden(ui_, optionsDialog());
    contrast_->update();
}

void MainWindow::Form_Unload() {
    // The inner size, which the start-up gives back; the frame is the window manager's. A
    // maximised window keeps the size it returns to.
    const QSize size =
        isMaximized() && normalGeometry().isValid() ? normalGeometry().size() : this->size();
    settings::write(
        {{key::PFensterWidth,
          settings::numberText(std::round(platform::pixelsToTwips(size.width(), *this)))},
         {key::PFensterHeight,
          settings::numberText(std::round(platform::pixelsToTwips(size.height(), *this)))},
         {key::PFensterMax, isMaximized() ? QStringLiteral("1") : QStringLiteral("0")},
         {key::LetzteKategorie, ui_.Combo1->currentText()}});
}

}  // namespace veltro::mainwindow
