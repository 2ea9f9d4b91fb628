#include "app/cli/CliCommands.h"

#include "store/WriterLock.h"

#include <filesystem>

namespace veltro::cli {

int whileLocked(const QString& dir, const std::function<int()>& command) {
    const auto lock = store::WriterLock::tryAcquire(std::filesystem::path(dir.toStdString()));
    switch (lock.state()) {
        case store::WriterLock::State::Held:
            return command();
        case store::WriterLock::State::InUse:
            err() << "Die Kartei in " << dir
                  << " wird gerade von Veltro Adressbuch oder einem anderen Befehl benutzt. "
                     "Beenden Sie das Programm und versuchen Sie es erneut."
                  << Qt::endl;
            return kInUse;
        case store::WriterLock::State::Unavailable:
            break;
    }
    err() << "Die Kartei in " << dir << " lässt sich nicht sperren: " << lock.problem() << Qt::endl;
    return kFailed;
}

}  // namespace veltro::cli
