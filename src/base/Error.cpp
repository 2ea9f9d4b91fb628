#include "base/Error.h"

#include <utility>

namespace veltro {

Error::Error(Kind kind, QString userText, std::string_view detail)
    : kind_(kind),
      userText_(std::move(userText)),
      detail_(detail.empty() ? userText_.toUtf8()
                             : QByteArray(detail.data(), static_cast<qsizetype>(detail.size()))) {}

}  // namespace veltro
