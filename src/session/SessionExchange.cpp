#include "session/Session.h"

#include "store/StoreError.h"
#include "sync/DavClient.h"
#include "vcard/VcardExport.h"

namespace veltro::session {

Task* Session::startSync(SyncJob job, SyncDone done, Task::Progress progress) {
    if (work_ || !store_) {
        return nullptr;
    }
    workState_ = std::make_unique<Busy>(*this, RunState::Syncing);
    noteSynced();  // from here on the server may hold this run's changes
    auto report = std::make_shared<sync::SyncReport>();
    auto run = [this, job = std::move(job), report, file = store_->file()](TaskControl& control) {
        store::CardStore cards = store::CardStore::open(file);
        sync::DavClient client({job.pairing.user, job.password}, job.pairing.server,
                               job.pairing.fingerprint);
        client.allowBookOf(job.pairing.book);
        client.setStopCheck([&control] { return control.stopRequested(); });
        sync::SyncOptions options;
        options.progress = [&control](int step, int total, const QString& what) {
            control.progress(step, total);
            control.step(what);
        };
        options.beforeChangesHere = [this, &control] {
            control.onWindowThread([this] {
                beforeChange(backup::Occasion::Sync);
                return true;
            });
        };
        options.allowManyDeletes = [&control, ask = job.allowManyDeletes](const auto& deletes) {
            return ask && control.onWindowThread([ask, deletes] { return ask(deletes); });
        };
        *report = sync::synchronize(cards, job.pairing, client, options);
        sync::savePairing(cards.db(), job.pairing);
    };
    auto end = [this, report, done = std::move(done)](std::exception_ptr failure) {
        const bool changedHere = report->downloaded + report->deletedHere > 0;
        if (changedHere) {
            markChanged();
        }
        endWork(changedHere, failure);
        if (done) {
            done(*report, failure);
        }
    };
    work_ = std::make_unique<Task>(std::move(run), std::move(end), std::move(progress));
    return work_.get();
}

std::unique_ptr<Task> Session::startExport(const QString& target,
                                           const std::optional<exporting::ExportOptions>& options,
                                           ExportDone done, Task::Progress progress) const {
    auto result = std::make_shared<exporting::ExportResult>();
    auto run = [file = storeFile(), target, options, result](TaskControl& control) {
        const auto tell = [&control](std::int64_t count, std::int64_t total) {
            control.progress(count, total);
            return !control.stopRequested();
        };
        *result = options ? exporting::exportToFile(file, target, *options, tell)
                          : vcard::exportToFile(file, target, {}, tell);
    };
    auto end = [result, done = std::move(done)](std::exception_ptr failure) {
        done(*result, std::move(failure));
    };
    return std::make_unique<Task>(std::move(run), std::move(end), std::move(progress));
}

}  // namespace veltro::session
