#include "sync/PasswordStore.h"

#include <qt6keychain/keychain.h>

#include <map>

namespace veltro::sync {

namespace {

const QString kService = QStringLiteral("Veltro Adressbuch CardDAV");

// Asked once, a password serves every window and timer of the run.
std::map<QString, QString>& thisRun() {
    static std::map<QString, QString> passwords;
    return passwords;
}

// Starts a keychain job that deletes itself when it ended; `ended` hears whether it worked.
void start(QKeychain::Job* job, const QString& account,
           std::function<void(QKeychain::Job&, bool)> ended) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    QObject::connect(job, &QKeychain::Job::finished, job,
                     [ended = std::move(ended)](QKeychain::Job* done) {
                         ended(*done, done->error() == QKeychain::NoError);
                     });
    job->start();
}

}  // namespace

QString accountKey(const QString& user, const QString& server) {
    return user + u'@' + server;
}

void PasswordStore::read(const QString& account, Answer answer) {
    if (const auto known = thisRun().find(account); known != thisRun().end()) {
        answer(known->second);
        return;
    }
    start(new QKeychain::ReadPasswordJob(kService), account,
          [account, answer = std::move(answer)](QKeychain::Job& job, bool found) {
              if (!found) {
                  answer(std::nullopt);
                  return;
              }
              const QString password = static_cast<QKeychain::ReadPasswordJob&>(job).textData();
              thisRun()[account] = password;
              answer(password);
          });
}

void PasswordStore::write(const QString& account, const QString& password,
                          std::function<void(bool)> stored) {
    thisRun()[account] = password;
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setTextData(password);
    start(job, account, [stored = std::move(stored)](QKeychain::Job&, bool took) {
        if (stored) {
            stored(took);
        }
    });
}

}  // namespace veltro::sync
