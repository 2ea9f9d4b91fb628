#include "MainWindowFixture.h"

#include "maintenance/FirstStepsDialog.h"
#include "mainwindow/MainMenus.h"
#include "richtext/CommandBars.h"
#include "richtext/RichTextBlock.h"
#include "richtext/StoredText.h"
#include "search/SearchWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace veltro;
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
    // Selects the notes while the focus stays in a card field.
    void selectNotesFromOutside() {
        notes()->selectAll();
        focus(box(2));
    }
    void closeOtherWindows() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != window_.get() && w->isVisible()) {
                w->close();
            }
        }
    }
};

struct Row {
    const char* entry;  // menu entry or toolbar key
    std::function<void(Dispatch&)> prepare;
    std::function<bool(Dispatch&)> reached;
};

void nothing(Dispatch&) {}

std::function<bool(Dispatch&)> asks(const char* text) {
    return [text](Dispatch& d) { return d.asked(QString::fromUtf8(text)); };
}

std::function<bool(Dispatch&)> shows(const char* window) {
    return [window](Dispatch&) { return Dispatch::windowShown(window); };
}

std::function<void(Dispatch&)> answerNo(std::function<void(Dispatch&)> then = nothing) {
    return [then](Dispatch& d) {
        d.platform_->answers.push_back(Answer::No);
        then(d);
    };
}

std::function<void(Dispatch&)> focusOn(QWidget* (*widget)(Dispatch&)) {
    return [widget](Dispatch& d) { d.focus(widget(d)); };
}

QWidget* list(Dispatch& d) {
    return d.window().ui().List1;
}
QWidget* firstName(Dispatch& d) {
    return d.box(2);
}

