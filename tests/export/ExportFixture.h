#pragma once

#include "TestTools.h"

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace veltro::testing {

// Address and notes of the first fixture card as stored.
extern const QString kAddressRtf;
extern const QString kNotesRtf;

// Two categories; "Müller Anna" (Privat, RTF blocks, no postcode) and "Zeller Bernd"
// (Geschäftlich, plain-text notes as an import leaves them), then a card without heading.
void makeExportStore(const std::filesystem::path& dir);

// A file of tests/data/export.
[[nodiscard]] QByteArray expectedFile(const QString& name);

}  // namespace veltro::testing
