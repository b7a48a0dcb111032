// The database behind the registry calls: the one connection of the process, its schema, the
// statement and transaction wrappers, and the table of open key handles. Internal to the registry.
//
// Schema (one row per key, one row per value; the predefined roots are the keys 1..7):
//   reg_keys(id, parent, name COLLATE NOCASE, UNIQUE(parent, name))
//   reg_values(id, key, name COLLATE NOCASE, type, data BLOB, UNIQUE(key, name))
// Ids never come back after a delete (AUTOINCREMENT), so a handle on a deleted key can never
// find a newer key in its place.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/registry.h"

namespace tarvik::platform::registry_store {

using KeyId = std::int64_t;

// Keys 1..7 of the store are the predefined roots, in the order of their handles.
inline constexpr KeyId kLastRootId = 7;
inline bool IsPredefined(HKEY key) {
  return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

// Win32 result for a SQLite result code (SQLITE_OK/ROW/DONE give ERROR_SUCCESS).
LSTATUS StatusFromSqlite(int rc);

// One prepared statement; finalised on destruction. Binding and stepping never throw.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Result of preparing; anything but SQLITE_OK makes Step() return it again.
  int prepare_rc() const { return prepare_rc_; }
  void BindInt(int index, std::int64_t value);
  void BindText(int index, std::string_view text);
  void BindBlob(int index, const void* data, std::size_t size);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  std::int64_t ColumnInt(int column) const;
  std::string ColumnText(int column) const;
  std::vector<std::uint8_t> ColumnBlob(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int prepare_rc_;
};

// Runs `sql` (no rows expected) and returns the SQLite result code.
int Execute(sqlite3* db, const char* sql);

// A transaction: IMMEDIATE (takes the write lock at once, waiting for other writers) for writes,
// DEFERRED for reads so that a read sees one consistent state. Rolled back unless committed.
class Transaction {
 public:
  Transaction(sqlite3* db, bool write);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // ERROR_SUCCESS when the transaction began.
  LSTATUS status() const { return status_; }
  LSTATUS Commit();

 private:
  sqlite3* db_;
  LSTATUS status_;
  bool open_ = false;
};

// An open key handle: the key it names and the rights it was opened with.
struct OpenKey {
  KeyId id;       // row of reg_keys
  REGSAM access;  // KEY_* rights
};

// The process-wide state. Every registry call holds `mutex` for its whole duration.
class Store {
 public:
  static Store& Instance();
  // Closes the connection when the process ends or the library holding the store is unloaded, so
  // that loading and unloading a library that uses the registry leaves no file or memory behind.
  ~Store();

  std::mutex& mutex() { return mutex_; }
  // Opens the database when it is not open in this process (a connection inherited across fork()
  // is abandoned, never used or closed, as SQLite requires). The caller holds the mutex.
  LSTATUS Connect();
  sqlite3* db() const { return db_; }
  // Closes the connection and forgets every open handle. The caller holds the mutex.
  void Close();

  // The key and rights of `key` (a predefined root or an open handle); ERROR_INVALID_HANDLE for
  // anything else.
  LSTATUS Lookup(HKEY key, OpenKey* open) const;
  // Registers a new handle for `id`.
  HKEY AddHandle(KeyId id, REGSAM access);
  // Forgets `key`; false when it was not an open handle.
  bool RemoveHandle(HKEY key);

 private:
  Store() = default;
  LSTATUS OpenDatabase();
  // Closes the connection only; open handles stay valid for the next connection (a failed open,
  // say a lock held too long, must not invalidate them).
  void CloseConnection();

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  long owner_pid_ = 0;  // process that opened db_
  std::unordered_map<HKEY, OpenKey> handles_;
  HKEY next_handle_ = kFirstHandle;
  static constexpr HKEY kFirstHandle = 0x100;
  static constexpr HKEY kLastHandle = 0x7FFFFFFF;  // below the predefined roots
};

// The call frame every public registry call uses: holds the store's mutex and an open connection.
class Session {
 public:
  Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // ERROR_SUCCESS when the store is open.
  LSTATUS status() const { return status_; }
  Store& store() { return store_; }
  sqlite3* db() const { return store_.db(); }
  // Resolves `key`, checks that it grants every right in `needed`, and that its key still exists
  // (ERROR_KEY_DELETED otherwise). Call inside a transaction.
  LSTATUS KeyOf(HKEY key, REGSAM needed, KeyId* id);

 private:
  Store& store_;
  std::lock_guard<std::mutex> lock_;
  LSTATUS status_;
};

}  // namespace tarvik::platform::registry_store