// Every menu entry, pop-up entry and toolbar key with the effect that shows its command ran.
const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"mnuExportieren", nothing, shows("veltro::exporting::ExportDialog")},
        {"mnuImportieren", [](Dispatch& d) { d.chooseCategory(QStringLiteral("Privat")); },
         shows("veltro::import::ImportDialog")},
        {"mnuDruckAnschrift", answerNo(), asks("Anschrift drucken?")},
        {"mnuDruckNotizen", answerNo(), asks("Notizen drucken?")},
        {"mnuDruckEingabefelder", answerNo(), asks("Eingabefelder drucken?")},
        {"mnuDruckGesamt2", answerNo(), asks("Diese Karte drucken?          ")},
        {"mnuSeitenansicht", nothing,
         [](Dispatch& d) { return !d.platform_->previewTitles.empty(); }},
        {"mnuDruckerAuswaehlen", nothing,
         [](Dispatch& d) { return d.platform_->printerSetups == 1; }},
        {"mnuBeenden", nothing, [](Dispatch& d) { return !d.window().isVisible(); }},
        {"mnuCut", [](Dispatch& d) { d.selectAllIn(d.box(2)); },
         [](Dispatch& d) { return d.clipboard() == "Hans" && d.box(2)->text().isEmpty(); }},
        {"mnukopieren", [](Dispatch& d) { d.selectAllIn(d.box(2)); },
         [](Dispatch& d) { return d.clipboard() == "Hans" && d.box(2)->text() == "Hans"; }},
        {"mnueinfügen",
         [](Dispatch& d) {
             QApplication::clipboard()->setText(QStringLiteral("Franz"));
             d.selectAllIn(d.box(2));
         },
         [](Dispatch& d) { return d.box(2)->text() == "Franz"; }},
        {"mnulöschen", [](Dispatch& d) { d.selectAllIn(d.box(2)); },
         [](Dispatch& d) { return d.box(2)->text().isEmpty() && d.clipboard() == "x"; }},
        {"mnulöschen", answerNo(focusOn(list)), asks("Karte löschen.")},
        {"mnuCopyNotizen", nothing, [](Dispatch& d) { return d.clipboard() == "Ruft montags an"; }},
        {"mnuCopyAnschrift", nothing,
         [](Dispatch& d) { return d.clipboard() == "Herrn Hans Meier"; }},
        {"mnuNeueKategorie", nothing, [](Dispatch& d) { return d.box(19)->isVisible(); }},
        {"mnuKategorieUmbenennen", nothing, asks("Wählen Sie bitte zuerst eine Kategorie aus!")},
        {"mnuKategorieLoschen", nothing, asks("Wählen Sie bitte eine andere Kategorie aus!")},
        {"mnuNeuekarte", nothing, asks("...Karte/Adresse kann nicht angelegt werden !")},
        {"mnukarteRen", nothing,
         [](Dispatch& d) {
             return !d.platform_->inputRequests.empty() &&
                    d.platform_->inputRequests[0].title == "Karte umbenennen";
         }},
        {"mnukarteloschen", answerNo(), asks("Karte löschen.")},
        {"mnuDruckGesamt", answerNo(), asks("Diese Karte drucken?           ")},
        {"mnuKarteKategorie",
         [](Dispatch&) {
             QTimer::singleShot(0, [] {
                 if (QWidget* modal = QApplication::activeModalWidget()) {
                     qApp->setProperty("seenModal", modal->objectName());
                     modal->close();
                 }
             });
         },
         [](Dispatch&) { return qApp->property("seenModal").toString() == "Form2"; }},
        {"mnuEingabefenster", nothing, [](Dispatch&) { return search::SearchWindow::current(); }},
        {"mnuEmailInternet",
         [](Dispatch& d) {
             d.platform_->answers.push_back(Answer::Cancel);
             d.focus(d.box(17));
         },
         asks("E-Mail")},
        {"mnuOptionen", nothing, shows("Form3")},
        {"mnuHilfe", nothing, [](Dispatch& d) { return d.platform_->helpPages.size() == 1; }},
        {"ErsteSchritteDialog", nothing, shows("Form7")},
        {"mnuInfo", nothing, shows("Form5")},

        {"popAAusschneiden",
         [](Dispatch& d) {
             d.address()->selectAll();
             d.focus(d.box(2));
         },
         [](Dispatch& d) {
             return d.clipboard() == "Herrn Hans Meier" && d.address()->plainText().isEmpty();
         }},
        {"PopAKopieren",
         [](Dispatch& d) {
             d.address()->selectAll();
             d.focus(d.box(2));
         },
         [](Dispatch& d) {
             return d.clipboard() == "Herrn Hans Meier" && d.box(2)->text() == "Hans";
         }},
        {"PopAEinfügen",
         [](Dispatch& d) {
             QApplication::clipboard()->setText("Frau");
             d.address()->selectAll();
         },
         [](Dispatch& d) { return d.address()->plainText() == "Frau"; }},
        {"PopALöschen", [](Dispatch& d) { d.address()->selectAll(); },
         [](Dispatch& d) { return d.address()->plainText().isEmpty(); }},
        {"popaAnschriftKopieren", nothing,
         [](Dispatch& d) { return d.clipboard() == "Herrn Hans Meier"; }},
        {"popaDrucken", nothing,
         [](Dispatch& d) { return d.platform_->printedTexts().contains("Herrn Hans Meier"); }},
        {"popaformatieren", nothing,
         [](Dispatch& d) { return d.platform_->fontRequests.size() == 1; }},
        {"PopNAusschneiden", [](Dispatch& d) { d.selectNotesFromOutside(); },
         [](Dispatch& d) {
             return d.clipboard() == "Ruft montags an" && d.notes()->plainText().isEmpty();
         }},
        {"popnKopieren", [](Dispatch& d) { d.selectNotesFromOutside(); },
         [](Dispatch& d) {
             return d.clipboard() == "Ruft montags an" && d.box(2)->text() == "Hans";
         }},
        {"popnEinfügen",
         [](Dispatch& d) {
             QApplication::clipboard()->setText("neu");
             d.notes()->selectAll();
         },
         [](Dispatch& d) { return d.notes()->plainText() == "neu"; }},
        {"popnLöschen", [](Dispatch& d) { d.notes()->selectAll(); },
         [](Dispatch& d) { return d.notes()->plainText().isEmpty(); }},
        {"popnNotizenKopieren", nothing,
         [](Dispatch& d) { return d.clipboard() == "Ruft montags an"; }},
        {"popnDrucken", nothing,
         [](Dispatch& d) { return d.platform_->printedTexts().contains("Ruft montags an"); }},
        {"popnFormatieren", nothing,
         [](Dispatch& d) { return d.platform_->fontRequests.size() == 1; }},

        {"tbrNeueKategorie", nothing, [](Dispatch& d) { return d.box(19)->isVisible(); }},
        {"tbrNeueKarte", nothing, asks("...Karte/Adresse kann nicht angelegt werden !")},
        {"tbrDrucken", answerNo(focusOn(firstName)), asks("Eingabefelder drucken?")},
        {"tbrDrucken", answerNo(focusOn(list)), asks("Diese Karte drucken?          ")},
        {"tbrMail",
         [](Dispatch& d) {
             d.platform_->answers.push_back(Answer::Cancel);
             d.focus(d.box(17));
         },
         asks("E-Mail")},
        {"tbrSuchFenster", nothing, [](Dispatch&) { return search::SearchWindow::current(); }},
        {"tbrCut", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) {
             return d.clipboard() == "Ruft montags an" && d.notes()->plainText().isEmpty();
         }},
        {"tbrCopy", [](Dispatch& d) { d.selectAllIn(d.box(2)); },
         [](Dispatch& d) { return d.clipboard() == "Hans"; }},
        {"tbrPaste",
         [](Dispatch& d) {
             QApplication::clipboard()->setText("Eva");
             d.selectAllIn(d.box(2));
         },
         [](Dispatch& d) { return d.box(2)->text() == "Eva"; }},
        {"tbrDelete", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) { return d.notes()->plainText().isEmpty(); }},
        {"tbrDelete", answerNo(focusOn(list)), asks("Karte löschen.")},
        {"tbrOptionen", nothing, shows("Form3")},
        {"tbrFont", nothing, [](Dispatch& d) { return d.platform_->fontRequests.size() == 1; }},
        {"tbrFontColor", nothing,
         [](Dispatch& d) { return d.platform_->colorRequests.size() == 1; }},
        {"tbrFett", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) { return d.notes()->selectionAttributes().bold == Tri::True; }},
        {"tbrKursiv", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) { return d.notes()->selectionAttributes().italic == Tri::True; }},
        {"tbrUnterstrichen", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) { return d.notes()->selectionAttributes().underline == Tri::True; }},
        {"tbrBullet", [](Dispatch& d) { d.selectAllIn(d.notes()); },
         [](Dispatch& d) { return d.notes()->selectionAttributes().bullet == Tri::True; }},
        {"tbrMitte", [](Dispatch& d) { d.selectAllIn(d.address()); },
         [](Dispatch& d) {
             return d.address()->selectionAttributes().alignment == Alignment::Center;
         }},
        {"tbrRechts", [](Dispatch& d) { d.selectAllIn(d.address()); },
         [](Dispatch& d) {
             return d.address()->selectionAttributes().alignment == Alignment::Right;
         }},
        {"tbrLinks",
         [](Dispatch& d) {
             d.selectAllIn(d.address());
             d.address()->setAlignment(Qt::AlignRight);
         },
         [](Dispatch& d) {
             return d.address()->selectionAttributes().alignment == Alignment::Left;
         }},
        {"tbrHilfe", nothing, [](Dispatch& d) { return d.platform_->helpPages.size() == 1; }},
        {"tbrEnde", nothing, [](Dispatch& d) { return !d.window().isVisible(); }},
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
                         ::testing::Range<std::size_t>(0, rows().size()), [](const auto& info) {
                             return QString::fromUtf8(rows().at(info.param).entry)
                                        .replace(QStringLiteral("ü"), QStringLiteral("ue"))
                                        .replace(QStringLiteral("ö"), QStringLiteral("oe"))
                                        .toStdString() +
                                    '_' + std::to_string(info.param);
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

// "name=text" per entry, "-" per separator, submenus in brackets.
QString describe(const QMenu* menu) {
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            entries << QStringLiteral("-");
        } else if (action->menu() != nullptr) {
            entries << action->objectName() + u'=' + action->text() + u'[' +
                           describe(action->menu()) + u']';
        } else {
            entries << action->objectName() + u'=' + action->text();
        }
    }
    return entries.join(u'|');
}

