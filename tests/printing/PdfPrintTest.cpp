// Prints to PDF files and reads them back with poppler's pdftotext, as a person would see
// the paper: the texts, where they stand on the page and how pages break.
#include "PrintTestData.h"
#include "QtPrinters.h"

#include "platform/PrinterSurface.h"
#include "platform/QtPlatform.h"
#include "printing/PrintLayouts.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <map>
#include <string_view>

#include <gtest/gtest.h>

using namespace veltro;
namespace vt = veltro::testing;
using printing::PrintData;
using printing::PrintLayout;
using store::Field;

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

struct Word {
    int page = 0;
    double left = 0, top = 0, right = 0, bottom = 0;  // mm from the paper's corner
    QString text;
};

class PdfPrint : public ::testing::Test {
protected:
    // Keeps the files where VELTRO_PRINT_OUTPUT says, for looking at them.
    QString pdfPath(const QString& name) const {
        const QString keep = qEnvironmentVariable("VELTRO_PRINT_OUTPUT");
        return (keep.isEmpty() ? dir_.path() : keep) + u'/' + name + QStringLiteral(".pdf");
    }

    QString print(const QString& name, PrintLayout layout, const PrintData& data,
                  double printerMarginMm = 0) {
        const QString path = pdfPath(name);
        QPrinter printer(QPrinter::HighResolution);
        configure(printer, path, printerMarginMm);
        auto surface = platform::PrinterSurface::begin(printer);
        EXPECT_TRUE(surface) << "no PDF job";
        if (surface) {
            platform::PrintFont font;
            printing::PrintJob job(*surface, font);
            printing::printLayout(layout, job, data);
        }
        return path;
    }

