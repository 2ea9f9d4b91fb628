// Prints to PDF and reads it back with poppler's pdftotext: the texts, where they stand on the
// paper and how the pages break.
#include "PdfWords.h"
#include "PrintTestData.h"
#include "QtPrinters.h"

#include "platform/PrinterSurface.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

using namespace veltro;
namespace vt = veltro::testing;
using printing::PrintLayout;
using store::Field;

namespace {

using veltro::testing::pdftotext;
using Word = veltro::testing::PdfWord;

// Prints into $VELTRO_PRINT_OUTPUT when set, to look at the pages, else into a temporary folder.
QString printPdf(const QString& name, PrintLayout layout, const printing::PrintData& data,
                 double marginMm = 0) {
    static QTemporaryDir temporary;
    const QString dir = qEnvironmentVariable("VELTRO_PRINT_OUTPUT", temporary.path());
    const QString path = dir + u'/' + name + QStringLiteral(".pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                           QPageLayout::Millimeter);
    auto surface = platform::PrinterSurface::begin(printer);
    EXPECT_TRUE(surface);
    platform::PrintFont font;
    printing::PrintJob job(*surface, font);
    printing::printLayout(layout, job, data);
    return path;
}

const Word* find(const std::vector<Word>& all, const QString& text) {
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Word& w) { return w.text == text; });
    return it == all.end() ? nullptr : &*it;
}

// The nearest word right of the given one on its line.
const Word* nextOnLine(const std::vector<Word>& all, const Word& key) {
    const Word* next = nullptr;
    for (const Word& w : all) {
        if (std::abs(w.top - key.top) < 0.5 && w.left > key.right &&
            (!next || w.left < next->left)) {
            next = &w;
        }
    }
    return next;
}

TEST(PdfPrint, TheCardReadsBackInOrderWithItsValuesInOneZone) {
    const QString pdf = printPdf(QStringLiteral("karte"), PrintLayout::Card, vt::sampleData());
    const QString read = pdftotext({QStringLiteral("-layout"), pdf});
    qsizetype from = 0;
    for (const auto& line : vt::printOut(PrintLayout::Card, vt::sampleData())) {
        for (const QString& item : line.items) {
            const qsizetype at = read.indexOf(item.trimmed(), from);
            ASSERT_GE(at, 0) << item.toStdString() << " after " << from << "\n"
                             << read.toStdString();
            from = at + item.trimmed().size();
        }
    }
    const auto all = veltro::testing::pdfWords(pdf);
    const double valueColumn = nextOnLine(all, *find(all, QStringLiteral("Anrede:")))->left;
    for (const char* label :
         {"Vorname:", "Abteilung:", "Straße:", "E-Mail:", "Telefax:", "Handy:"}) {
        EXPECT_NEAR(nextOnLine(all, *find(all, QString::fromUtf8(label)))->left, valueColumn, 0.1);
    }
    const Word* category = find(all, QStringLiteral("Privat"));
    EXPECT_GT(nextOnLine(all, *category)->left, category->right + 2.0);  // "KartenNr.:" apart
}

TEST(PdfPrint, TextStandsWhereTheMarginsPutIt) {
    const struct {
        PrintLayout layout;
        double printerMargin;  // mm around the printable area
        const char *firstWord, *secondLine;
        double left, top;  // units from the printable corner
    } cases[] = {
        // The defaults on a sheet printable to its edges: 20 mm right, 45 mm down.
        {PrintLayout::Address, 0, "Frau", "Anna", 20, 45},
        {PrintLayout::Card, 10, "Karte:", "Kategorie:", 20, 22},
    };
    for (const auto& c : cases) {
        const auto all = veltro::testing::pdfWords(
            printPdf(QStringLiteral("lage"), c.layout, vt::sampleData(), c.printerMargin));
        const Word* word = find(all, QString::fromUtf8(c.firstWord));
        const Word* below = find(all, QString::fromUtf8(c.secondLine));
        ASSERT_TRUE(word && below);
        // A unit is 1/210 of the printable width and 1/297 of its height; each layout starts
        // with an empty line, one line above the first word.
        const double wide = 1 - 2 * c.printerMargin / 210, high = 1 - 2 * c.printerMargin / 297;
        EXPECT_NEAR(word->left, c.printerMargin + c.left * wide, 0.5);
        EXPECT_NEAR(word->top, c.printerMargin + c.top * high + (below->top - word->top), 0.5);
    }
}

TEST(PdfPrint, LongNotesGoOnOverPagesAtTheSameOriginAndLongLinesWrap) {
    QStringList notes, paragraph;
    for (int i = 1; i <= 150; ++i) {
        notes << QStringLiteral("Zeile%1").arg(i, 3, 10, QLatin1Char('0'));
    }
    for (int i = 1; i <= 60; ++i) {
        paragraph << QStringLiteral("Wort%1").arg(i, 2, 10, QLatin1Char('0'));
    }
    printing::PrintData data = vt::sampleData();
    data.card.set(Field::Notizen, notes.mid(0, 100).join(u'\n') + u'\n' + paragraph.join(u' ') +
                                      u'\n' + notes.mid(100).join(u'\n') + QString(300, u'\n'));
    const QString pdf = printPdf(QStringLiteral("notizen"), PrintLayout::Notes, data, 10);
    const auto all = veltro::testing::pdfWords(pdf);
    QStringList read;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Word& w = all[i];
        read << w.text;
        EXPECT_TRUE(w.right <= 200 && w.bottom <= 287) << w.text.toStdString();  // all on paper
        if (i == 0 || w.page != all[i - 1].page || std::abs(w.top - all[i - 1].top) > 0.5) {
            EXPECT_NEAR(w.left, all.front().left, 0.1) << w.text.toStdString();
        }
        if (i > 0 && w.page != all[i - 1].page) {  // a new page starts 22 units down again
            EXPECT_NEAR(w.top, 10 + 22 * 277.0 / 297, 1.0);
        }
    }
    EXPECT_EQ(read, notes.mid(0, 100) + paragraph + notes.mid(100));
    // Three pages with text, and no blank sheet for the trailing empty lines.
    EXPECT_EQ(all.back().page, 3);
    EXPECT_EQ(pdftotext({QStringLiteral("-bbox"), pdf}).count(QStringLiteral("<page ")), 3);
}

TEST(QtPrinting, WithoutAnInstalledPrinterNoJobStartsButThePreviewShowsThePage) {
    platform::QtPlatform qt;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);  // what Qt falls back to without a printer
    EXPECT_EQ(qt.startPrintJob(printer), nullptr);

    int pages = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* view = dialog != nullptr ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (view != nullptr && view->pageCount() > 0) {
            pages = view->pageCount();
            dialog->reject();
        }
    });
    poll.start(20);
    qt.showPrintPreview(printer, QStringLiteral("Seitenansicht – Karte"),
                        [](platform::PrintSurface& surface) {
                            platform::PrintFont font;
                            printing::PrintJob job(surface, font);
                            printing::AllesDrucken(job, vt::sampleData());
                        });
    EXPECT_EQ(pages, 1);
}

}  // namespace
