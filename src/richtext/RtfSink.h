#pragma once

#include "richtext/RichDocument.h"

#include <QStringView>

namespace veltro::richtext {

// Receives what RtfReader finds: runs of text, each paragraph's end, nothing else.
class RtfSink {
public:
    virtual ~RtfSink() = default;

    virtual void text(QStringView text, const CharFormat& format) = 0;
    virtual void paragraphEnd(const ParaFormat& format) = 0;
    // A sink that only wants text lets the reader skip building formats.
    virtual bool wantsFormats() const { return true; }
};

}  // namespace veltro::richtext
