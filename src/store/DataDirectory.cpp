#include "store/DataDirectory.h"

#include <QCoreApplication>

namespace veltro::store {

std::filesystem::path dataDirectory() {
    const QByteArray home = qgetenv("VELTRO_HOME");
    if (!home.isEmpty()) {
        return std::filesystem::absolute(std::filesystem::path(home.toStdString()));
    }
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace veltro::store
