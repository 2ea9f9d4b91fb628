#include "import/MdbReader.h"

#include "import/AccessNumbers.h"

#include <mdbtools.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace veltro::import {

namespace {

// Long enough for any memo a card can hold.
constexpr std::size_t kBindSize = std::size_t{256} * 1024;
constexpr std::string_view kMidnight = " 00:00:00";
constexpr std::int64_t kHeartbeatEvery = 4096;

struct HandleCloser {
    void operator()(MdbHandle* handle) const { mdb_close(handle); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using Table = std::unique_ptr<MdbTableDef, TableFreer>;

Handle openFile(const std::string& file) {
    Handle handle(mdb_open(file.c_str(), MDB_NOFLAGS));
    if (handle && mdb_read_catalog(handle.get(), MDB_TABLE) == nullptr) {
        handle.reset();
    }
    return handle;
}

std::vector<MdbCatalogEntry*> tableEntries(MdbHandle* handle) {
    std::vector<MdbCatalogEntry*> entries;
    for (unsigned i = 0; i < handle->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle->catalog, i));
        if (entry != nullptr && entry->object_type == MDB_TABLE) {
            entries.push_back(entry);
        }
    }
    return entries;
}

Table readTable(MdbCatalogEntry* entry) {
    Table table(mdb_read_table(entry));
    if (table && mdb_read_columns(table.get()) == nullptr) {
        table.reset();
    }
    return table;
}

MdbColumn* columnAt(MdbTableDef* table, unsigned index) {
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

bool isBinary(const MdbColumn* column) {
    return column->col_type == MDB_OLE || column->col_type == MDB_BINARY;
}

std::optional<NumberKind> numberKind(const MdbColumn* column) {
    switch (column->col_type) {
        case MDB_MONEY:
            return NumberKind::Currency;
        case MDB_NUMERIC:
            return NumberKind::Decimal;
        case MDB_FLOAT:
            return NumberKind::Single;
        case MDB_DOUBLE:
            return NumberKind::Double;
        default:
            return std::nullopt;
    }
}

// The bound values of one table, as text.
class BoundRow {
public:
    explicit BoundRow(MdbTableDef* table)
        : table_(table), lengths_(table->num_cols, 0), numbers_(table->num_cols) {
        buffers_.resize(table->num_cols);
        for (unsigned c = 0; c < table->num_cols; ++c) {
            numbers_[c].kind = numberKind(columnAt(table, c));
            if (!isBinary(columnAt(table, c))) {
                buffers_[c].assign(kBindSize, '\0');
                mdb_bind_column(table, static_cast<int>(c + 1), buffers_[c].data(), &lengths_[c]);
            }
        }
    }

    [[nodiscard]] std::string_view value(unsigned column) const {
        if (buffers_[column].empty() || lengths_[column] <= 0) {
            return {};
        }
        const auto size = std::min<std::size_t>(static_cast<std::size_t>(lengths_[column]),
                                                strnlen(buffers_[column].data(), kBindSize));
        std::string_view text(buffers_[column].data(), size);
        // A date without a time reads as the date alone, as Access shows it.
        if (columnAt(table_, column)->col_type == MDB_DATETIME && text.ends_with(kMidnight)) {
            text.remove_suffix(kMidnight.size());
        }
        if (Number& number = numbers_[column]; number.kind) {
            number.text = germanNumber(text, *number.kind);
            return number.text;
        }
        return text;
    }

private:
    // A number column and its value in German form, valid until the next value() of it.
    struct Number {
        std::optional<NumberKind> kind;
        std::string text;
    };

    MdbTableDef* table_;
    std::vector<std::vector<char>> buffers_;
    std::vector<int> lengths_;
    mutable std::vector<Number> numbers_;
};

std::optional<unsigned> columnIndex(MdbTableDef* table, const std::string& name) {
    for (unsigned c = 0; c < table->num_cols; ++c) {
        if (name == columnAt(table, c)->name) {
            return c;
        }
    }
    return std::nullopt;
}

}  // namespace

void appendValue(std::string& payload, std::string_view value) {
    const auto size = static_cast<std::uint32_t>(value.size());
    payload.append(reinterpret_cast<const char*>(&size), sizeof size);
    payload.append(value);
}

bool splitValues(QByteArrayView payload, std::vector<QByteArrayView>& values) {
    values.clear();
    qsizetype at = 0;
    while (at < payload.size()) {
        std::uint32_t size = 0;
        if (payload.size() - at < static_cast<qsizetype>(sizeof size)) {
            return false;
        }
        std::memcpy(&size, payload.data() + at, sizeof size);
        at += sizeof size;
        if (payload.size() - at < static_cast<qsizetype>(size)) {
            return false;
        }
        values.push_back(payload.sliced(at, size));
        at += size;
    }
    return true;
}

int MdbReader::listTables(const std::string& file, FrameWriter& out) {
    const Handle handle = openFile(file);
    if (!handle) {
        return 1;
    }
    for (MdbCatalogEntry* entry : tableEntries(handle.get())) {
        const Table table = readTable(entry);
        if (!table) {
            continue;  // an unreadable table does not hide the others
        }
        out.frame('T', entry->object_name);
        for (unsigned c = 0; c < table->num_cols; ++c) {
            out.frame('C', columnAt(table.get(), c)->name);
        }
    }
    return 0;
}

int MdbReader::readRecords(const std::string& file, const std::string& tableName,
                           const std::string& keyColumn, FrameWriter& out) {
    const Handle handle = openFile(file);
    if (!handle) {
        return 1;
    }
    // The library prints numbers with the C library; they are made German afterwards.
    std::setlocale(LC_NUMERIC, "C");
    mdb_set_bind_size(handle.get(), kBindSize);
    mdb_set_date_fmt(handle.get(), "%d.%m.%Y %H:%M:%S");
    mdb_set_shortdate_fmt(handle.get(), "%d.%m.%Y");
    const auto entries = tableEntries(handle.get());
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](MdbCatalogEntry* e) {
        return tableName == e->object_name;
    });
    const Table table = entry != entries.end() ? readTable(*entry) : Table();
    const auto key = table ? columnIndex(table.get(), keyColumn) : std::nullopt;
    if (!key) {
        return 2;
    }
    for (unsigned c = 0; c < table->num_cols; ++c) {
        out.frame('C', columnAt(table.get(), c)->name);
    }
    const BoundRow row(table.get());
    // A damaged table can make the library return rows without end.
    const std::int64_t mostRows = 2 * static_cast<std::int64_t>(table->num_rows) + 1024;
    std::int64_t count = 0;
    std::int64_t fetched = 0;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get()) != 0) {
        count += row.value(*key).empty() ? 0 : 1;
        if (++fetched > mostRows) {
            return 4;
        }
        if (fetched % kHeartbeatEvery == 0) {
            out.frame('H', {});  // still reading
        }
    }
    out.frame('D', std::to_string(fetched) + ' ' + std::to_string(table->num_rows));
    out.frame('N', std::to_string(count));
    mdb_rewind_table(table.get());
    std::string payload;
    for (fetched = 0; mdb_fetch_row(table.get()) != 0;) {
        if (++fetched > mostRows) {
            return 4;
        }
        if (row.value(*key).empty()) {
            continue;
        }
        payload.clear();
        for (unsigned c = 0; c < table->num_cols; ++c) {
            appendValue(payload, row.value(c));
        }
        out.frame('R', payload);
    }
    return 0;
}

}  // namespace veltro::import
