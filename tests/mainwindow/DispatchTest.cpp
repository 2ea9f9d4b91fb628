#include "MainWindowFixture.h"

#include "maintenance/FirstStepsDialog.h"
#include "mainwindow/CardListView.h"
#include "mainwindow/MainMenus.h"
#include "richtext/CommandBars.h"
#include "richtext/RichTextBlock.h"
#include "richtext/StoredText.h"
#include "search/SearchWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace veltro;
using namespace Qt::Literals::StringLiterals;
using platform::Answer;
using richtext::Alignment;
using richtext::RichTextBlock;
using richtext::Tri;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

// What a test sees of the window while it runs one entry.
class Dispatch : public MainWindowFixture {
public:
    using MainWindowFixture::box;
    using MainWindowFixture::chooseCategory;
    using MainWindowFixture::focus;
    using MainWindowFixture::platform_;
    using MainWindowFixture::window;

    void openSample() {
        open({QStringLiteral("Privat")},
             {{QStringLiteral("Meier"),
               QStringLiteral("Privat"),
               {{Field::Anrede, QStringLiteral("Herr")},
                {Field::Vorname, QStringLiteral("Hans")},
                {Field::Nachname, QStringLiteral("Meier")},
                {Field::Postleitzahl, QStringLiteral("96052")},
                {Field::Ort, QStringLiteral("Bamberg")},
                {Field::EMailAdresse, QStringLiteral("hans@meier.example")},
                {Field::Anschrift, QStringLiteral("Herrn Hans Meier")},
                {Field::Notizen, QStringLiteral("Ruft montags an")}}}});
        clickLine(0);
    }
    RichTextBlock* address() const { return window_->ui().RichTextBox1; }
    RichTextBlock* notes() const { return window_->ui().RichTextBox2; }
    static QString clipboard() { return QApplication::clipboard()->text(); }
    bool asked(const QString& text) {
        return std::any_of(platform_->messages.begin(), platform_->messages.end(),
                           [&](const auto& m) { return m.text == text || m.title == text; });
    }
    static bool windowShown(const char* nameOrClass) {
        const auto widgets = QApplication::topLevelWidgets();
        return std::any_of(widgets.begin(), widgets.end(), [&](const QWidget* w) {
            return w->isVisible() &&
                   (w->objectName() == QLatin1String(nameOrClass) || w->inherits(nameOrClass));
        });
    }
    // Selects the whole text of a box or block and gives it the focus.
    void selectAllIn(QWidget* widget) {
        focus(widget);
        if (auto* block = qobject_cast<RichTextBlock*>(widget)) {
            block->selectAll();
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            box->selectAll();
        }
    }
};

struct Row {
    const char* entry;  // menu entry or toolbar key
    std::function<void(Dispatch&)> prepare;
    std::function<bool(Dispatch&)> reached;
};

using Step = std::function<void(Dispatch&)>;
using Check = std::function<bool(Dispatch&)>;

const QString kNotes = QStringLiteral("Ruft montags an");
const QString kAddress = QStringLiteral("Herrn Hans Meier");

void nothing(Dispatch&) {}

Step then(Step first, Step second) {
    return [=](Dispatch& d) {
        first(d);
        second(d);
    };
}
Step answer(Answer a, Step next = nothing) {
    return then([a](Dispatch& d) { d.platform_->answers.push_back(a); }, std::move(next));
}
Step clip(const char* text, Step next) {
    return then([text](Dispatch&) { QApplication::clipboard()->setText(QString::fromUtf8(text)); },
                std::move(next));
}
Step focusList() {
    return [](Dispatch& d) { d.focus(d.window().ui().List1); };
}
Step focusBox(int number) {
    return [number](Dispatch& d) { d.focus(d.box(number)); };
}
Step selectBox(int number) {
    return [number](Dispatch& d) { d.selectAllIn(d.box(number)); };
}
// The whole block selected; with `outside` the focus stays in a card field.
Step selectBlock(bool address, bool outside = false) {
    return [=](Dispatch& d) {
        RichTextBlock* block = address ? d.address() : d.notes();
        d.selectAllIn(block);
        if (outside) {
            d.focus(d.box(2));
        }
    };
}
// The shown card saved with another first name, so that there is a step to undo.
Step saveFirstName(const char* name) {
    return [name](Dispatch& d) {
        d.box(2)->setText(QString::fromUtf8(name));
        d.window().Command2_Click();
    };
}
Step undoFirst(Step next) {
    return then(
        [](Dispatch& d) {
            d.window().menus().action(QStringLiteral("mnuRueckgaengig"))->trigger();
        },
        std::move(next));
}
Step closeModalSoon() {
    return [](Dispatch&) {
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                qApp->setProperty("seenModal", modal->objectName());
                modal->close();
            }
        });
    };
}

