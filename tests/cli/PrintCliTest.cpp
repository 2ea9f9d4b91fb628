// Labels, lists and envelopes written by the command line and read back with poppler's
// pdftotext: every word where it belongs on the paper.
#include "CliRun.h"
#include "PdfWords.h"

#include "labels/CardAddress.h"
#include "labels/CardSelection.h"
#include "labels/Envelope.h"
#include "labels/LabelDocument.h"
#include "labels/LabelSheet.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/Schema.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace veltro;
using store::Field;
using veltro::testing::CliRun;
using veltro::testing::runCli;

constexpr double kTolerance = 0.5;  // mm

struct Word {
    int page;  // from 1
    labels::RectMm box;
    QString text;
};

std::vector<Word> words(const QString& pdf) {
    std::vector<Word> out;
    for (const auto& w : veltro::testing::pdfWords(pdf)) {
        out.push_back({w.page, {w.left, w.top, w.right - w.left, w.bottom - w.top}, w.text});
    }
    return out;
}

// pdftotext splits at blanks; the words of a line in their order.
QStringList wordsOf(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

// The words whose middle lies on the label, line by line.
std::vector<Word> onLabel(const std::vector<Word>& all, int page, const labels::RectMm& label) {
    std::vector<Word> on;
    for (const Word& word : all) {
        const double x = word.box.x + word.box.width / 2;
        const double y = word.box.y + word.box.height / 2;
        if (word.page == page && x >= label.x && x < label.right() && y >= label.y &&
            y < label.bottom()) {
            on.push_back(word);
        }
    }
    std::ranges::stable_sort(on, [](const Word& a, const Word& b) {
        return a.box.y + 0.5 < b.box.y || (std::abs(a.box.y - b.box.y) <= 0.5 && a.box.x < b.box.x);
    });
    return on;
}

class PrintCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = work_.path() + u"/kartei"_s;
        ASSERT_EQ(runCli({u"demo-store"_s, dir_}).status, 0);
    }
    [[nodiscard]] QString out(const char* name) const {
        return work_.path() + u'/' + QString::fromLatin1(name);
    }
    std::vector<store::Card> cards(const QString& category = {}) {
        auto cardStore = store::CardStore::openForReading(
            std::filesystem::path(dir_.toStdString()) / store::kStoreFileName);
        return labels::cardsInListOrder(cardStore, store::CategoryFilter(category));
    }
    void addCard(const char* heading, const char* address) {
        auto cardStore = store::CardStore::open(std::filesystem::path(dir_.toStdString()) /
                                                store::kStoreFileName);
        store::Card card;
        card.set(Field::Schlagworte, QString::fromUtf8(heading));
        card.set(Field::Kategorien, u"Privat"_s);
        card.set(Field::Anschrift, QString::fromUtf8(address));
        cardStore.insertCard(card);
    }

    QTemporaryDir work_;
    QString dir_;
};

