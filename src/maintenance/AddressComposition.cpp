#include "maintenance/AddressComposition.h"

#include <QStringList>

namespace veltro::maintenance {
namespace {

const QChar kLineFeed = QLatin1Char('\n');

// Removes blanks only: the line feed inside the name block must survive, so that an empty
// card still gives its three lines.
QString trimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' ')) {
        ++from;
    }
    while (to > from && text.at(to - 1) == QLatin1Char(' ')) {
        --to;
    }
    return text.mid(from, to - from);
}

}  // namespace

QString composeAddress(const AddressFields& fields) {
    const QString salutation =
        fields.salutation == QLatin1String("Herr") ? QStringLiteral("Herrn") : fields.salutation;
    const QString company = trimBlanks(fields.company);
    const QString department = trimBlanks(fields.department);
    const QString street = trimBlanks(fields.street);
    const QString place = trimBlanks(fields.postcode + QLatin1Char(' ') + fields.town);
    const QString name = trimBlanks(salutation + QLatin1Char(' ') + kLineFeed + fields.firstName +
                                    QLatin1Char(' ') + fields.lastName);

    QStringList lines;
    // With just one of company and department the street keeps its line even when empty;
    // with both or neither an empty street has no line.
    bool streetLine = !street.isEmpty();
    if (!company.isEmpty() && !department.isEmpty()) {
        lines << company + QLatin1Char(' ') + department;
    } else if (!company.isEmpty() || !department.isEmpty()) {
        lines << (department.isEmpty() ? company : department);
        streetLine = true;
    }
    lines << name;
    if (streetLine) {
        lines << street;
    }
    lines << QString() << place;
    return lines.join(kLineFeed);
}

}  // namespace veltro::maintenance
