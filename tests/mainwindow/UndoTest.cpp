// Undo and redo of the window's commands: the store comes back byte for byte, and the list
// and the card view follow.
#include "MainWindowFixture.h"
#include "StoreState.h"

#include "maintenance/AssignCategoryDialog.h"
#include "mainwindow/MainMenus.h"
#include "richtext/RichTextBlock.h"
#include "store/Categories.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace veltro;
using platform::Answer;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

class Undo : public MainWindowFixture {
public:
    using MainWindowFixture::box;
    using MainWindowFixture::chooseCategory;
    using MainWindowFixture::focus;
    using MainWindowFixture::platform_;
    using MainWindowFixture::type;
    using MainWindowFixture::window;

    void openSample() {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat"), QStringLiteral("Firma")},
                                   {{QStringLiteral("Meier"),
                                     QStringLiteral("Privat"),
                                     {{Field::Vorname, QStringLiteral("Hans")},
                                      {Field::Notizen, QStringLiteral("{\\rtf1 Ruft an}")}}},
                                    {QStringLiteral("Bau AG"), QStringLiteral("Firma")},
                                    {QStringLiteral("Zeta"), QStringLiteral("Privat")}});
        {
            // Times of the past, so that a change within the test's second still shows.
            auto db = store::Database::open(home_.storeFile());
            db.exec(
                "UPDATE KartenInfo SET Angelegt = '2001-01-01T00:00:00Z', "
                "Geaendert = '2001-01-02T00:00:00Z'");
        }
        openExisting();
    }
    using MainWindowFixture::run;
    // The entries are named as the menu opens.
    QString entryText(const char* action) {
        Q_EMIT window().menus().menu(QStringLiteral("mnuBearbeiten"))->aboutToShow();
        QAction* entry = window().menus().action(QString::fromUtf8(action));
        return entry->isEnabled() ? entry->text() : QStringLiteral("<aus>");
    }
    QStringList tables() { return veltro::testing::exactTables(window().cardStore()->db()); }
    void selectLine(const QString& heading) {
        chooseCategory(store::kAllCategories);
        clickLine(static_cast<int>(listLines().indexOf(heading)));
    }
    QString writeVcf() {
        const QString path = files_.filePath(QStringLiteral("kontakte.vcf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Neu;Eva;;;\r\nFN:Eva Neu\r\nEND:VCARD\r\n");
        return path;
    }

private:
    QTemporaryDir files_;
};

struct Command {
    const char* step;
    std::function<void(Undo&)> run;
};

void PrintTo(const Command& command, std::ostream* out) {
    *out << command.step;
}

class EachCommand : public Undo, public ::testing::WithParamInterface<Command> {};

TEST_P(EachCommand, UndoesToTheStoreBeforeAndRedoesToTheStoreAfter) {
    openSample();
    const QStringList before = tables();
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("<aus>"));
    GetParam().run(*this);
    QApplication::processEvents();
    const QStringList after = tables();
    ASSERT_NE(after, before);
    const QString step = QString::fromUtf8(GetParam().step);
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("&Rückgängig: ") + step);

    run("mnuRueckgaengig");
    EXPECT_EQ(tables(), before);
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("<aus>"));
    EXPECT_EQ(entryText("mnuWiederholen"), QStringLiteral("&Wiederholen: ") + step);
    run("mnuWiederholen");
    EXPECT_EQ(tables(), after);
    EXPECT_TRUE(window().changeFlag());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EachCommand,
    ::testing::Values(Command{"Neue Karte",
                              [](Undo& u) {
                                  u.chooseCategory(QStringLiteral("Privat"));
                                  u.platform_->inputs.push_back(QStringLiteral("Zimmermann"));
                                  u.run("mnuNeuekarte");
                              }},
                      Command{"Karte löschen",
                              [](Undo& u) {
                                  u.selectLine(QStringLiteral("Meier"));
                                  u.platform_->answers.push_back(Answer::Yes);
                                  u.run("mnukarteloschen");
                              }},
                      Command{"Karte umbenennen",
                              [](Undo& u) {
                                  u.selectLine(QStringLiteral("Meier"));
                                  u.platform_->inputs.push_back(QStringLiteral("Maier"));
                                  u.run("mnukarteRen");
                              }},
                      // Two saves of one visit, one by leaving a box and one by leaving the card.
                      Command{"Karte bearbeiten",
                              [](Undo& u) {
                                  u.selectLine(QStringLiteral("Meier"));
                                  u.type(u.box(12), QStringLiteral("Ulm"));
                                  u.focus(u.box(8));
                                  u.type(u.box(8), QStringLiteral("Meier & Co."));
                                  u.selectLine(QStringLiteral("Zeta"));
                              }},
                      Command{"Andere Kategorie zuweisen",
                              [](Undo& u) {
                                  u.selectLine(QStringLiteral("Meier"));
                                  QTimer::singleShot(0, [] {
                                      auto* dialog =
                                          qobject_cast<maintenance::AssignCategoryDialog*>(
                                              QApplication::activeModalWidget());
                                      ASSERT_NE(dialog, nullptr);
                                      auto* list = dialog->findChild<QTreeWidget*>(
                                          QStringLiteral("ListView1"));
                                      list->setCurrentItem(list->topLevelItem(1));  // "Firma"
                                      dialog->Command5_Click();
                                  });
                                  u.run("mnuKarteKategorie");
                              }},
                      Command{"Neue Kategorie",
                              [](Undo& u) {
                                  u.run("mnuNeueKategorie");
                                  u.platform_->answers.push_back(Answer::No);  // no card in it yet
                                  u.box(19)->setText(QStringLiteral("Verein"));
                                  QTest::keyClick(u.box(19), Qt::Key_Return);
                              }},
                      Command{"Kategorie umbenennen",
                              [](Undo& u) {
                                  u.chooseCategory(QStringLiteral("Privat"));
                                  u.platform_->answers.push_back(Answer::Yes);
                                  u.run("mnuKategorieUmbenennen");
                                  u.box(19)->setText(QStringLiteral("Familie"));
                                  QTest::keyClick(u.box(19), Qt::Key_Return);
                              }},
                      Command{"Kategorie löschen",
                              [](Undo& u) {
                                  u.chooseCategory(QStringLiteral("Privat"));
                                  u.platform_->answers.push_back(Answer::Yes);
                                  u.run("mnuKategorieLoschen");
                              }},
                      Command{"Import",
                              [](Undo& u) {
                                  u.chooseCategory(QStringLiteral("Firma"));
                                  u.platform_->answers.push_back(Answer::Yes);
                                  u.window().importVcard(u.writeVcf());
                                  u.window().session().finishWork();
                              }}),
    [](const auto& param) {
        return QString::fromUtf8(param.param.step)
            .remove(u' ')
            .replace(QStringLiteral("ö"), QStringLiteral("oe"))
            .toStdString();
    });

