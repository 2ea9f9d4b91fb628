#include "sync/PasswordStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

#include <map>

namespace veltro::sync {

namespace {

const QString kService = QStringLiteral("Veltro Adressbuch CardDAV");

// Runs a keychain job to its end; false when it failed (no secret service, no entry).
bool finish(QKeychain::Job& job) {
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError;
}

// Asked once, a password serves every window and timer of the run.
std::map<QString, QString>& thisRun() {
    static std::map<QString, QString> passwords;
    return passwords;
}

}  // namespace

QString accountKey(const QString& user, const QString& server) {
    return user + u'@' + server;
}

std::optional<QString> PasswordStore::read(const QString& account) {
    if (const auto known = thisRun().find(account); known != thisRun().end()) {
        return known->second;
    }
    QKeychain::ReadPasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(account);
    if (!finish(job)) {
        return std::nullopt;
    }
    thisRun()[account] = job.textData();
    return job.textData();
}

bool PasswordStore::write(const QString& account, const QString& password) {
    thisRun()[account] = password;
    QKeychain::WritePasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(account);
    job.setTextData(password);
    return finish(job);
}

}  // namespace veltro::sync
