// show_picture_card: a note with a large photograph and a large drawing is shown in the notes
// block: the time to take the RTF and paint the block, and until the pictures are painted.
// show_long_word: a note of one word of 10 MB without a blank is shown, typed into at its
// start and its end, and read back as RTF for the save.
#include "Bench.h"

#include "richtext/RichTextBlock.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include <stdexcept>

#include <random>

namespace veltro::bench {

namespace {

// A picture as large as a camera's photograph: shades with some grain, so that it compresses
// about as a photograph does, to megabytes.
QByteArray encoded(QSize size, const char* format, std::mt19937& rng) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const auto grain = static_cast<int>(rng() % 48);
            line[x] = qRgb((x * 255 / size.width() + grain) % 256,
                           (y * 255 / size.height() + grain) % 256, (x + y + grain) % 256);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString pictureNote() {
    std::mt19937 rng(7);
    const QByteArray jpeg = encoded({4000, 3000}, "JPEG", rng);
    const QByteArray png = encoded({2000, 1500}, "PNG", rng);
    return QString::fromLatin1(
        "{\\rtf1 Foto {\\pict\\picw4000\\pich3000\\picwgoal6000\\pichgoal4500"
        "\\jpegblip " +
        jpeg.toHex() +
        "}\\par Plan {\\pict\\picw2000\\pich1500\\picwgoal6000\\pichgoal4500"
        "\\pngblip " +
        png.toHex() + "}\\par}");
}

// Shows the note in a block of the notes' size; the milliseconds until it is painted, with
// `timer` running from the start.
double showNote(richtext::RichTextBlock& block, const QString& note, QElapsedTimer& timer) {
    block.resize(600, 400);
    block.show();
    timer.start();
    block.setRtfText(note);
    block.viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void showPictureCard(const BenchContext& context) {
    const QString note = pictureNote();
    std::vector<double> shown;
    std::vector<double> drawn;
    for (int run = 0; run < std::max(context.runs, 5); ++run) {
        richtext::RichTextBlock block;
        QElapsedTimer timer;
        shown.push_back(showNote(block, note, timer));
        // Drawn once the photograph, first on screen, is decoded in the background.
        const QPoint inside(300, 100);
        const QRgb placeholder = block.viewport()->grab().toImage().pixel(inside);
        while (block.viewport()->grab().toImage().pixel(inside) == placeholder &&
               timer.elapsed() < 10000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        drawn.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    report("show_picture_card", 1, median(shown), static_cast<int>(shown.size()),
           {{"rtf_bytes", std::to_string(note.size())},
            {"pictures_drawn_ms", QString::number(median(drawn), 'f', 1).toStdString()}});
}

void showLongWord(const BenchContext& context) {
    const QString note = QStringLiteral("{\\rtf1 %1\\par}").arg(QString(10 * 1024 * 1024, u'x'));
    std::vector<double> shown;
    std::vector<double> edited;
    for (int run = 0; run < std::max(context.runs, 3); ++run) {
        richtext::RichTextBlock block;
        QElapsedTimer timer;
        shown.push_back(showNote(block, note, timer));
        timer.restart();
        for (const auto end : {QTextCursor::Start, QTextCursor::End}) {
            block.moveCursor(end);
            QTest::keyClicks(&block, QStringLiteral("ab"));
            QApplication::processEvents();
        }
        const QString saved = block.rtfText();
        edited.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (saved.size() < note.size()) {
            throw std::runtime_error("show_long_word: the note came back shorter");
        }
    }
    report("show_long_word", 1, median(shown), static_cast<int>(shown.size()),
           {{"edited_and_saved_ms", QString::number(median(edited), 'f', 1).toStdString()}});
}

const Register kShowPictureCard("show_picture_card", showPictureCard);
const Register kShowLongWord("show_long_word", showLongWord);

}  // namespace

}  // namespace veltro::bench
