#include "platform/registry/posix/value_rows.h"

#include <cstring>

namespace tarvik::platform::registry_store {

LSTATUS StoreValue(sqlite3* db, KeyId key, std::string_view name, DWORD type, const void* data,
                   std::size_t size) {
  Statement upsert(db,
                   "INSERT INTO reg_values(key, name, type, data) VALUES(?, ?, ?, ?) "
                   "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, "
                   "data = excluded.data");
  upsert.BindInt(1, key);
  upsert.BindText(2, name);
  upsert.BindInt(3, type);
  upsert.BindBlob(4, data, size);
  const int rc = upsert.Step();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : StatusFromSqlite(rc);
}

LSTATUS LoadValue(sqlite3* db, KeyId key, std::string_view name, DWORD* type,
                  std::vector<std::uint8_t>* data) {
  Statement select(db, "SELECT type, data FROM reg_values WHERE key = ? AND name = ?");
  select.BindInt(1, key);
  select.BindText(2, name);
  const int rc = select.Step();
  if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *type = static_cast<DWORD>(select.ColumnInt(0));
  *data = select.ColumnBlob(1);
  return ERROR_SUCCESS;
}

LSTATUS CopyToBuffer(const std::vector<std::uint8_t>& bytes, void* data, DWORD* size) {
  const auto needed = static_cast<DWORD>(bytes.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  *size = needed;
  return ERROR_SUCCESS;
}

std::string_view TextOfStringData(const std::vector<std::uint8_t>& data) {
  const std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
  return all.substr(0, all.find('\0'));
}

}  // namespace tarvik::platform::registry_store
