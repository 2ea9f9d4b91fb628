#pragma once

#include "store/Sqlite.h"

namespace veltro::store {

// The columns of the sync tables besides their row id, as the snapshot copies them.
inline constexpr const char* kSyncKontenColumns =
    "Url, Benutzer, Sammlung, Kategorie, SyncToken, Fingerabdruck";
inline constexpr const char* kSyncKartenColumns = "Uid, Konto, Href, ETag, Text";

// Adds the state of address-book sync: SyncKonten holds each paired address book (server
// address, user, the book's own address, the category it fills, the server's sync token and
// an accepted certificate fingerprint; never a password). SyncKarten holds per card, keyed by
// its lasting identity (KartenInfo.Uid), the book it belongs to, its address there, the
// server's ETag and the vCard text last agreed on. Both have snapshot tables, so the exit
// step puts them back with the cards. Runs inside the caller's transaction.
void addSyncTables(Database& db);

}  // namespace veltro::store
