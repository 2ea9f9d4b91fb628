#include "search/SearchTitles.h"

namespace veltro::search {

QString SearchTitles::modeName(CopyMode mode) {
    return mode == CopyMode::Address ? QStringLiteral("Anschrift") : QStringLiteral("Notizen");
}

QString SearchTitles::opened() {
    return QStringLiteral("Suche 'Anschrift'  ...bitte Suchtext eingeben.");
}

QString SearchTitles::modeSwitched(CopyMode mode) {
    return QStringLiteral("Suche '") + modeName(mode) + u'\'';
}

QString SearchTitles::emptyPrompt() {
    return QStringLiteral("Bitte Suchtext (Schlagworte) eingeben");
}

QString SearchTitles::found(int count, CopyMode mode, const QString& onlyHeading) {
    if (count == 1) {
        return onlyHeading;
    }
    return QString::number(count) + QStringLiteral(" Karten   (suche ") + modeName(mode) + u')';
}

QString SearchTitles::browsing(const QString& heading, int count) {
    return heading + QStringLiteral("  (") + QString::number(count) +
           (count == 1 ? QStringLiteral(" Karte)") : QStringLiteral(" Karten)"));
}

QString SearchTitles::cardPrefix(const QString& lastName, const QString& postcode,
                                 const QString& town) {
    return lastName + QStringLiteral(", ") + postcode + u' ' + town;
}

QString SearchTitles::nothingToCopy(const QString& prefix, CopyMode mode) {
    return prefix + (mode == CopyMode::Address ? QStringLiteral(" (Keine Adresse vorhanden)")
                                               : QStringLiteral(" (Keine Notizen vorhanden)"));
}

QString SearchTitles::copied(const QString& prefix, CopyMode mode) {
    return prefix + QStringLiteral("   ...") + modeName(mode) + QStringLiteral(" kopiert");
}

QColor SearchTitles::hitColor(int count) {
    return count == 1 ? QColor(0, 0xC0, 0) : QColor(0xC0, 0, 0);
}

}  // namespace veltro::search
