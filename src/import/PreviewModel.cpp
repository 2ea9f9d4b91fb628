#include "import/PreviewModel.h"

#include "base/Counted.h"

#include <QStringList>

#include <algorithm>
#include <tuple>
#include <utility>

namespace veltro::import {

namespace {

constexpr int kExtrasColumn = static_cast<int>(kTargetCount);

}  // namespace

QString extrasSummary(const store::CardExtras& extras) {
    QStringList parts;
    if (extras.birthday) {
        parts << QStringLiteral("Geburtstag ") + extras.birthday->shown();
    }
    if (extras.anniversary) {
        parts << QStringLiteral("Jahrestag ") + extras.anniversary->shown();
    }
    const std::pair<const QString*, const char*> details[] = {
        {&extras.nickname, "Spitzname"}, {&extras.title, "Titel"}, {&extras.role, "Rolle"}};
    for (const auto& [text, name] : details) {
        if (!text->isEmpty()) {
            parts << QString::fromUtf8(name);
        }
    }
    using Kind = store::EntryKind;
    const std::tuple<Kind, const char*, const char*> kinds[] = {
        {Kind::Telefon, "Telefonnummer", "Telefonnummern"},
        {Kind::EMail, "E-Mail-Adresse", "E-Mail-Adressen"},
        {Kind::Anschrift, "Postanschrift", "Postanschriften"},
        {Kind::Webseite, "Webseite", "Webseiten"}};
    for (const auto& [kind, one, many] : kinds) {
        if (const auto count = std::ranges::count(extras.entries, kind, &store::Entry::kind)) {
            parts << counted(count, one, many);
        }
    }
    if (extras.photo) {
        parts << QStringLiteral("Foto");
    }
    return parts.join(QStringLiteral(", "));
}

void PreviewModel::setRows(std::vector<PreviewRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    extras_ =
        std::ranges::any_of(rows_, [](const PreviewRow& row) { return row.extras != nullptr; });
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kExtrasColumn + (extras_ ? 1 : 0);
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const PreviewRow& row = rows_.at(static_cast<std::size_t>(index.row()));
    const QString text = index.column() == kExtrasColumn
                             ? (row.extras ? extrasSummary(*row.extras) : QString())
                             : row.text(static_cast<std::size_t>(index.column()));
    if (role == Qt::ToolTipRole) {
        return text.size() > 40 ? QVariant(text) : QVariant();
    }
    // One line per row, however many lines a field holds.
    return text.contains(u'\n') || text.contains(u'\r')
               ? QString(text).replace(u'\r', u' ').replace(u'\n', u' ')
               : text;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    if (section == kExtrasColumn) {
        return QStringLiteral("Weitere Angaben");
    }
    return targetName(static_cast<std::size_t>(section));
}

}  // namespace veltro::import