TEST_F(Undo, AnUndoneDeleteShowsTheCardAgainInItsCategory) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    const auto id = *window().cardStore()->findByHeading(u"Zeta");
    clickLine(static_cast<int>(listLines().indexOf(QStringLiteral("Zeta"))));
    platform_->answers.push_back(Answer::Yes);
    run("mnukarteloschen");
    chooseCategory(QStringLiteral("Firma"));

    run("mnuRueckgaengig");
    EXPECT_EQ(window().ui().Combo1->currentText(), QStringLiteral("Privat"));
    EXPECT_EQ(listLines(), (QStringList{"Meier", "Zeta"}));
    EXPECT_EQ(window().shownCardId(), id);
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 1);

    run("mnuWiederholen");  // the card goes again; the view keeps to the category
    EXPECT_EQ(listLines(), QStringList{"Meier"});
    EXPECT_NE(window().shownCardId(), id);
}

TEST_F(Undo, TheShownCardShowsWhatTheUndoBroughtBack) {
    openSample();
    selectLine(QStringLiteral("Meier"));
    focus(box(2));
    QTest::keyClick(box(2), Qt::Key_End);  // the box shows the start of its text
    type(box(2), QStringLiteral("-Peter"));
    // Typed but not yet saved: the entry already names the edit, and undo takes it back.
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("&Rückgängig: Karte bearbeiten"));
    run("mnuRueckgaengig");
    EXPECT_EQ(box(2)->text(), QStringLiteral("Hans"));
    EXPECT_EQ(window().cardStore()->loadCard(*window().shownCardId())->text(Field::Vorname),
              QStringLiteral("Hans"));
    run("mnuWiederholen");
    EXPECT_EQ(box(2)->text(), QStringLiteral("Hans-Peter"));
}

// "Anschrift erstellen" over a block typed by hand undoes alone, back to the typed block.
TEST_F(Undo, MakingTheAddressIsAStepOfItsOwn) {
    openSample();
    selectLine(QStringLiteral("Meier"));
    auto* address = window().ui().RichTextBox1;
    type(address, QStringLiteral("Von Hand"));
    window().ui().Command4->click();
    EXPECT_TRUE(address->toPlainText().contains(QStringLiteral("Hans")))
        << address->toPlainText().toStdString();
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("&Rückgängig: Anschrift erstellen"));
    run("mnuRueckgaengig");
    EXPECT_EQ(address->toPlainText(), QStringLiteral("Von Hand"));
    EXPECT_EQ(entryText("mnuRueckgaengig"), QStringLiteral("&Rückgängig: Karte bearbeiten"));
    run("mnuRueckgaengig");
    EXPECT_EQ(address->toPlainText(), QString());
}

TEST_F(Undo, TheKeysUndoTheLastCommandOutsideTextBoxesAndTheTextInside) {
    openSample();
    selectLine(QStringLiteral("Meier"));
    platform_->inputs.push_back(QStringLiteral("Maier"));
    run("mnukarteRen");
    auto* list = window().ui().List1;
    focus(list);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(listLines().contains(QStringLiteral("Meier")));
    focus(list);
    QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(listLines().contains(QStringLiteral("Maier")));

    selectLine(QStringLiteral("Bau AG"));
    type(box(2), QStringLiteral("Eva"));
    QTest::keyClick(box(2), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box(2)->text(), QString());
    QTest::keyClick(box(2), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(box(2)->text(), QStringLiteral("Eva"));
    auto* notes = window().ui().RichTextBox2;
    type(notes, QStringLiteral("Notiz"));
    QTest::keyClick(notes, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(notes->toPlainText(), QString());
    EXPECT_TRUE(listLines().contains(QStringLiteral("Maier")));
}

}  // namespace
