#include "store/UndoTables.h"

#include "store/CardFields.h"

namespace veltro::store::undo {

std::vector<Logged> loggedTables(Database& db) {
    static const std::vector<Logged> all = {
        {"Kontakte", "rowid", {kColumnNames.begin(), kColumnNames.end()}, "SchrittKontakte", true},
        {"tblAdrCfg", "rowid", {"KategorieName"}, "SchrittAdrCfg", true},
        {"KartenAngaben",
         "KarteId",
         {"Geburtstag", "Jahrestag", "Spitzname", "Titel", "Rolle", "Foto", "FotoArt"},
         "SchrittKartenAngaben",
         true},
        {"KartenEintraege",
         "Id",
         {"KarteId", "Art", "Typ", "Rang", "Wert", "Postleitzahl", "Ort", "Land"},
         "SchrittKartenEintraege",
         true},
        {"KartenInfo", "KarteId", {"Uid", "Angelegt", "Geaendert"}, "SchrittKartenInfo", false},
    };
    std::vector<Logged> present;
    // The engine matches names without regard to ASCII case.
    auto exists =
        db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    for (const auto& t : all) {
        exists.bind(1, QString::fromStdString(t.table));
        if (exists.step()) {
            present.push_back(t);
        }
        exists.reset();
    }
    return present;
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
