#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace veltro::richtext {

// The target of a field instruction such as `HYPERLINK "https://x" \o "tip"`, or nullopt when
// the field is no hyperlink. A jump to a bookmark (`\l "name"`) becomes "#name" after the
// address, if any.
std::optional<QString> hyperlinkTarget(QStringView instruction);

// The instruction of a hyperlink field to the target, the inverse of hyperlinkTarget().
QString hyperlinkInstruction(const QString& target);

}  // namespace veltro::richtext