Check both(Check first, Check second) {
    return [=](Dispatch& d) { return first(d) && second(d); };
}
Check asks(const char* text) {
    return [text](Dispatch& d) { return d.asked(QString::fromUtf8(text)); };
}
Check shows(const char* window) {
    return [window](Dispatch&) { return Dispatch::windowShown(window); };
}
Check clipboardIs(const QString& text) {
    return [text](Dispatch&) { return Dispatch::clipboard() == text; };
}
Check boxIs(int number, const char* text) {
    return [=](Dispatch& d) { return d.box(number)->text() == QString::fromUtf8(text); };
}
Check blockIs(bool address, const char* text) {
    return [=](Dispatch& d) {
        return (address ? d.address() : d.notes())->plainText() == QString::fromUtf8(text);
    };
}
Check recorded(std::size_t (*count)(const veltro::testing::RecordingPlatform&)) {
    return [count](Dispatch& d) { return count(*d.platform_) == 1; };
}
Check printed(const QString& text) {
    return [text](Dispatch& d) { return d.platform_->printedTexts().contains(text); };
}
Check notesStyle(Tri richtext::SelectionAttributes::*style) {
    return [style](Dispatch& d) { return d.notes()->selectionAttributes().*style == Tri::True; };
}
Check addressAligned(Alignment alignment) {
    return [alignment](Dispatch& d) {
        return d.address()->selectionAttributes().alignment == alignment;
    };
}
const Check kClosed = [](Dispatch& d) { return !d.window().isVisible(); };
const Check kCategoryInput = [](Dispatch& d) { return d.box(19)->isVisible(); };
const Check kSearchWindow = [](Dispatch&) { return search::SearchWindow::current() != nullptr; };
const Check kFontDialog = recorded([](const auto& p) { return p.fontRequests.size(); });
const Check kHelp = recorded([](const auto& p) { return p.helpPages.size(); });

