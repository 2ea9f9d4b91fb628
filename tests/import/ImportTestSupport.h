#pragma once

#include "import/FieldMapping.h"

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

// A mapping into the category with (target name, 1-based source column) pairs.
[[nodiscard]] import::FieldMapping mappingOf(
    const QString& category, std::initializer_list<std::pair<const char16_t*, int>> pairs);

}  // namespace veltro::testing