TEST_F(Dispatch, MenusHoldTheirEntriesInOrder) {
    openSample();
    QStringList bar;
    for (const QAction* action : window().menuBar()->actions()) {
        bar << action->objectName() + u'=' + action->text() + u'[' + describe(action->menu()) +
                   u']';
    }
    EXPECT_EQ(
        bar.join(u'\n'),
        QStringLiteral(
            "tempDatei=&Datei[mnuExportieren=&Exportieren...|mnuImportieren=&Importieren...|-|"
            "mnuDrucken=&Drucken[mnuDruckAnschrift=&Anschrift|mnuDruckNotizen=&Notizen|"
            "mnuDruckEingabefelder=&Eingabefelder|-|mnuDruckGesamt2=&Karte drucken|-|"
            "mnuSeitenansicht=&Seitenansicht...]|mnuDruckerAuswaehlen=Drucker &einrichten...|-|"
            "mnuBeenden=&Beenden]\n"
            "mnuBearbeiten=&Bearbeiten[mnuCut=Aus&schneiden|mnukopieren=&Kopieren|"
            "mnueinfügen=&Einfügen|mnulöschen=&Löschen|-|mnuCopyNotizen=&Notizen kopieren|"
            "mnuCopyAnschrift=&Anschrift kopieren]\n"
            "tmpKategorie=Kateg&orie[mnuNeueKategorie=&Neu...|"
            "mnuKategorieUmbenennen=&Umbenennen...|mnuKategorieLoschen=&Löschen...]\n"
            "mnuKarte=&Karte[mnuNeuekarte=&Neue Karte/Adresse...|mnukarteRen=&Umbenennen...|"
            "mnukarteloschen=&Löschen...|-|mnuDruckGesamt=Karte &drucken...|-|"
            "mnuKarteKategorie=&Andere Kategorie zuweisen...]\n"
            "mnuExtras=&Extras[mnuEingabefenster=&Suchfenster einblenden|-|"
            "mnuEmailInternet=Adresse mit eMail / Internet verbinden|-|mnuOptionen=&Optionen]\n"
            "temp1621=&?[mnuHilfe=&Hilfe|ErsteSchritteDialog=&Erste Schritte|-|mnuInfo=&Info]"));
    EXPECT_EQ(describe(window().menus().menu(QStringLiteral("PopPopUp"))),
              QStringLiteral(
                  "popAdresse=Adresse[popAAusschneiden=Ausschneiden|PopAKopieren=Kopieren|"
                  "PopAEinfügen=Einfügen|PopALöschen=Löschen|-|popaAnschriftKopieren=Anschrift "
                  "kopieren|popaDrucken=Anschrift drucken|-|popaformatieren=Text formatieren...]|"
                  "popNotizen=Notizen[PopNAusschneiden=Ausschneiden|popnKopieren=Kopieren|"
                  "popnEinfügen=Einfügen|popnLöschen=Löschen|-|popnNotizenKopieren=Notizen "
                  "kopieren|popnDrucken=Notizen drucken|-|popnFormatieren=Text formatieren...]"));
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

}  // namespace