// Every menu entry, pop-up entry and toolbar key with the effect that shows its command ran.
const std::vector<Row>& rows() {
    using richtext::SelectionAttributes;
    static const std::vector<Row> table = {
        {"mnuExportieren", nothing, shows("veltro::exporting::ExportDialog")},
        {"mnuImportieren", [](Dispatch& d) { d.chooseCategory(QStringLiteral("Privat")); },
         shows("veltro::import::ImportDialog")},
        {"mnuSicherungWiederherstellen", closeModalSoon(),
         [](Dispatch&) {
             return qApp->property("seenModal").toString() == "SicherungWiederherstellen";
         }},
        {"mnuDruckAnschrift", answer(Answer::No), asks("Anschrift drucken?")},
        {"mnuDruckNotizen", answer(Answer::No), asks("Notizen drucken?")},
        {"mnuDruckEingabefelder", answer(Answer::No), asks("Eingabefelder drucken?")},
        {"mnuDruckGesamt2", answer(Answer::No), asks("Diese Karte drucken?          ")},
        {"mnuSeitenansicht", nothing,
         recorded([](const auto& p) { return p.previewTitles.size(); })},
        {"mnuDruckerAuswaehlen", nothing,
         recorded([](const auto& p) { return std::size_t(p.printerSetups); })},
        {"mnuEtiketten", nothing, shows("veltro::labels::LabelsDialog")},
        {"mnuUmschlag", nothing, shows("veltro::labels::EnvelopeDialog")},
        {"mnuListeDrucken", nothing, shows("veltro::labels::ListPrintDialog")},
        {"mnuSerienbrief", nothing, recorded([](const auto& p) { return p.saveRequests.size(); })},
        {"mnuBeenden", nothing, kClosed},
        {"mnuRueckgaengig", saveFirstName("Franz"), boxIs(2, "Hans")},
        {"mnuWiederholen", then(saveFirstName("Franz"), undoFirst(nothing)), boxIs(2, "Franz")},
        {"mnuCut", selectBox(2), both(clipboardIs("Hans"), boxIs(2, ""))},
        {"mnukopieren", selectBox(2), both(clipboardIs("Hans"), boxIs(2, "Hans"))},
        {"mnueinfügen", clip("Franz", selectBox(2)), boxIs(2, "Franz")},
        {"mnulöschen", selectBox(2), both(clipboardIs("x"), boxIs(2, ""))},
        {"mnulöschen", answer(Answer::No, focusList()), asks("Karte löschen.")},
        {"mnuCopyNotizen", nothing, clipboardIs(kNotes)},
        {"mnuCopyAnschrift", nothing, clipboardIs(kAddress)},
        {"mnuSuchfeld", nothing, [](Dispatch& d) { return d.window().ui().Text1->hasFocus(); }},
        {"mnuVolltextfeld", nothing,
         [](Dispatch& d) {
             return d.window().ui().Text16->hasFocus() && d.window().fullTextArmed();
         }},
        {"mnuNeueKategorie", nothing, kCategoryInput},
        {"mnuKategorieUmbenennen", nothing, asks("Wählen Sie bitte zuerst eine Kategorie aus!")},
        {"mnuKategorieLoschen", nothing, asks("Wählen Sie bitte eine andere Kategorie aus!")},
        {"mnuNeuekarte", nothing, asks("...Karte/Adresse kann nicht angelegt werden !")},
        {"mnukarteRen", nothing,
         [](Dispatch& d) { return d.platform_->inputRequests.at(0).title == "Karte umbenennen"; }},
        {"mnukarteloschen", answer(Answer::No), asks("Karte löschen.")},
        {"mnuDruckGesamt", answer(Answer::No), asks("Diese Karte drucken?           ")},
        {"mnuAlsVcardKopieren", nothing,
         [](Dispatch&) {
             const auto* mime = QApplication::clipboard()->mimeData();
             const QString text = QString::fromUtf8(mime->data(QStringLiteral("text/vcard")));
             return text.startsWith(u"BEGIN:VCARD") && text.contains(u"N:Meier;Hans") &&
                    mime->text() == text;
         }},
        {"mnuKarteKategorie", closeModalSoon(),
         [](Dispatch&) { return qApp->property("seenModal").toString() == "Form2"; }},
        {"mnuEingabefenster", nothing, kSearchWindow},
        {"mnuEmailInternet", answer(Answer::Cancel, focusBox(17)), asks("E-Mail")},
        {"mnuDoppelteKarten", nothing, asks("Doppelte Karten")},
        {"mnuGeburtstage", nothing, shows("frmGeburtstage")},
        {"mnuSynchronisieren", nothing, shows("frmSync")},
        {"mnuOptionen", nothing, shows("Form3")},
        {"mnuHilfe", nothing, kHelp},
        {"ErsteSchritteDialog", nothing, shows("Form7")},
        {"mnuInfo", nothing, shows("InfoWindow")},

        {"popAAusschneiden", selectBlock(true, true),
         both(clipboardIs(kAddress), blockIs(true, ""))},
        {"PopAKopieren", selectBlock(true, true), both(clipboardIs(kAddress), boxIs(2, "Hans"))},
        {"PopAEinfügen", clip("Frau", selectBlock(true, true)), blockIs(true, "Frau")},
        {"PopALöschen", selectBlock(true, true), blockIs(true, "")},
        {"popaAnschriftKopieren", nothing, clipboardIs(kAddress)},
        {"popaDrucken", nothing, printed(kAddress)},
        {"popaAufKarte", answer(Answer::Ok),
         [](Dispatch& d) {
             return d.platform_->openedUrls ==
                    std::vector{
                        QUrl(u"https://www.openstreetmap.org/search?query=96052%20Bamberg"_s)};
         }},
        {"mnuWeitereAngaben", nothing,
         [](Dispatch& d) { return d.window().ui().WeitereAngaben->isVisible(); }},
        {"popaformatieren", nothing, kFontDialog},
        {"PopNAusschneiden", selectBlock(false, true),
         both(clipboardIs(kNotes), blockIs(false, ""))},
        {"popnKopieren", selectBlock(false, true), both(clipboardIs(kNotes), boxIs(2, "Hans"))},
        {"popnEinfügen", clip("neu", selectBlock(false, true)), blockIs(false, "neu")},
        {"popnLöschen", selectBlock(false, true), blockIs(false, "")},
        {"popnNotizenKopieren", nothing, clipboardIs(kNotes)},
        {"popnDrucken", nothing, printed(kNotes)},
        {"popnFormatieren", nothing, kFontDialog},

        {"tbrNeueKategorie", nothing, kCategoryInput},
        {"tbrNeueKarte", nothing, asks("...Karte/Adresse kann nicht angelegt werden !")},
        {"tbrDrucken", answer(Answer::No, focusBox(2)), asks("Eingabefelder drucken?")},
        {"tbrDrucken", answer(Answer::No, focusList()), asks("Diese Karte drucken?          ")},
        {"tbrMail", answer(Answer::Cancel, focusBox(17)), asks("E-Mail")},
        {"tbrSuchFenster", nothing, kSearchWindow},
        {"tbrCut", selectBlock(false), both(clipboardIs(kNotes), blockIs(false, ""))},
        {"tbrCopy", selectBox(2), clipboardIs("Hans")},
        {"tbrPaste", clip("Eva", selectBox(2)), boxIs(2, "Eva")},
        {"tbrDelete", selectBlock(false), blockIs(false, "")},
        {"tbrDelete", answer(Answer::No, focusList()), asks("Karte löschen.")},
        {"tbrOptionen", nothing, shows("Form3")},
        {"tbrFont", nothing, kFontDialog},
        {"tbrFontColor", nothing, recorded([](const auto& p) { return p.colorRequests.size(); })},
        {"tbrFett", selectBlock(false), notesStyle(&SelectionAttributes::bold)},
        {"tbrKursiv", selectBlock(false), notesStyle(&SelectionAttributes::italic)},
        {"tbrUnterstrichen", selectBlock(false), notesStyle(&SelectionAttributes::underline)},
        {"tbrBullet", selectBlock(false), notesStyle(&SelectionAttributes::bullet)},
        {"tbrMitte", selectBlock(true), addressAligned(Alignment::Center)},
        {"tbrRechts", selectBlock(true), addressAligned(Alignment::Right)},
        {"tbrLinks",
         then(selectBlock(true), [](Dispatch& d) { d.address()->setAlignment(Qt::AlignRight); }),
         addressAligned(Alignment::Left)},
        {"tbrHilfe", nothing, kHelp},
        {"tbrEnde", nothing, kClosed},
    };
    return table;
}

