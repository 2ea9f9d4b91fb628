#include "maintenance/AddressComposition.h"

#include "base/Blanks.h"

#include <QStringList>

namespace veltro::maintenance {
namespace {

const QChar kLineFeed = QLatin1Char('\n');

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
