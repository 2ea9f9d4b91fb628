#include "labels/EnvelopeDocument.h"

#include "labels/FitText.h"

namespace veltro::labels {

SizeMm envelopePage(const EnvelopeOptions& options) {
    const SizeMm size = formatInfo(options.format).size;
    return options.turned ? SizeMm{size.height, size.width} : size;
}

namespace {

// The sender line sits at the foot of the notes zone, right above the address.
bool drawSender(PageCanvas& canvas, const EnvelopeOptions& options, const RectMm& zone) {
    const QString sender = options.sender.simplified();
    if (sender.isEmpty()) {
        return false;
    }
    canvas.setStyle({options.style.face, kSenderPoints, false});
    const QString line = elided(sender, zone.width, canvas);
    canvas.drawText(zone.x, zone.bottom() - canvas.lineHeight(), line);
    return line != sender;
}

}  // namespace

std::vector<PrintedEnvelope> drawEnvelopes(PageCanvas& canvas, const EnvelopeOptions& options,
                                           const std::vector<QStringList>& addresses) {
    const AddressWindow window = addressWindow(options.format, options.form);
    std::vector<PrintedEnvelope> printed;
    printed.reserve(addresses.size());
    for (const QStringList& address : addresses) {
        canvas.beginPage();
        canvas.setTurned(options.turned);
        const bool senderCut = drawSender(canvas, options, window.sender);
        const FittedText fitted =
            fitText(address, options.style, {window.address.width, window.address.height}, canvas);
        double top = window.address.y;
        for (const QString& line : fitted.lines) {
            canvas.drawText(window.address.x, top, line);
            top += canvas.lineHeight();
        }
        const bool cut = senderCut || fitted.cut;
        if (cut) {
            canvas.markCut(window.window);
        }
        printed.push_back({fitted.points, cut});
    }
    return printed;
}

}  // namespace veltro::labels