class EveryEntry : public Dispatch, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(EveryEntry, ReachesItsCommand) {
    const Row& row = rows().at(GetParam());
    openSample();
    QApplication::clipboard()->setText(QStringLiteral("x"));
    row.prepare(*this);
    const QString entry = QString::fromUtf8(row.entry);
    if (entry.startsWith(u"tbr")) {
        // A click on the button, as the user would.
        window().bars().action(entry)->trigger();
    } else {
        window().menus().action(entry)->trigger();
    }
    QApplication::processEvents();
    EXPECT_TRUE(row.reached(*this)) << row.entry;
    closeOtherWindows();
}

INSTANTIATE_TEST_SUITE_P(MenusBarsAndPopups, EveryEntry,
                         ::testing::Range<std::size_t>(0, rows().size()), [](const auto& param) {
                             return QString::fromUtf8(rows().at(param.param).entry)
                                        .replace(QStringLiteral("ü"), QStringLiteral("ue"))
                                        .replace(QStringLiteral("ö"), QStringLiteral("oe"))
                                        .toStdString() +
                                    '_' + std::to_string(param.param);
                         });

TEST_F(Dispatch, EveryMenuEntryAndToolbarKeyIsInTheTable) {
    QStringList tested;
    for (const Row& row : rows()) {
        tested << QString::fromUtf8(row.entry);
    }
    openSample();
    for (const auto& button : richtext::CommandBars::buttons()) {
        EXPECT_TRUE(tested.contains(QString::fromUtf8(button.key))) << button.key;
    }
    for (QAction* action : window().findChildren<QAction*>()) {
        const QString name = action->objectName();
        const bool entry =
            (name.startsWith(u"mnu") || name.startsWith(u"pop", Qt::CaseInsensitive) ||
             name == u"ErsteSchritteDialog") &&
            action->menu() == nullptr;
        if (entry && window().menus().action(name) == action) {
            EXPECT_TRUE(tested.contains(name)) << name.toStdString();
        }
    }
}

