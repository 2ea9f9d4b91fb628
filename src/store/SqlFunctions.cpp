#include "store/SqlFunctions.h"

#include "store/CaseFold.h"
#include "store/LikePattern.h"

#include <sqlite3.h>

#include <QString>

#include <memory>

namespace veltro::store {

namespace {

QString argText(sqlite3_value* value) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return data != nullptr ? QString::fromUtf8(data, sqlite3_value_bytes(value)) : QString();
}

void deletePattern(void* p) {
    delete static_cast<LikePattern*>(p);
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 2) {
        sqlite3_result_error(ctx, "LIKE ... ESCAPE is not supported", -1);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // The pattern is usually constant for a whole query; compile it once.
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (pattern == nullptr) {
        auto compiled = LikePattern::compile(argText(argv[0]));
        if (!compiled) {
            sqlite3_result_error(ctx, "invalid pattern string", -1);
            return;
        }
        sqlite3_set_auxdata(ctx, 0, std::make_unique<LikePattern>(std::move(*compiled)).release(),
                            deletePattern);
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (pattern == nullptr) {  // the engine dropped it at once; match uncached
            auto again = LikePattern::compile(argText(argv[0]));
            sqlite3_result_int(ctx, again->matches(argText(argv[1])) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(ctx, pattern->matches(argText(argv[1])) ? 1 : 0);
}

void foldFunction(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray folded = foldCase(argText(argv[0])).toUtf8();
    sqlite3_result_text(ctx, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

void registerSqlFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "vfold", 1, flags, nullptr, foldFunction, nullptr, nullptr,
                               nullptr);
}

}  // namespace veltro::store