    static void configure(QPrinter& printer, const QString& path, double marginMm) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                               QPageLayout::Millimeter);
    }

    // The height of one line of this font on that printer, in mm of paper.
    static double lineMm(double marginMm, const QString& face, double points, bool bold) {
        QPrinter printer(QPrinter::HighResolution);
        configure(printer, QStringLiteral("/dev/null"), marginMm);
        QFont font(face);
        font.setPointSizeF(points);
        font.setBold(bold);
        return QFontMetricsF(QFont(font, &printer), &printer).lineSpacing() / printer.resolution() *
               25.4;
    }

    static QString pdftotext(const QStringList& arguments) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        // A missing reader is a broken test machine, not a reason to pass.
        EXPECT_FALSE(program.isEmpty()) << "pdftotext not found: install poppler-utils";
        if (program.isEmpty()) {
            return {};
        }
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QString text(const QString& pdf) {
        return pdftotext({QStringLiteral("-layout"), QStringLiteral("-enc"),
                          QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    }

    static std::vector<Word> words(const QString& pdf) {
        const QString html = pdftotext({QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        static const QRegularExpression tag(
            QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                           R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
        std::vector<Word> out;
        int page = 0;
        for (auto it = tag.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(0).startsWith(u"<page")) {
                ++page;
                continue;
            }
            out.push_back({page, m.captured(1).toDouble() * kMmPerPoint,
                           m.captured(2).toDouble() * kMmPerPoint,
                           m.captured(3).toDouble() * kMmPerPoint,
                           m.captured(4).toDouble() * kMmPerPoint,
                           m.captured(5).replace(QStringLiteral("&amp;"), QStringLiteral("&"))});
        }
        return out;
    }

    static const Word* find(const std::vector<Word>& all, const QString& text, int page = 1) {
        for (const Word& w : all) {
            if (w.text == text && w.page == page) {
                return &w;
            }
        }
        return nullptr;
    }

    QTemporaryDir dir_;
};

TEST_F(PdfPrint, TheCardReadsBackInOrder) {
    const QString read = text(print(QStringLiteral("karte"), PrintLayout::Card, vt::sampleData()));
    const char* expected[] = {
        "Karte:",          "Muster, Anna",   "Kategorie:",   "Privat",         "KartenNr.: 7",
        "_______",         "Anrede:",        "Frau",         "Vorname:",       "Anna",
        "Nachname:",       "Muster",         "Abteilung:",   "Einkauf",        "Firma:",
        "Beispiel GmbH",   "PLZ:",           "96047",        "Ort:",           "Bamberg",
        "Straße:",         "Lange Straße 3", "Webseite:",    "www.example.de", "E-Mail:",
        "anna@example.de", "Telefon:",       "(0951) 12345", "Telefax:",       "(0951) 12346",
        "Handy:",          "0170 1234567",   "Notizen",      "_______",        "Erste Zeile",
        "Zweite Zeile",
    };
    qsizetype from = 0;
    for (const char* piece : expected) {
        const qsizetype at = read.indexOf(QString::fromUtf8(piece), from);
        ASSERT_GE(at, 0) << "after position " << from << ": " << piece << "\n"
                         << read.toStdString();
        from = at + 1;
    }
}

TEST_F(PdfPrint, TextStandsWhereTheMarginsPutIt) {
    PrintData data = vt::sampleData();
    const struct {
        PrintLayout layout;
        double printerMargin;  // mm around the printable area
        const char* firstWord;
        double offsetLeft, offsetTop;  // units from the printable corner
        QString face;
        double points;
        bool bold;
    } cases[] = {
        // The defaults on a sheet printable to its edges: 20 mm right, 45 mm down.
        {PrintLayout::Address, 0, "Frau", 20, 45, QStringLiteral("DejaVu Serif"), 12, false},
        {PrintLayout::Address, 10, "Frau", 20, 45, QStringLiteral("DejaVu Serif"), 12, false},
        {PrintLayout::Card, 10, "Karte:", 20, 22, QStringLiteral("DejaVu Sans"), 12, true},
        {PrintLayout::Notes, 0, "Erste", 20, 22, QStringLiteral("DejaVu Sans"), 10, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstWord);
        const auto all =
            words(print(QStringLiteral("lage%1").arg(++n), c.layout, data, c.printerMargin));
        const Word* word = find(all, QString::fromUtf8(c.firstWord));
        ASSERT_TRUE(word);
        // One unit is 1/210 of the printable width and 1/297 of its height; the layout's
        // first line is empty, so the word stands one line below the origin.
        const double unitX = (210.0 - 2 * c.printerMargin) / 210.0;
        const double unitY = (297.0 - 2 * c.printerMargin) / 297.0;
        EXPECT_NEAR(word->left, c.printerMargin + c.offsetLeft * unitX, 0.5);
        EXPECT_NEAR(word->top,
                    c.printerMargin + c.offsetTop * unitY +
                        lineMm(c.printerMargin, c.face, c.points, c.bold),
                    1.0);
    }
}

TEST_F(PdfPrint, ValuesStartInTheSameZoneAndTheCardNumberStandsApart) {
    const auto all = words(print(QStringLiteral("zonen"), PrintLayout::Card, vt::sampleData()));
    // The nearest word right of the label on its line.
    const auto valueAfter = [&all](const char* label) -> const Word* {
        const Word* key = find(all, QString::fromUtf8(label));
        const Word* value = nullptr;
        for (const Word& w : all) {
            if (key && std::abs(w.top - key->top) < 0.5 && w.left > key->right &&
                (!value || w.left < value->left)) {
                value = &w;
            }
        }
        return value;
    };
    const Word* first = valueAfter("Anrede:");
    ASSERT_TRUE(first);
    for (const char* label :
         {"Karte:", "Vorname:", "Nachname:", "Abteilung:", "Firma:", "PLZ:", "Ort:", "Straße:",
          "Webseite:", "E-Mail:", "Telefon:", "Telefax:", "Handy:"}) {
        const Word* value = valueAfter(label);
        ASSERT_TRUE(value) << label;
        if (std::string_view(label) != "Karte:") {  // the heading has a bigger font and zone
            EXPECT_NEAR(value->left, first->left, 0.1) << label;
        }
    }
    const Word* category = valueAfter("Kategorie:");
    const Word* number = valueAfter("Privat");
    ASSERT_TRUE(category && number);
    EXPECT_EQ(number->text, QStringLiteral("KartenNr.:"));
    EXPECT_GT(number->left, category->right + 2.0);
}

TEST_F(PdfPrint, LongNotesGoOnOverPagesAtTheSameOriginAndLongLinesWrap) {
    PrintData data = vt::sampleData();
    QStringList notes;
    for (int i = 1; i <= 150; ++i) {
        notes << QStringLiteral("Zeile%1").arg(i, 3, 10, QLatin1Char('0'));
    }
    QStringList paragraph;
    for (int i = 1; i <= 60; ++i) {
        paragraph << QStringLiteral("Wort%1").arg(i, 2, 10, QLatin1Char('0'));
    }
    notes.insert(100, paragraph.join(u' '));
    data.card.set(Field::Notizen, notes.join(u'\n'));
    const auto all = words(print(QStringLiteral("notizen"), PrintLayout::Notes, data, 10));

    QStringList read;
    std::map<int, const Word*> firstOnPage;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Word& w = all[i];
        read << w.text;
        firstOnPage.emplace(w.page, &w);
        EXPECT_LE(w.right, 200.0) << w.text.toStdString();  // inside the printable area
        EXPECT_LE(w.bottom, 287.0) << w.text.toStdString();
        const bool startsLine =
            i == 0 || w.page != all[i - 1].page || std::abs(w.top - all[i - 1].top) > 0.5;
        if (startsLine) {
            EXPECT_NEAR(w.left, all.front().left, 0.1) << w.text.toStdString();
        }
    }
    QStringList expected = notes;
    expected.removeAt(100);
    for (int i = 59; i >= 0; --i) {
        expected.insert(100, paragraph[i]);
    }
    EXPECT_EQ(read, expected);
    ASSERT_GE(firstOnPage.size(), 3U);
    // Following pages start at the same origin, 22 units below the printable top.
    const double origin = 10 + 22 * 277.0 / 297.0;
    EXPECT_NEAR(firstOnPage.at(2)->top, origin, 1.0);
    EXPECT_NEAR(firstOnPage.at(3)->top, origin, 1.0);
}

TEST_F(PdfPrint, TrailingEmptyLinesEjectNoBlankSheet) {
    PrintData data = vt::sampleData();
    data.card.set(Field::Notizen, QStringLiteral("Kurz") + QString(300, u'\n'));
    const QString pdf = print(QStringLiteral("leer"), PrintLayout::Notes, data);
    const QString boxes = pdftotext({QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_EQ(boxes.count(QStringLiteral("<page ")), 1);
    EXPECT_EQ(words(pdf).size(), 1U);
}

TEST(QtPrinting, WithoutAnInstalledPrinterNoJobStartsButThePreviewShowsThePages) {
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
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Seitenansicht – Karte"));
            dialog->reject();
        }
    });
    poll.start(20);
    QTimer::singleShot(10000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    qt.showPrintPreview(printer, QStringLiteral("Seitenansicht – Karte"),
                        [](platform::PrintSurface& surface) {
                            platform::PrintFont font;
                            printing::PrintJob job(surface, font);
                            printing::AllesDrucken(job, vt::sampleData());
                        });
    EXPECT_EQ(pages, 1);
}

}  // namespace