TEST_F(Dispatch, ComposingTheAddressFillsTheBlockAndSavesTheCard) {
    openSample();
    box(10)->setText(QStringLiteral("Hauptstraße 1"));
    QTest::mouseClick(window().ui().Command4, Qt::LeftButton);
    const QString expected = QStringLiteral("Herrn \nHans Meier\nHauptstraße 1\n\n96052 Bamberg");
    EXPECT_EQ(address()->plainText(), expected);
    auto* store = window().cardStore();
    const auto card = store->loadCard(*store->findByHeading(QStringLiteral("Meier")));
    EXPECT_EQ(richtext::plainTextFromStored(card->text(Field::Anschrift), richtext::LineBreak::Lf),
              expected);
    EXPECT_TRUE(window().changeFlag());

    for (int number : {18, 2, 7, 8, 9, 10, 11, 12}) {
        box(number)->clear();
    }
    window().Command4_Click();
    EXPECT_EQ(address()->plainText(), QStringLiteral("\n\n\n"));
    const auto emptied = store->loadCard(*store->findByHeading(QStringLiteral("Meier")));
    EXPECT_EQ(
        richtext::plainTextFromStored(emptied->text(Field::Anschrift), richtext::LineBreak::Lf),
        QStringLiteral("\n\n\n"));
}

TEST_F(Dispatch, OnlyTheRightButtonOpensABlocksOwnMenu) {
    openSample();
    for (auto [block, menu] :
         {std::pair{address(), "popAdresse"}, std::pair{notes(), "popNotizen"}}) {
        for (auto button : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton}) {
            QTest::mousePress(block->viewport(), button, {}, QPoint(10, 10));
            QWidget* popup = QApplication::activePopupWidget();
            if (button == Qt::RightButton) {
                ASSERT_NE(popup, nullptr);
                EXPECT_EQ(popup->objectName(), QLatin1String(menu));
                EXPECT_EQ(QApplication::focusWidget(), block);
                popup->close();
            } else {
                EXPECT_EQ(popup, nullptr) << menu << ' ' << button;
                QTest::mouseRelease(block->viewport(), button, {}, QPoint(10, 10));
            }
        }
    }
}

