#include "labels/EnvelopeDialog.h"
#include "labels/LabelsDialog.h"
#include "labels/ListPrintDialog.h"
#include "labels/SerialLetter.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "platform/Platform.h"
#include "printing/PrintController.h"
#include "store/AtomicFile.h"
#include "store/CardExtrasTable.h"
#include "store/Categories.h"
#include "store/LikePattern.h"

#include <QComboBox>

namespace veltro::mainwindow {

namespace {

template <typename Dialog>
void openDialog(Dialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

// The cards with what they hold beyond their fields, read when a print asks for it.
labels::CardSet withExtras(labels::CardSet set, session::Session& session) {
    set.extrasOf = [&session](std::int64_t card) {
        return session.isOpen() ? store::loadCardExtras(session.store().db(), card)
                                : store::CardExtras();
    };
    return set;
}

}  // namespace

void MainWindow::connectLabelCommands() {
    connectEntry("mnuEtiketten", [this] {
        if (session_->isOpen()) {
            openDialog(new labels::LabelsDialog(withExtras(categoryCards(), *session_),
                                                listedCards(), printer_->printer(), this));
        }
    });
    connectEntry("mnuUmschlag", [this] {
        if (session_->isOpen()) {
            openDialog(new labels::EnvelopeDialog(withExtras(shownCard(), *session_), listedCards(),
                                                  optionsDialog().senderLine(), printer_->printer(),
                                                  this));
        }
    });
    connectEntry("mnuListeDrucken", [this] {
        if (session_->isOpen()) {
            openDialog(new labels::ListPrintDialog(withExtras(listedCards(), *session_),
                                                   printer_->printer(), this));
        }
    });
    connectEntry("mnuSerienbrief", [this] { exportSerialLetterData(); });
}

std::vector<store::Card> MainWindow::loadCards(const std::vector<std::int64_t>& ids) {
    std::vector<store::Card> cards;
    cards.reserve(ids.size());
    for (const std::int64_t id : ids) {
        auto card = session_->store().loadCard(id);
        if (!card) {
            continue;
        }
        // The shown card as typed, saved or not; its heading and category are the list's.
        if (editor_->shownCardId() == id) {
            const store::Card viewed = editor_->viewedCard();
            for (std::size_t i = 0; i < store::kFieldCount; ++i) {
                if (viewed.values[i]) {
                    card->values[i] = viewed.values[i];
                }
            }
        }
        cards.push_back(std::move(*card));
    }
    return cards;
}

labels::CardSet MainWindow::categoryCards() {
    const QString category = ui_.Combo1->currentText();
    const store::CategoryFilter filter(category);
    std::vector<std::int64_t> ids;
    for (const std::int32_t position :
         list_->index().filter(filter, *store::LikePattern::compile(u"*"))) {
        ids.push_back(list_->index().id(position));
    }
    return {filter.isAll() ? QStringLiteral("Alle Karten")
                           : QStringLiteral("Kategorie „%1“").arg(category),
            loadCards(ids)};
}

labels::CardSet MainWindow::listedCards() {
    std::vector<std::int64_t> ids;
    const CardListModel& model = list_->model();
    ids.reserve(static_cast<std::size_t>(model.count()));
    for (int row = 0; row < model.count(); ++row) {
        ids.push_back(model.id(row));
    }
    const QString category = ui_.Combo1->currentText();
    return {store::isAllCategories(category)
                ? QStringLiteral("Karten der Liste")
                : QStringLiteral("Karten der Liste (%1)").arg(category),
            loadCards(ids)};
}

labels::CardSet MainWindow::shownCard() {
    labels::CardSet set{QStringLiteral("Angezeigte Karte"), {}};
    if (const auto id = editor_->shownCardId()) {
        set.cards = loadCards({*id});
    }
    return set;
}

void MainWindow::exportSerialLetterData() {
    if (!session_->isOpen()) {
        return;
    }
    platform::FileRequest request;
    request.title = QStringLiteral("Serienbrief-Daten exportieren");
    request.filters = {QStringLiteral("CSV-Dateien (*.csv)")};
    request.proposedName = QStringLiteral("Serienbrief.csv");
    const auto chosen = platform::current().saveFile(request);
    if (!chosen || chosen->path.isEmpty()) {
        return;
    }
    const std::vector<store::Card> cards = listedCards().cards;
    store::AtomicFile file(chosen->path, store::AtomicFile::Buffering::Unbuffered);
    const QByteArray csv = labels::serialLetterCsv(cards);
    if (!file.open() || !file.write(csv) || !file.commit()) {
        platform::current().message({QStringLiteral("Die Datei %1 lässt sich nicht schreiben: %2")
                                         .arg(chosen->path, file.reason()),
                                     request.title, platform::Buttons::Ok,
                                     platform::Icon::Exclamation, 0});
    }
}

}  // namespace veltro::mainwindow
