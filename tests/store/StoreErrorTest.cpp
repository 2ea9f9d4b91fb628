#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cerrno>

using veltro::store::germanReason;
using veltro::store::StoreError;

namespace {

struct Case {
    const char* engineText;
    int code;
    int systemError;
    const char* kind;
};

// The kind of each failure in German, the engine's English never; an errno left over from
// an earlier call does not speak for a failure that made no system call.
TEST(StoreError, TheReasonIsGermanByKind) {
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const QString reason = germanReason(StoreError(c.engineText, c.code, c.systemError));
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.kind))) << reason.toStdString();
        EXPECT_FALSE(reason.contains(QLatin1String(c.engineText))) << reason.toStdString();
    }
    EXPECT_EQ(germanReason(StoreError("Eigener Text.")), QStringLiteral("Eigener Text."));
}

}  // namespace
