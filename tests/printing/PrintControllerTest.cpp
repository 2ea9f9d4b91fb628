#include "PrintTestData.h"
#include "QtPrinters.h"
#include "RecordingPlatform.h"

#include "printing/PrintController.h"

#include <gtest/gtest.h>

using namespace veltro;
namespace vt = veltro::testing;
using printing::FocusedWidget;
using printing::PrintEntry;
using printing::PrintLayout;
using vt::PrintedLine;

namespace {

// The texts a layout prints on its own, to recognise it in what a command printed.
QStringList layoutTexts(PrintLayout layout, platform::PrintFont font = {}) {
    std::vector<PrintedLine> lines;
    int finished = 0;
    vt::RecordingSurface surface(lines, finished);
    printing::PrintJob job(surface, font);
    printing::printLayout(layout, job, vt::sampleData());
    QStringList texts;
    for (const auto& line : lines) {
        texts << line.text;
    }
    return texts;
}

QStringList texts(const std::vector<PrintedLine>& lines) {
    QStringList out;
    for (const auto& line : lines) {
        out << line.text;
    }
    return out;
}

const QString kCard10 = QStringLiteral("Diese Karte drucken?          ");
const QString kCard11 = QStringLiteral("Diese Karte drucken?           ");

struct Case {
    PrintEntry entry;
    std::optional<QString> question;
    PrintLayout layout;
};

const Case kEntries[] = {
    {PrintEntry::MenuAddress, QStringLiteral("Anschrift drucken?"), PrintLayout::Address},
    {PrintEntry::MenuNotes, QStringLiteral("Notizen drucken?"), PrintLayout::Notes},
    {PrintEntry::MenuFields, QStringLiteral("Eingabefelder drucken?"), PrintLayout::Fields},
    {PrintEntry::MenuCard, kCard10, PrintLayout::Card},
    {PrintEntry::CardMenuCard, kCard11, PrintLayout::Card},
    {PrintEntry::PopupAddress, std::nullopt, PrintLayout::Address},
    {PrintEntry::PopupNotes, std::nullopt, PrintLayout::Notes},
};

TEST(PrintCommands, EachEntryAsksItsQuestionAndPrintsItsLayoutOnYesOnly) {
    for (const Case& c : kEntries) {
        for (const auto answer : {platform::Answer::Yes, platform::Answer::No}) {
            vt::ScopedRecordingPlatform recording;
            recording->answers.push_back(answer);
            printing::PrintController controller;
            controller.run(c.entry, vt::sampleData());

            const bool prints = !c.question || answer == platform::Answer::Yes;
            if (c.question) {
                ASSERT_EQ(recording->messages.size(), 1U);
                const auto& box = recording->messages.front();
                EXPECT_EQ(box.text, *c.question);
                EXPECT_EQ(box.title, QStringLiteral("Drucken"));
                EXPECT_EQ(box.buttons, platform::Buttons::YesNo);
                EXPECT_EQ(box.icon, platform::Icon::Question);
                EXPECT_EQ(box.defaultButton, 0);
            } else {
                EXPECT_TRUE(recording->messages.empty());
            }
            EXPECT_EQ(recording->printedTexts(), prints ? layoutTexts(c.layout) : QStringList());
            EXPECT_EQ(recording->finishedJobs, prints ? 1 : 0);
        }
    }
}

TEST(PrintCommands, ThePrintButtonFollowsTheFocus) {
    const struct {
        FocusedWidget focus;
        QString question;
        PrintLayout layout;
    } cases[] = {
        {FocusedWidget::AddressBlock, QStringLiteral("Anschrift drucken?"), PrintLayout::Address},
        {FocusedWidget::NotesBlock, QStringLiteral("Notizen drucken?"), PrintLayout::Notes},
        {FocusedWidget::CardList, kCard10, PrintLayout::Card},
        {FocusedWidget::Other, QStringLiteral("Eingabefelder drucken?"), PrintLayout::Fields},
    };
    for (const auto& c : cases) {
        vt::ScopedRecordingPlatform recording;
        printing::PrintController controller;
        controller.runForFocus(c.focus, vt::sampleData());
        ASSERT_EQ(recording->messages.size(), 1U);
        EXPECT_EQ(recording->messages.front().text, c.question);
        EXPECT_EQ(recording->printedTexts(), layoutTexts(c.layout));
    }
}

TEST(PrintCommands, WithoutAPrinterTheCommandEndsSilently) {
    vt::ScopedRecordingPlatform recording;
    recording->printerAvailable = false;
    printing::PrintController controller;
    controller.run(PrintEntry::PopupNotes, vt::sampleData());
    controller.run(PrintEntry::MenuCard, vt::sampleData());
    EXPECT_EQ(recording->messages.size(), 1U);  // the card question, no error
    EXPECT_TRUE(recording->printed.empty());
    EXPECT_EQ(recording->finishedJobs, 0);
}

TEST(PrintCommands, TheAddressInAMixedSelectionTakesTheFaceOfTheJobBefore) {
    vt::ScopedRecordingPlatform recording;
    printing::PrintController controller;
    printing::PrintData data = vt::sampleData();
    data.addressFace.reset();
    data.addressPoints.reset();
    controller.run(PrintEntry::PopupNotes, data);
    recording->printed.clear();
    controller.run(PrintEntry::PopupAddress, data);
    ASSERT_FALSE(recording->printed.empty());
    EXPECT_EQ(recording->printed.front().font.face, data.fieldFace);
    EXPECT_EQ(recording->printed.front().font.points, 10.0);
}

TEST(PrintCommands, ThePreviewShowsTheFocusedLayoutWithoutAskingOrPrinting) {
    vt::ScopedRecordingPlatform recording;
    printing::PrintController controller;
    const platform::PrintFont before = controller.printerFont();
    controller.preview(FocusedWidget::CardList, vt::sampleData());
    EXPECT_EQ(recording->previewTitles,
              std::vector<QString>{QStringLiteral("Seitenansicht – Karte")});
    EXPECT_EQ(texts(recording->previewed), layoutTexts(PrintLayout::Card));
    EXPECT_TRUE(recording->messages.empty());
    EXPECT_TRUE(recording->printed.empty());
    EXPECT_EQ(controller.printerFont(), before);
}

TEST(PrintCommands, PrinterSelectionOpensThePrintDialogOnly) {
    for (const bool accepted : {true, false}) {
        vt::ScopedRecordingPlatform recording;
        recording->printerSetupAccepted = accepted;
        printing::PrintController controller;
        controller.choosePrinter();
        EXPECT_EQ(recording->printerSetups, 1);
        EXPECT_TRUE(recording->messages.empty());
        EXPECT_TRUE(recording->printed.empty());
    }
}

}  // namespace