TEST_F(Dispatch, TheCardListsPopUpMenuCopiesTheCardAsVcard) {
    openSample();
    QAbstractItemView* list = window().ui().List1;
    const QPoint at = list->visualRect(list->model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), QStringLiteral("mnuKarte"));
    const QList<QAction*> entries = popup->actions();
    const auto copy = std::find_if(entries.begin(), entries.end(), [](const QAction* entry) {
        return entry->objectName() == QStringLiteral("mnuAlsVcardKopieren");
    });
    ASSERT_NE(copy, entries.end());
    QApplication::clipboard()->clear();
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(*copy).center());

    auto uid = window().cardStore()->db().prepare(
        "SELECT Uid FROM KartenInfo JOIN Kontakte ON Kontakte.rowid = KarteId "
        "WHERE Schlagworte = 'Meier'");
    ASSERT_TRUE(uid.step());
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QString vcard = QString::fromUtf8(mime->data(QStringLiteral("text/vcard")));
    EXPECT_TRUE(vcard.startsWith(QStringLiteral("BEGIN:VCARD\r\n")));
    EXPECT_TRUE(vcard.contains(QStringLiteral("\r\nN:Meier;Hans;;Herr;\r\n")));
    EXPECT_TRUE(vcard.contains(QStringLiteral("\r\nUID:") + uid.textOrEmpty(0) + u'\r'));
    EXPECT_EQ(mime->text(), vcard) << "plain text for programs without vCard";
}

TEST_F(Dispatch, EndClosesTheFirstStepsBeforeAskingAboutTheRun) {
    openSample();
    maintenance::FirstStepsDialog::open(&window());
    window().setChangeFlag();
    platform_->answers.push_back(Answer::Cancel);
    bool stepsOpenWhileAsked = true;
    platform_->onMessage = [&](const auto&) {
        stepsOpenWhileAsked = maintenance::FirstStepsDialog::current() != nullptr;
    };
    window().bars().dispatch(QStringLiteral("tbrEnde"));
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_FALSE(stepsOpenWhileAsked);
    EXPECT_TRUE(window().isVisible());  // cancelled
}

// The desktop's keys reach their commands; in a text box, the keys a box uses stay the box's.
TEST_F(Dispatch, DesktopKeysRunTheirCommandsButLeaveTheBoxesTheirOwn) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    const auto& ui = window().ui();
    const struct {
        const char* name;
        QWidget* focused;
        QKeyCombination keys;
        std::function<bool()> done;
        bool readOnly = false;
    } cases[] = {
        {"Entf in the list asks before deleting the card", ui.List1, Qt::Key_Delete,
         [&] { return platform_->messages.size() == 1; }},
        {"Entf in a box deletes a character", box(7), Qt::Key_Delete,
         [&] { return platform_->messages.empty() && box(7)->text() == u"eier"; }},
        {"Entf in a read-only box does nothing", box(7), Qt::Key_Delete,
         [&] { return platform_->messages.empty() && box(7)->text() == u"Meier"; }, true},
        {"F2 renames the card", ui.List1, Qt::Key_F2,
         [&] { return platform_->inputRequests.size() == 1; }},
        {"Strg+N makes a card", box(12), Qt::ControlModifier | Qt::Key_N,
         [&] { return platform_->inputRequests.size() == 1; }},
        {"Strg+F goes to the search box", ui.List1, Qt::ControlModifier | Qt::Key_F,
         [&] { return ui.Text1->hasFocus(); }},
        {"Strg+Umschalt+F goes to the full-text box", box(2),
         Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_F,
         [&] { return ui.Text16->hasFocus(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform_->messages.clear();
        platform_->inputRequests.clear();
        platform_->answers = {Answer::No};
        clickLine(0);
        focus(c.focused);
        box(7)->setCursorPosition(0);
        box(7)->setReadOnly(c.readOnly);
        QTest::keyClick(c.focused, c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_TRUE(c.done());
        box(7)->setReadOnly(false);
        box(7)->setText(QStringLiteral("Meier"));
    }
    // Shown in the menus.
    for (const char* entry : {"mnukarteloschen", "mnukarteRen", "mnuNeuekarte", "mnuDruckGesamt",
                              "mnuBeenden", "mnuSuchfeld", "mnuVolltextfeld"}) {
        EXPECT_FALSE(window().menus().action(QString::fromUtf8(entry))->shortcut().isEmpty())
            << entry;
    }
}

}  // namespace
