#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace veltro::store {

class Statement;

// One open SQLite connection with our pattern matcher and case folding registered.
class Database {
public:
    enum class Mode { OpenExisting, Create };
    // A connection only ever used on the thread that opened it takes no lock of the engine
    // for each call; a long read (an export) makes millions of them.
    enum class Threads { Any, OneThread };

    static Database open(const std::filesystem::path& file, Mode mode = Mode::OpenExisting,
                         Threads threads = Threads::Any);

    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    ~Database() = default;

    // One statement; text after it other than blanks, semicolons and comments is refused
    // (StoreError), as is the same for prepare: the engine would silently skip it.
    void exec(std::string_view sql);
    [[nodiscard]] Statement prepare(std::string_view sql);
    // Every statement of `sql`, one after the other; the first failure throws.
    void execScript(std::string_view sql);
    [[nodiscard]] std::int64_t lastInsertRowId() const;
    [[nodiscard]] int changes() const;
    [[nodiscard]] bool hasTable(const char* name);
    // True while a transaction is open on this connection.
    [[nodiscard]] bool inTransaction() const;
    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);
    [[nodiscard]] QString errorText() const;
    [[nodiscard]] sqlite3* handle() const { return db_.get(); }
    [[nodiscard]] const std::filesystem::path& file() const { return file_; }

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    Database(std::unique_ptr<int> waitLimit, std::unique_ptr<sqlite3, Closer> db,
             std::filesystem::path file);

    // What the engine's busy handler reads; it outlives the connection.
    std::unique_ptr<int> busyTimeout_;
    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path file_;
};

// A prepared statement; values are always bound, never spliced into SQL text.
class Statement {
public:
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;
    ~Statement() = default;

    Statement& bind(int index, QStringView text);
    Statement& bind(int index, const QString& text) { return bind(index, QStringView(text)); }
    Statement& bind(int index, const std::optional<QString>& text);
    Statement& bind(int index, std::int64_t value);
    Statement& bindUtf8(int index, std::string_view text);
    Statement& bindNull(int index);
    Statement& bindBlob(int index, const QByteArray& bytes);

    // Returns true while a row is available; throws StoreError on failure.
    bool step();
    void run();  // step to completion, for statements without rows
    void reset();

    [[nodiscard]] std::optional<QString> text(int column) const;
    [[nodiscard]] QString textOrEmpty(int column) const;
    // The text as the engine holds it, valid until the next step.
    [[nodiscard]] std::string_view utf8(int column) const;
    [[nodiscard]] std::int64_t integer(int column) const;
    [[nodiscard]] QByteArray blob(int column) const;
    [[nodiscard]] bool isNull(int column) const;
    [[nodiscard]] int columnCount() const;
    [[nodiscard]] int parameterCount() const;

private:
    friend class Database;
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    Statement(sqlite3* db, sqlite3_stmt* stmt);
    [[noreturn]] void fail() const;

    sqlite3* db_;
    // The UTF-8 of each bound text, kept from one binding to the next: a statement run once
    // per imported row binds millions of texts, and the engine reads them in place.
    std::vector<QByteArray> texts_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

// Commits on commit(), rolls back when left without it. Inside another transaction it is
// a savepoint of that one: its commit keeps its changes for the outer commit, and leaving
// it without commit takes back only its own changes.
class Transaction {
public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

private:
    Database& db_;
    bool nested_;
    bool done_ = false;
};

}  // namespace veltro::store
