// Key calls: create, open, close, delete, enumerate.
#include <algorithm>
#include <array>
#include <cctype>

#include "platform/registry/posix/key_tree.h"
#include "platform/registry/registry.h"
#include "platform/registry/posix/registry_store.h"

namespace tarvik::platform {

using registry_store::IsPredefined;
using registry_store::KeyId;
using registry_store::kLastRootId;
using registry_store::Session;
using registry_store::Statement;
using registry_store::StatusFromSqlite;
using registry_store::Transaction;

LSTATUS RegCreateKey(HKEY key, std::string_view sub_key, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::vector<std::string_view> names;
  if (const LSTATUS status = registry_store::SplitKeyPath(sub_key, &names); status != 0) {
    return status;
  }
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/true);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  LSTATUS status = session.KeyOf(key, names.empty() ? 0 : KEY_CREATE_SUB_KEY, &id);
  if (status == ERROR_SUCCESS) status = registry_store::CreateKeyPath(session.db(), id, names, &id);
  if (status == ERROR_SUCCESS) status = transaction.Commit();
  if (status != ERROR_SUCCESS) return status;
  *result =
      names.empty() && IsPredefined(key) ? key : session.store().AddHandle(id, KEY_ALL_ACCESS);
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyEx(HKEY key, std::string_view sub_key, DWORD options, REGSAM access,
                     HKEY* result) {
  if (result == nullptr || options != 0) return ERROR_INVALID_PARAMETER;
  std::vector<std::string_view> names;
  if (const LSTATUS status = registry_store::SplitKeyPath(sub_key, &names); status != 0) {
    return status;
  }
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  LSTATUS status = session.KeyOf(key, 0, &id);
  if (status == ERROR_SUCCESS) status = registry_store::FindKey(session.db(), id, names, &id);
  if (status != ERROR_SUCCESS) return status;
  *result = names.empty() && IsPredefined(key) ? key : session.store().AddHandle(id, access);
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKey(HKEY key, std::string_view sub_key, HKEY* result) {
  return RegOpenKeyEx(key, sub_key, 0, KEY_ALL_ACCESS, result);
}

LSTATUS RegCloseKey(HKEY key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  // Closing needs no database, so it works on a damaged store too.
  registry_store::Store& store = registry_store::Store::Instance();
  std::lock_guard<std::mutex> lock(store.mutex());
  return store.RemoveHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegDeleteKey(HKEY key, std::string_view sub_key) {
  std::vector<std::string_view> names;
  if (const LSTATUS status = registry_store::SplitKeyPath(sub_key, &names); status != 0) {
    return status;
  }
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  sqlite3* db = session.db();
  Transaction transaction(db, /*write=*/true);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  LSTATUS status = session.KeyOf(key, 0, &id);
  if (status == ERROR_SUCCESS) status = registry_store::FindKey(db, id, names, &id);
  if (status != ERROR_SUCCESS) return status;
  std::int64_t sub_keys = 0;
  status = registry_store::CountSubKeys(db, id, &sub_keys);
  if (status != ERROR_SUCCESS) return status;
  if (id <= kLastRootId || sub_keys > 0) return ERROR_ACCESS_DENIED;
  Statement delete_values(db, "DELETE FROM reg_values WHERE key = ?");
  delete_values.BindInt(1, id);
  int rc = delete_values.Step();
  if (rc == SQLITE_DONE) {
    Statement delete_key(db, "DELETE FROM reg_keys WHERE id = ?");
    delete_key.BindInt(1, id);
    rc = delete_key.Step();
  }
  if (rc != SQLITE_DONE) return StatusFromSqlite(rc);
  return transaction.Commit();
}

LSTATUS RegEnumKey(HKEY key, DWORD index, std::string* name) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  if (const LSTATUS status = session.KeyOf(key, KEY_ENUMERATE_SUB_KEYS, &id); status != 0) {
    return status;
  }
  Statement select(session.db(),
                   "SELECT name FROM reg_keys WHERE parent = ? ORDER BY name LIMIT 1 OFFSET ?");
  select.BindInt(1, id);
  select.BindInt(2, index);
  const int rc = select.Step();
  if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *name = select.ColumnText(0);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryInfoKey(HKEY key, DWORD* sub_keys, DWORD* values) {
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  if (const LSTATUS status = session.KeyOf(key, KEY_QUERY_VALUE, &id); status != 0) return status;
  std::int64_t key_count = 0;
  if (const LSTATUS status = registry_store::CountSubKeys(session.db(), id, &key_count);
      status != ERROR_SUCCESS) {
    return status;
  }
  Statement count_values(session.db(), "SELECT count(*) FROM reg_values WHERE key = ?");
  count_values.BindInt(1, id);
  const int rc = count_values.Step();
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  if (sub_keys != nullptr) *sub_keys = static_cast<DWORD>(key_count);
  if (values != nullptr) *values = static_cast<DWORD>(count_values.ColumnInt(0));
  return ERROR_SUCCESS;
}

}  // namespace tarvik::platform
