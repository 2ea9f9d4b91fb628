// Labels, lists and serial letters take the cards the main window shows.
#include "MainWindowFixture.h"
#include "TestTools.h"

#include "labels/LabelsDialog.h"
#include "labels/ListPrintDialog.h"
#include "mainwindow/MainMenus.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

using namespace veltro;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

class LabelCommands : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Firma")},
             {{QStringLiteral("Wagner"),
               QStringLiteral("Firma"),
               {{Field::Firma, QStringLiteral("Wagner GmbH")},
                {Field::Ort, QStringLiteral("Bamberg")}}},
              {QStringLiteral("Bauer"),
               QStringLiteral("Firma"),
               {{Field::Anrede, QStringLiteral("Frau")},
                {Field::Nachname, QStringLiteral("Bauer")},
                {Field::Anschrift, QStringLiteral("Frau\nAnna Bauer\n96047 Bamberg")}}},
              {QStringLiteral("Meier"), QStringLiteral("Privat")}});
    }
};

TEST_F(LabelCommands, SerialLetterDataAreTheListedCardsInListOrder) {
    openSample();
    chooseCategory(QStringLiteral("Firma"));
    ASSERT_EQ(listLines(), (QStringList{QStringLiteral("Bauer"), QStringLiteral("Wagner")}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("serienbrief.csv"));
    platform_->files.push_back(platform::FileResult{path, 0});
    run("mnuSerienbrief");
    const QByteArray data = veltro::testing::fileBytes(path);
    ASSERT_TRUE(data.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(data.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("Bauer;Sehr geehrte Frau Bauer,;Frau;")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[1].endsWith(QStringLiteral(";Frau;Anna Bauer;96047 Bamberg")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[2].startsWith(QStringLiteral("Wagner;Sehr geehrte Damen und Herren,;")));
    EXPECT_TRUE(platform_->messages.empty());

    // A file that cannot be written is said so, not passed over.
    platform_->files.push_back(
        platform::FileResult{dir.filePath(QStringLiteral("fehlt/x.csv")), 0});
    run("mnuSerienbrief");
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.contains(QStringLiteral("nicht schreiben")));
}

TEST_F(LabelCommands, TheDialogsGetTheCategoryAndTheListWithTheShownCardAsTyped) {
    openSample();
    chooseCategory(QStringLiteral("Firma"));
    clickLine(0);
    box(7)->setText(QStringLiteral("Bauer-Neu"));  // typed, not saved yet
    run("mnuEtiketten");
    auto* labelsDialog = window().findChild<labels::LabelsDialog*>();
    ASSERT_NE(labelsDialog, nullptr);
    const auto cards = labelsDialog->chosenCards();
    ASSERT_EQ(cards.size(), 2U);
    EXPECT_EQ(cards[0].text(Field::Schlagworte), QStringLiteral("Bauer"));
    EXPECT_EQ(cards[0].text(Field::Nachname), QStringLiteral("Bauer-Neu"));
    labelsDialog->close();

    run("mnuListeDrucken");
    auto* listDialog = window().findChild<labels::ListPrintDialog*>();
    ASSERT_NE(listDialog, nullptr);
    EXPECT_TRUE(listDialog->note().startsWith(QStringLiteral("2 Karten auf 1 Seite")));
    listDialog->close();
}

}  // namespace
