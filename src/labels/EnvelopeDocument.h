#pragma once

#include "labels/Envelope.h"
#include "labels/PageCanvas.h"

#include <QStringList>

#include <vector>

namespace veltro::labels {

struct EnvelopeOptions {
    EnvelopeFormat format = EnvelopeFormat::DL;
    LetterForm form = LetterForm::A;
    QString sender;  // the return line above the address; empty: none
    TextStyle style{QString(), 11.0, false};
    bool turned = false;  // fed short edge first: the page stands upright
};

inline constexpr double kSenderPoints = 7.0;

// The page the printer gets: the envelope as read, or turned a quarter.
[[nodiscard]] SizeMm envelopePage(const EnvelopeOptions& options);

struct PrintedEnvelope {
    double points = 0.0;
    bool cut = false;  // the address or the sender line
};

// One envelope per address, each on a page of its own.
std::vector<PrintedEnvelope> drawEnvelopes(PageCanvas& canvas, const EnvelopeOptions& options,
                                           const std::vector<QStringList>& addresses);

}  // namespace veltro::labels
