#pragma once

#include "import/FieldMapping.h"
#include "import/PreviewTable.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <initializer_list>
#include <utility>

namespace veltro::testing {

// A file of the shared test data folder (tests/data).
[[nodiscard]] QString testDataFile(const QString& name);

// Writes bytes into a file of the directory and returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

[[nodiscard]] QByteArray windows1252(const QString& text);

// Damaged copies of the Northwind database (tests/data/nwind.mdb, 2 KB pages):
// one byte of a row offset flipped so that the engine takes a customer for deleted (90 of
// the 91 customers read), and the file cut after page 800, in the middle of the pages of
// "Umsätze" (709 of its 830 records read).
[[nodiscard]] QByteArray flippedNorthwind();
[[nodiscard]] QByteArray truncatedNorthwind();

// A mapping into the category with (target name, 1-based source column) pairs.
[[nodiscard]] import::FieldMapping mappingOf(
    const QString& category, std::initializer_list<std::pair<const char16_t*, int>> pairs);

// The rows of another address book's CSV file (comma, quoted, a header line), read as the
// command line reads it.
[[nodiscard]] std::vector<import::PreviewRow> presetRows(const QString& file,
                                                         const QString& category);

}  // namespace veltro::testing
