#include "store/UndoTables.h"

#include "store/CardFields.h"

namespace veltro::store::undo {

const std::vector<Logged>& loggedTables() {
    static const std::vector<Logged> tables = {
        {"Kontakte", "rowid", {kColumnNames.begin(), kColumnNames.end()}, "SchrittKontakte", true},
        {"tblAdrCfg", "rowid", {"KategorieName"}, "SchrittAdrCfg", true},
        {"KartenInfo", "KarteId", {"Uid", "Angelegt", "Geaendert"}, "SchrittKartenInfo", false},
    };
    return tables;
}

std::string listed(const std::vector<std::string>& columns, const std::string& prefix) {
    std::string list;
    for (const auto& name : columns) {
        list += list.empty() ? "" : ", ";
        list.append(prefix).append(1, '"').append(name).append(1, '"');
    }
    return list;
}

std::string assigned(const std::vector<std::string>& columns, const std::string& from) {
    std::string list;
    for (const auto& name : columns) {
        list += list.empty() ? "" : ", ";
        list.append(1, '"').append(name).append("\" = ").append(from).append(".\"");
        list.append(name).append(1, '"');
    }
    return list;
}

}  // namespace veltro::store::undo
