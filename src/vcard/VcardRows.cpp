#include "vcard/VcardRows.h"

#include "vcard/VcardMapping.h"

namespace veltro::vcard {

VcardRows::VcardRows(const QString& path, const QString& category)
    : rows_([this, path, category](import::RowsAhead::Sink& sink) {
          const auto broken = readMapped(path, category, [&](VcardImport&& mapped) {
              skipped_ += mapped.skipped;
              sink.put(std::move(mapped.rows));
          });
          if (!broken) {
              throw VcardUnreadable();
          }
          skipped_ += *broken;
      }) {}

}  // namespace veltro::vcard