// A card whose address is too long for the smaller labels is cut there, and said so.
TEST_F(PrintCli, EveryAddressStandsOnItsLabelFromTheStartPositionOn) {
    addCard("Zz Langer Name",
            "Herrn\nProfessor Doktor Maximilian Alexander von Hohenzollern-Sigmaringen\n"
            "Zeile 3\nZeile 4\nZeile 5\nZeile 6\nZeile 7\nZeile 8\nZeile 9\nZeile 10");
    struct Case {
        const char* sheet;
        int start;
    };
    for (const Case& c : {Case{"3474", 5}, Case{"L7163", 1}, Case{"4780", 38}, Case{"3652", 21}}) {
        SCOPED_TRACE(c.sheet);
        const QString pdf = out("etiketten.pdf");
        const CliRun run =
            runCli({u"labels"_s, dir_, pdf, u"--sheet"_s, QString::fromLatin1(c.sheet),
                    u"--start"_s, QString::number(c.start)});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        // Labels whose text had to be cut, as the command reports them (from 1).
        std::set<std::size_t> reported;
        static const QRegularExpression cutLine(u"Etikett (\\d+) .*gekürzt"_s);
        for (auto it = cutLine.globalMatch(run.err); it.hasNext();) {
            reported.insert(it.next().captured(1).toULongLong() - 1);
        }
        const labels::LabelOptions options{
            *labels::sheetById(QString::fromLatin1(c.sheet)), c.start, {}, false};
        const std::vector<Word> all = words(pdf);
        const auto list = cards();
        ASSERT_FALSE(list.empty());
        std::size_t found = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            int page = 0;
            const labels::RectMm label = labels::labelFor(options, static_cast<int>(i), &page);
            std::vector<Word> on = onLabel(all, page + 1, label);
            found += on.size();
            QStringList expected;
            for (const QString& line : labels::addressLines(list[i])) {
                expected += wordsOf(line);
            }
            QStringList read;
            for (const Word& word : on) {
                read << word.text;
                EXPECT_TRUE(label.contains(word.box)) << word.text.toStdString();
            }
            const bool cut = std::ranges::any_of(
                read, [](const QString& word) { return word.endsWith(u"…"_s); });
            EXPECT_EQ(cut, reported.contains(i)) << "label " << i;
            if (!cut) {
                EXPECT_EQ(read, expected) << "label " << i;
            }
            ASSERT_FALSE(on.empty());
            EXPECT_NEAR(on.front().box.x, label.x + labels::kLabelPaddingX, kTolerance);
            EXPECT_NEAR(on.front().box.y, label.y + labels::kLabelPaddingY, kTolerance);
        }
        EXPECT_EQ(found, all.size());  // no word outside the labels
        if (c.sheet == std::string_view("4780")) {
            EXPECT_TRUE(run.err.contains(u"(\"Zz Langer Name\") passt nicht ganz"_s))
                << run.err.toStdString();
        }
    }
}

TEST_F(PrintCli, TheEnvelopeAddressStandsInTheWindow) {
    struct Case {
        const char* format;
        const char* form;
    };
    const auto list = cards();
    const QStringList first = labels::addressLines(list.front());
    for (const Case& c :
         {Case{"DL", "A"}, Case{"C6", "A"}, Case{"C5", "A"}, Case{"C5", "B"}, Case{"C4", "B"}}) {
        SCOPED_TRACE(std::string(c.format) + c.form);
        const QString pdf = out("umschlag.pdf");
        const CliRun run =
            runCli({u"envelope"_s, dir_, pdf, u"--format"_s, QString::fromLatin1(c.format),
                    u"--form"_s, QString::fromLatin1(c.form), u"--sender"_s,
                    u"Max Muster, Hauptstraße 1, 96047 Bamberg"_s});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const auto window =
            labels::addressWindow(*labels::envelopeById(QString::fromLatin1(c.format)),
                                  c.form[0] == 'B' ? labels::LetterForm::B : labels::LetterForm::A);
        const std::vector<Word> all = words(pdf);
        int pages = 0;
        for (const Word& word : all) {
            pages = std::max(pages, word.page);
            EXPECT_TRUE(window.window.contains(word.box)) << word.text.toStdString();
        }
        EXPECT_EQ(pages, static_cast<int>(list.size()));
        // The sender above the address zone, the address from its top.
        const std::vector<Word> onFirst = onLabel(all, 1, window.window);
        ASSERT_GE(onFirst.size(), 7u);
        EXPECT_EQ(onFirst[0].text, u"Max"_s);
        EXPECT_NEAR(onFirst[0].box.x, window.sender.x, kTolerance);
        EXPECT_LE(onFirst[0].box.bottom(), window.address.y + kTolerance);
        EXPECT_GE(onFirst[0].box.y, window.sender.y);
        EXPECT_EQ(onFirst[6].text, wordsOf(first.front()).front());
        EXPECT_NEAR(onFirst[6].box.y, window.address.y, kTolerance);
        EXPECT_NEAR(onFirst[6].box.x, window.address.x, kTolerance);
    }
}

