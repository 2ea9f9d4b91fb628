#include "PrintTestData.h"
#include "QtPrinters.h"

#include "printing/PrintController.h"

#include <gtest/gtest.h>

#include <functional>

using namespace veltro;
using namespace Qt::Literals::StringLiterals;
namespace vt = veltro::testing;
using printing::FocusedWidget;
using printing::PrintController;
using printing::PrintEntry;
using printing::PrintLayout;

namespace {

const QString kCard10 = QStringLiteral("Diese Karte drucken?          ");

TEST(PrintCommands, EachEntryAsksItsQuestionAndPrintsItsLayoutOnYesOnly) {
    const auto entry = [](PrintEntry e) {
        return [e](PrintController& c) { c.run(e, vt::sampleData()); };
    };
    const auto button = [](FocusedWidget f) {
        return [f](PrintController& c) { c.runForFocus(f, vt::sampleData()); };
    };
    const struct {
        std::function<void(PrintController&)> command;
        QString question;  // empty: none
        PrintLayout layout;
    } cases[] = {
        {entry(PrintEntry::MenuAddress), u"Anschrift drucken?"_s, PrintLayout::Address},
        {entry(PrintEntry::MenuNotes), u"Notizen drucken?"_s, PrintLayout::Notes},
        {entry(PrintEntry::MenuFields), u"Eingabefelder drucken?"_s, PrintLayout::Fields},
        {entry(PrintEntry::MenuCard), kCard10, PrintLayout::Card},
        {entry(PrintEntry::CardMenuCard), kCard10 + u' ', PrintLayout::Card},
        {entry(PrintEntry::PopupAddress), u""_s, PrintLayout::Address},
        {entry(PrintEntry::PopupNotes), u""_s, PrintLayout::Notes},
        {button(FocusedWidget::AddressBlock), u"Anschrift drucken?"_s, PrintLayout::Address},
        {button(FocusedWidget::NotesBlock), u"Notizen drucken?"_s, PrintLayout::Notes},
        {button(FocusedWidget::CardList), kCard10, PrintLayout::Card},
        {button(FocusedWidget::Other), u"Eingabefelder drucken?"_s, PrintLayout::Fields},
    };
    for (const auto& c : cases) {
        for (const auto answer : {platform::Answer::Yes, platform::Answer::No}) {
            vt::ScopedRecordingPlatform recording;
            recording->answers.push_back(answer);
            PrintController controller;
            c.command(controller);
            const bool prints = c.question.isEmpty() || answer == platform::Answer::Yes;
            EXPECT_EQ(recording->printedTexts(),
                      prints ? vt::texts(vt::printOut(c.layout, vt::sampleData())) : QStringList());
            EXPECT_EQ(recording->finishedJobs, prints ? 1 : 0);
            if (c.question.isEmpty()) {
                EXPECT_TRUE(recording->messages.empty());
                continue;
            }
            ASSERT_EQ(recording->messages.size(), 1U);
            const auto& box = recording->messages.front();
            EXPECT_EQ(box.text, c.question);
            EXPECT_EQ(box.title, QStringLiteral("Drucken"));
            EXPECT_EQ(box.buttons, platform::Buttons::YesNo);
            EXPECT_EQ(box.icon, platform::Icon::Question);
            EXPECT_EQ(box.defaultButton, 0);
        }
    }
}

TEST(PrintCommands, AnAddressOfMixedFacesPrintsInTheFontOfTheJobBefore) {
    vt::ScopedRecordingPlatform recording;
    PrintController controller;
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
    PrintController controller;
    controller.preview(FocusedWidget::NotesBlock, vt::sampleData());
    EXPECT_EQ(recording->previewTitles, std::vector<QString>{u"Seitenansicht – Notizen"_s});
    EXPECT_EQ(vt::texts(recording->previewed),
              vt::texts(vt::printOut(PrintLayout::Notes, vt::sampleData())));
    EXPECT_TRUE(recording->messages.empty());
    EXPECT_TRUE(recording->printed.empty());
}

}  // namespace
