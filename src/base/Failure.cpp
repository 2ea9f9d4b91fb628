#include "base/Failure.h"

#include "base/SystemReason.h"

#include <QtGlobal>

#include <cerrno>
#include <new>
#include <system_error>
#include <typeinfo>

namespace veltro {

namespace {

// An errno only where the code is one; other categories number their own codes.
bool carriesErrno(const std::system_error& error) {
    const std::error_category& category = error.code().category();
    return category == std::generic_category() || category == std::system_category();
}

Error::Kind kindOf(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        return own->kind();
    }
    if (const auto* system = dynamic_cast<const std::system_error*>(&error);
        system != nullptr && carriesErrno(*system)) {
        return Error::Kind::File;
    }
    return Error::Kind::Internal;
}

QString internalFault() {
    return QStringLiteral(
        "Im Programm ist ein interner Fehler aufgetreten; es wurde nichts weiter ausgeführt.");
}

}  // namespace

QString userText(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        return own->userText();
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return germanSystemReason(ENOMEM);
    }
    if (const auto* system = dynamic_cast<const std::system_error*>(&error);
        system != nullptr && carriesErrno(*system)) {
        return germanSystemReason(system->code().value());
    }
    return internalFault();
}

Failure describeFailure(const std::exception_ptr& failure) {
    if (!failure) {
        return {Error::Kind::Internal, internalFault()};
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        const Error::Kind kind = kindOf(error);
        if (kind != Error::Kind::Cancelled) {
            qWarning("Fehler (%s): %s", typeid(error).name(), error.what());
        }
        return {kind, userText(error)};
    } catch (...) {
        qWarning("Fehler: eine Ausnahme, die kein std::exception ist");
        return {Error::Kind::Internal, internalFault()};
    }
}

}  // namespace veltro
