// show_photo_card: cards whose photo is a JPEG of about 5 MB are shown one after another: the
// time on the window's thread (the card view filled, the photo's decoding started) and, beside
// it, until the scaled picture is in its box.
#include "Bench.h"
#include "BenchWindow.h"

#include "mainwindow/PhotoBox.h"
#include "store/CardExtrasTable.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QListView>

#include <random>

namespace veltro::bench {

namespace {

// Grain on shades compresses as a photograph does; the picture grows until its JPEG is 5 MB.
QByteArray fiveMegabyteJpeg() {
    std::mt19937 rng(11);
    for (int side = 1200;; side += 200) {
        QImage image(side, side * 4 / 3, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const auto grain = static_cast<int>(rng() % 96);
                line[x] = qRgb((x / 8 + grain) % 256, (y / 8 + grain) % 256, (x + y + grain) % 256);
            }
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 95);
        if (bytes.size() >= 5 * 1024 * 1024) {
            return bytes;
        }
    }
}

void showPhotoCard(const BenchContext& context) {
    const QByteArray jpeg = fiveMegabyteJpeg();
    for (const auto cards : context.cardCounts) {
        LoadedWindow window(context, cards, "photo");
        auto* list = window->ui().List1;
        std::vector<std::int64_t> withPhoto;
        for (int row = 0; row < 2; ++row) {
            list->setCurrentIndex(list->model()->index(row, 0));
            withPhoto.push_back(*window->shownCardId());
        }
        auto& db = window->cardStore()->db();
        for (const std::int64_t card : withPhoto) {
            store::CardExtras extras = store::loadCardExtras(db, card);
            extras.photo = store::Photo{jpeg, QStringLiteral("image/jpeg")};
            store::writeCardExtras(db, card, extras);
        }
        std::vector<double> shown;
        std::vector<double> pictured;
        const int runs = std::max(context.runs, 20);
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            list->setCurrentIndex(list->model()->index(run % 2, 0));
            shown.push_back(msSince(timer));
            while (!window->ui().Foto->settled()) {
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
            pictured.push_back(msSince(timer));
        }
        report("show_photo_card", cards, median(shown), runs,
               {{"photo_bytes", std::to_string(jpeg.size())},
                {"picture_shown_ms", QString::number(median(pictured), 'f', 2).toStdString()}});
    }
}

const Register kShowPhotoCard("show_photo_card", showPhotoCard);

}  // namespace

}  // namespace veltro::bench