// --address takes a card's further address of that type; a type no address has is refused.
TEST_F(PrintCli, AnEnvelopeTakesTheFurtherAddressOfTheChosenType) {
    const store::Card first = cards().front();
    {
        auto db = store::Database::open(std::filesystem::path(dir_.toStdString()) /
                                        store::kStoreFileName);
        store::CardExtras extras;
        extras.entries = {{store::EntryKind::Anschrift, store::EntryType::Privat, u"Rosenweg 2"_s,
                           u"96050"_s, u"Gaustadt"_s}};
        store::writeCardExtras(db, first.id, extras);
    }
    const QString pdf = out("privat.pdf");
    const QStringList call = {u"envelope"_s,
                              dir_,
                              pdf,
                              u"--format"_s,
                              u"DL"_s,
                              u"--card"_s,
                              first.text(Field::Schlagworte),
                              u"--address"_s};
    const CliRun run = runCli(call + QStringList{u"privat"_s});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QStringList text;
    for (const Word& word : words(pdf)) {
        text << word.text;
    }
    EXPECT_TRUE(text.join(u' ').contains(u"Rosenweg 2 96050 Gaustadt"_s))
        << text.join(u' ').toStdString();
    const CliRun wrong = runCli(call + QStringList{u"mobil"_s});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains(u"--address ist privat, geschäftlich oder andere"_s));
}

TEST_F(PrintCli, ATurnedEnvelopeHasItsAddressInTheTurnedWindow) {
    const QString pdf = out("hochkant.pdf");
    const CliRun run = runCli({u"envelope"_s, dir_, pdf, u"--format"_s, u"DL"_s, u"--turned"_s});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Turned a quarter clockwise: the envelope's (x, y) lies at (110 - y, x) on the page.
    const labels::RectMm window =
        labels::addressWindow(labels::EnvelopeFormat::DL, labels::LetterForm::A).window;
    const labels::RectMm turned{110.0 - window.bottom(), window.x, window.height, window.width};
    const std::vector<Word> all = words(pdf);
    ASSERT_FALSE(all.empty());
    for (const Word& word : all) {
        EXPECT_TRUE(turned.contains(word.box)) << word.text.toStdString();
        EXPECT_GT(word.box.height, word.box.width * 0.5)
            << "upright text: " << word.text.toStdString();
    }
}

TEST_F(PrintCli, TheListHasItsColumnsEveryCardAndNumberedPages) {
    const QString pdf = out("liste.pdf");
    // Where no runtime folder is set (cron, ssh), nothing but the result is said.
    const CliRun run =
        runCli({u"list"_s, dir_, pdf, u"--columns"_s, u"Karte,Ort"_s, u"--size"_s, u"14"_s},
               {{u"XDG_RUNTIME_DIR"_s, {}}});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const std::vector<Word> all = words(pdf);
    QStringList text;
    int pages = 0;
    for (const Word& word : all) {
        text << word.text;
        pages = std::max(pages, word.page);
    }
    const QString joined = text.join(u' ');
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(joined.contains(u"Karte Ort"_s));
    EXPECT_TRUE(joined.contains(QStringLiteral("Seite %1 von %1").arg(pages)));
    qsizetype from = 0;
    for (const store::Card& card : cards()) {
        const QString heading = card.text(Field::Schlagworte).simplified();
        const qsizetype at = joined.indexOf(heading, from);
        EXPECT_GE(at, 0) << "missing or out of order: " << heading.toStdString();
        from = std::max(from, at);
    }
    // Keyword listing stays what it was without a file.
    const CliRun headings = runCli({u"list"_s, dir_});
    EXPECT_EQ(headings.status, 0);
    EXPECT_EQ(headings.out.count(u'\n'), static_cast<qsizetype>(cards().size()));
}

}  // namespace
