// Value calls: set, query, delete, enumerate, the old default-value forms and the string conveniences.
#include <string>

#include "platform/registry/posix/key_tree.h"
#include "platform/registry/registry.h"
#include "platform/registry/posix/registry_store.h"
#include "platform/registry/posix/value_rows.h"

namespace tarvik::platform {

using registry_store::KeyId;
using registry_store::Session;
using registry_store::Statement;
using registry_store::StatusFromSqlite;
using registry_store::Transaction;

namespace {

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Finds key `sub_key` below `key` for reading (inside the caller's read transaction). Reading a
// value of the handle's own key needs KEY_QUERY_VALUE; a subkey is opened anew with all rights.
LSTATUS FindForRead(Session& session, HKEY key, std::string_view sub_key, KeyId* id) {
  std::vector<std::string_view> names;
  LSTATUS status = registry_store::SplitKeyPath(sub_key, &names);
  if (status == ERROR_SUCCESS) status = session.KeyOf(key, names.empty() ? KEY_QUERY_VALUE : 0, id);
  if (status == ERROR_SUCCESS) status = registry_store::FindKey(session.db(), *id, names, id);
  return status;
}

// Finds or creates key `sub_key` below `key` and sets one string value in it, zero-terminated,
// in one transaction.
LSTATUS CreateAndSetString(HKEY key, std::string_view sub_key, std::string_view value_name,
                           std::string_view text) {
  std::vector<std::string_view> names;
  LSTATUS status = registry_store::SplitKeyPath(sub_key, &names);
  if (status == ERROR_SUCCESS) status = registry_store::CheckValueName(value_name);
  if (status != ERROR_SUCCESS) return status;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/true);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  status = session.KeyOf(key, names.empty() ? KEY_SET_VALUE : KEY_CREATE_SUB_KEY, &id);
  if (status == ERROR_SUCCESS) status = registry_store::CreateKeyPath(session.db(), id, names, &id);
  if (status != ERROR_SUCCESS) return status;
  std::string data(text);
  data.push_back('\0');
  status =
      registry_store::StoreValue(session.db(), id, value_name, REG_SZ, data.data(), data.size());
  return status == ERROR_SUCCESS ? transaction.Commit() : status;
}

}  // namespace

LSTATUS RegSetValueEx(HKEY key, std::string_view value_name, DWORD type, const void* data,
                      DWORD size) {
  if (const LSTATUS status = registry_store::CheckValueName(value_name); status != 0) return status;
  if ((data == nullptr && size != 0) || (type == REG_DWORD && size != 4)) {
    return ERROR_INVALID_PARAMETER;
  }
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/true);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  LSTATUS status = session.KeyOf(key, KEY_SET_VALUE, &id);
  if (status == ERROR_SUCCESS) {
    status = registry_store::StoreValue(session.db(), id, value_name, type, data, size);
  }
  return status == ERROR_SUCCESS ? transaction.Commit() : status;
}

LSTATUS RegQueryValueEx(HKEY key, std::string_view value_name, DWORD* type, void* data,
                        DWORD* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  if (const LSTATUS status = registry_store::CheckValueName(value_name); status != 0) return status;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  DWORD stored_type = REG_NONE;
  std::vector<std::uint8_t> bytes;
  LSTATUS status = session.KeyOf(key, KEY_QUERY_VALUE, &id);
  if (status == ERROR_SUCCESS) {
    status = registry_store::LoadValue(session.db(), id, value_name, &stored_type, &bytes);
  }
  if (status != ERROR_SUCCESS) return status;
  if (type != nullptr) *type = stored_type;
  return registry_store::CopyToBuffer(bytes, data, size);
}

LSTATUS RegDeleteValue(HKEY key, std::string_view value_name) {
  if (const LSTATUS status = registry_store::CheckValueName(value_name); status != 0) return status;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/true);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  if (const LSTATUS status = session.KeyOf(key, KEY_SET_VALUE, &id); status != 0) return status;
  Statement remove(session.db(), "DELETE FROM reg_values WHERE key = ? AND name = ?");
  remove.BindInt(1, id);
  remove.BindText(2, value_name);
  const int rc = remove.Step();
  if (rc != SQLITE_DONE) return StatusFromSqlite(rc);
  if (sqlite3_changes(session.db()) == 0) return ERROR_FILE_NOT_FOUND;
  return transaction.Commit();
}

LSTATUS RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type,
                     std::vector<std::uint8_t>* data) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  if (const LSTATUS status = session.KeyOf(key, KEY_QUERY_VALUE, &id); status != 0) return status;
  Statement select(session.db(),
                   "SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id "
                   "LIMIT 1 OFFSET ?");
  select.BindInt(1, id);
  select.BindInt(2, index);
  const int rc = select.Step();
  if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *name = select.ColumnText(0);
  if (type != nullptr) *type = static_cast<DWORD>(select.ColumnInt(1));
  if (data != nullptr) *data = select.ColumnBlob(2);
  return ERROR_SUCCESS;
}

LSTATUS RegSetValue(HKEY key, std::string_view sub_key, DWORD type, std::string_view text) {
  if (type != REG_SZ) return ERROR_INVALID_PARAMETER;
  return CreateAndSetString(key, sub_key, "", text);
}

LSTATUS RegQueryValue(HKEY key, std::string_view sub_key, char* data, DWORD* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  if (const LSTATUS status = FindForRead(session, key, sub_key, &id); status != 0) return status;
  DWORD type = REG_SZ;
  std::vector<std::uint8_t> bytes;
  const LSTATUS status = registry_store::LoadValue(session.db(), id, "", &type, &bytes);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
  if (!IsStringType(type)) return ERROR_INVALID_DATA;
  // Always a zero-terminated text, whether or not the stored data carried its zero.
  const std::string_view text = registry_store::TextOfStringData(bytes);
  std::vector<std::uint8_t> terminated(text.begin(), text.end());
  terminated.push_back(0);
  return registry_store::CopyToBuffer(terminated, data, size);
}

LSTATUS ReadRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                           std::string* text) {
  if (text == nullptr) return ERROR_INVALID_PARAMETER;
  if (const LSTATUS status = registry_store::CheckValueName(value_name); status != 0) return status;
  Session session;
  if (session.status() != ERROR_SUCCESS) return session.status();
  Transaction transaction(session.db(), /*write=*/false);
  if (transaction.status() != ERROR_SUCCESS) return transaction.status();
  KeyId id = 0;
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;
  LSTATUS status = FindForRead(session, key, sub_key, &id);
  if (status == ERROR_SUCCESS) {
    status = registry_store::LoadValue(session.db(), id, value_name, &type, &bytes);
  }
  if (status != ERROR_SUCCESS) return status;
  if (!IsStringType(type)) return ERROR_INVALID_DATA;
  *text = std::string(registry_store::TextOfStringData(bytes));
  return ERROR_SUCCESS;
}

LSTATUS WriteRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                            std::string_view text) {
  return CreateAndSetString(key, sub_key, value_name, text);
}

}  // namespace tarvik::platform
