#include "base/Failure.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <future>
#include <new>
#include <stdexcept>
#include <system_error>

using veltro::store::germanReason;
using veltro::store::StoreError;

namespace {

struct EngineFailure {
    const char* engineText;
    int code;
    int systemError;
    const char* kind;
};

// The kind of each failure in German, the engine's English never; an errno left over from
// an earlier call does not speak for a failure that made no system call.
TEST(StoreError, TheReasonIsGermanByKind) {
    const EngineFailure cases[] = {
        {"database is locked", SQLITE_BUSY, 0, "belegt"},
        {"database is locked", SQLITE_BUSY, ENOENT, "belegt"},
        {"database or disk is full", SQLITE_FULL, 0, "kein Platz"},
        {"attempt to write a readonly database", SQLITE_READONLY, 0, "schreibgeschützt"},
        {"unable to open database file", SQLITE_CANTOPEN, ENOENT, "fehlt"},
        {"unable to open database file", SQLITE_CANTOPEN, EACCES, "Berechtigung"},
        {"unable to open database file", SQLITE_CANTOPEN, 0, "nicht öffnen"},
        {"disk I/O error", SQLITE_IOERR_WRITE, ENOSPC, "kein Platz"},
        {"disk I/O error", SQLITE_IOERR_READ, EIO, "Lesen oder Schreiben"},
        {"disk I/O error", SQLITE_IOERR_WRITE, 0, "Datenträger voll"},
        {"file is not a database", SQLITE_NOTADB, 0, "beschädigt"},
    };
    for (const EngineFailure& c : cases) {
        const QString reason = germanReason(StoreError(c.engineText, c.code, c.systemError));
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.kind))) << reason.toStdString();
        EXPECT_FALSE(reason.contains(QLatin1String(c.engineText))) << reason.toStdString();
    }
    EXPECT_EQ(germanReason(StoreError("Eigener Text.")), QStringLiteral("Eigener Text."));
}

// Whatever a command throws is told by a German sentence of ours and its kind; a library's
// English never reaches the user.
TEST(StoreError, EveryFailureIsToldInGerman) {
    using Kind = veltro::Error::Kind;
    struct FailureCase {
        std::function<void()> thrower;
        Kind kind;
        const char* told;
    };
    const FailureCase cases[] = {
        {[] { throw StoreError("database is locked", SQLITE_BUSY); }, Kind::Store, "belegt"},
        {[] { throw veltro::Error(Kind::Input, QStringLiteral("Die Zeile ist leer.")); },
         Kind::Input, "Die Zeile ist leer."},
        {[] { throw std::bad_alloc(); }, Kind::Internal, "Arbeitsspeicher"},
        {[] {
             throw std::filesystem::filesystem_error(
                 "no space", "/x", std::make_error_code(std::errc::no_space_on_device));
         },
         Kind::File, "kein Platz"},
        {[] { throw std::system_error(ENOENT, std::generic_category(), "open"); }, Kind::File,
         "fehlt"},
        {[] { throw std::future_error(std::future_errc::no_state); }, Kind::Internal,
         "interner Fehler"},
        {[] { throw std::runtime_error("vector::_M_range_check"); }, Kind::Internal,
         "interner Fehler"},
        {[] { throw 42; }, Kind::Internal, "interner Fehler"},
    };
    for (const FailureCase& c : cases) {
        try {
            c.thrower();
            FAIL() << "nothing thrown";
        } catch (...) {
            const veltro::Failure failure = veltro::describeFailure(std::current_exception());
            EXPECT_EQ(failure.kind, c.kind) << failure.text.toStdString();
            EXPECT_TRUE(failure.text.contains(QString::fromUtf8(c.told)))
                << failure.text.toStdString();
            EXPECT_FALSE(failure.text.contains(QLatin1String("range_check")));
        }
    }
}

}  // namespace
