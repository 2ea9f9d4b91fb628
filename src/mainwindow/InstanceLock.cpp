#include "mainwindow/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace veltro::mainwindow {

InstanceLock::InstanceLock(const std::filesystem::path& dataDirectory) {
    const QByteArray key = QCryptographicHash::hash(
        QByteArray::fromStdString(std::filesystem::weakly_canonical(dataDirectory).string()),
        QCryptographicHash::Sha1);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    lock_ = std::make_unique<QLockFile>(dir + QStringLiteral("/veltro-adressbuch-") +
                                        QString::fromLatin1(key.toHex()) + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);
    acquired_ = lock_->tryLock(0);
}

}  // namespace veltro::mainwindow
