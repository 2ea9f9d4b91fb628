#include "store/Sqlite.h"

#include "store/BusyTimeouts.h"
#include "store/SqlFunctions.h"
#include "store/StoreError.h"
#include "store/StoreImage.h"

#include <sqlite3.h>

#include <QStringEncoder>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace veltro::store {

namespace {

[[noreturn]] void throwFrom(sqlite3* db) {
    if (db == nullptr) {
        throw StoreError("out of memory", SQLITE_NOMEM);
    }
    throw StoreError(sqlite3_errmsg(db), sqlite3_extended_errcode(db), sqlite3_system_errno(db));
}

// Each insert into Kontakte runs the card triggers, whose SQL functions make the engine
// keep a statement journal. Kept in memory it costs little; spilled to a temporary file,
// as the engine does by default past 64 KiB, it costs writes for every row and makes an
// import several times slower. The limit is also the size of the pieces the engine writes
// when it does spill, and the Unix file layer writes at most 128 KiB at once: above that
// a large statement (a discard of cards all over the store) fails as "disk full".
constexpr int kStatementJournalInMemory = 120 * 1024;

std::atomic<int> busyTimeout{5000};

// A store another connection holds is tried again every millisecond at first: a reader's
// short transaction is over within a few, and the engine's own waits (10, 25, 50 ms between
// tries) would let a commit in the window wait that long for nothing. Later tries come less
// often. The time waited is counted from the tries.
constexpr int kQuickTries = 100;
constexpr int kLaterWaitMs = 10;

int waitForTheStore(void* timeout, int tries) {
    const int limit = *static_cast<const int*>(timeout);
    const int waited =
        tries < kQuickTries ? tries : kQuickTries + (tries - kQuickTries) * kLaterWaitMs;
    if (waited >= limit) {
        return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(tries < kQuickTries ? 1 : kLaterWaitMs));
    return 1;
}

void configureEngine() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Fails harmlessly when the engine is already in use.
        sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, kStatementJournalInMemory);
    });
    installImageLayer();
}

}  // namespace

int busyTimeoutMs() {
    return busyTimeout.load();
}

void setBusyTimeoutMs(int milliseconds) {
    busyTimeout.store(milliseconds);
}

void Database::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Database::Database(std::unique_ptr<int> waitLimit, std::unique_ptr<sqlite3, Closer> db,
                   std::filesystem::path file)
    : busyTimeout_(std::move(waitLimit)), db_(std::move(db)), file_(std::move(file)) {}

Database Database::open(const std::filesystem::path& file, Mode mode, Threads threads) {
    configureEngine();
    sqlite3* raw = nullptr;
    int flags = SQLITE_OPEN_READWRITE |
                (threads == Threads::OneThread ? SQLITE_OPEN_NOMUTEX : SQLITE_OPEN_FULLMUTEX);
    if (mode == Mode::Create) {
        flags |= SQLITE_OPEN_CREATE;
    }
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK) {
        throwFrom(raw);
    }
    sqlite3_extended_result_codes(raw, 1);
    // "Name" always names a column; an unknown one is an error, never a string.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    auto timeout = std::make_unique<int>(busyTimeoutMs());
    sqlite3_busy_handler(raw, waitForTheStore, timeout.get());
    registerSqlFunctions(raw);
    Database result(std::move(timeout), std::move(db), file);
    // A file that is not a database only shows it on first read.
    result.exec("PRAGMA schema_version");
    return result;
}

void Database::exec(std::string_view sql) {
    Statement stmt = prepare(sql);
    stmt.run();
}

namespace {

// The first statement of `sql` (none for blanks and comments only) and the text after it.
std::pair<sqlite3_stmt*, std::string_view> prepareFirst(sqlite3* db, std::string_view sql) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, &tail) !=
        SQLITE_OK) {
        throwFrom(db);
    }
    return {stmt, sql.substr(static_cast<std::size_t>(tail - sql.data()))};
}

// True when `rest` holds no statement: the engine prepares nothing from blanks, semicolons and
// comments, and from anything else either a statement or an error.
bool holdsNoStatement(sqlite3* db, std::string_view rest) {
    while (!rest.empty()) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        const int rc =
            sqlite3_prepare_v2(db, rest.data(), static_cast<int>(rest.size()), &stmt, &tail);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK || stmt != nullptr || tail == rest.data()) {
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(tail - rest.data()));
    }
    return true;
}

}  // namespace

Statement Database::prepare(std::string_view sql) {
    const auto [stmt, rest] = prepareFirst(db_.get(), sql);
    Statement result(db_.get(), stmt);
    if (!holdsNoStatement(db_.get(), rest)) {
        throw StoreError(QStringLiteral("Interner Fehler: Der SQL-Text enthält mehr als eine "
                                        "Anweisung (ab „%1“).")
                             .arg(QString::fromUtf8(rest.substr(0, 40)).trimmed())
                             .toStdString());
    }
    return result;
}

void Database::execScript(std::string_view sql) {
    while (!sql.empty()) {
        const auto [stmt, rest] = prepareFirst(db_.get(), sql);
        if (stmt != nullptr) {
            Statement(db_.get(), stmt).run();
        } else if (rest.size() == sql.size()) {
            break;
        }
        sql = rest;
    }
}

std::int64_t Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_.get());
}

void Database::setBusyTimeout(int milliseconds) {
    *busyTimeout_ = milliseconds;
}

bool Database::inTransaction() const {
    return sqlite3_get_autocommit(db_.get()) == 0;
}

int Database::changes() const {
    return sqlite3_changes(db_.get());
}

bool Database::hasTable(const char* name) {
    auto stmt = prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    stmt.bind(1, QString::fromLatin1(name));
    return stmt.step();
}

QString Database::errorText() const {
    return QString::fromUtf8(sqlite3_errmsg(db_.get()));
}

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}

void Statement::fail() const {
    throwFrom(db_);
}

Statement& Statement::bind(int index, QStringView text) {
    if (index < 1 || index > sqlite3_bind_parameter_count(stmt_.get())) {
        return bindNull(index);  // the engine's own error for a parameter it lacks
    }
    const auto slot = static_cast<std::size_t>(index - 1);
    if (texts_.size() <= slot) {
        texts_.resize(slot + 1);
    }
    QByteArray& utf8 = texts_[slot];
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    utf8.resize(encoder.requiredSpace(text.size()) + 1);  // never empty, so never without data
    const char* end = encoder.appendToBuffer(utf8.data(), text);
    // An empty text is bound as an empty text, never as Null.
    if (sqlite3_bind_text(stmt_.get(), index, utf8.constData(),
                          static_cast<int>(end - utf8.constData()), SQLITE_STATIC) != SQLITE_OK) {
        fail();
    }
    return *this;
}

Statement& Statement::bind(int index, const std::optional<QString>& text) {
    return text ? bind(index, QStringView(*text)) : bindNull(index);
}

Statement& Statement::bindUtf8(int index, std::string_view text) {
    if (sqlite3_bind_text(stmt_.get(), index, text.empty() ? "" : text.data(),
                          static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
        fail();
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_.get(), index, value) != SQLITE_OK) {
        fail();
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_.get(), index) != SQLITE_OK) {
        fail();
    }
    return *this;
}

Statement& Statement::bindBlob(int index, const QByteArray& bytes) {
    // Never a null pointer, so that no bytes stay an empty blob rather than Null.
    if (sqlite3_bind_blob64(stmt_.get(), index, bytes.isEmpty() ? "" : bytes.constData(),
                            static_cast<sqlite3_uint64>(bytes.size()),
                            SQLITE_TRANSIENT) != SQLITE_OK) {
        fail();
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    StoreError error(sqlite3_errmsg(db_), sqlite3_extended_errcode(db_), sqlite3_system_errno(db_));
    sqlite3_reset(stmt_.get());
    throw error;
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

std::optional<QString> Statement::text(int column) const {
    if (isNull(column)) {
        return std::nullopt;
    }
    return textOrEmpty(column);
}

QString Statement::textOrEmpty(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data != nullptr ? QString::fromUtf8(data, size) : QString();
}

std::string_view Statement::utf8(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data != nullptr ? std::string_view(data, static_cast<std::size_t>(size))
                           : std::string_view();
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

QByteArray Statement::blob(int column) const {
    const void* data = sqlite3_column_blob(stmt_.get(), column);
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data != nullptr ? QByteArray(static_cast<const char*>(data), size) : QByteArray();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_.get());
}

int Statement::parameterCount() const {
    return sqlite3_bind_parameter_count(stmt_.get());
}

Transaction::Transaction(Database& db) : db_(db), nested_(db.inTransaction()) {
    db_.exec(nested_ ? "SAVEPOINT inner" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.exec(nested_ ? "ROLLBACK TO inner" : "ROLLBACK");
            if (nested_) {
                db_.exec("RELEASE inner");
            }
        } catch (const StoreError&) {
            // The engine may already have rolled back on its own.
        }
    }
}

void Transaction::commit() {
    db_.exec(nested_ ? "RELEASE inner" : "COMMIT");
    done_ = true;
}

}  // namespace veltro::store
