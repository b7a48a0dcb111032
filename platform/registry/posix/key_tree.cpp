#include "platform/registry/posix/key_tree.h"

namespace tarvik::platform::registry_store {

namespace {

LSTATUS FindChild(sqlite3* db, KeyId parent, std::string_view name, KeyId* id) {
  Statement find(db, "SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
  find.BindInt(1, parent);
  find.BindText(2, name);
  const int rc = find.Step();
  if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *id = find.ColumnInt(0);
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS SplitKeyPath(std::string_view path, std::vector<std::string_view>* names) {
  names->clear();
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return ERROR_SUCCESS;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view name =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (name.size() > kMaxKeyNameLength || name.find('\0') != std::string_view::npos) {
      return ERROR_INVALID_PARAMETER;
    }
    names->push_back(name);
    if (end == std::string_view::npos) return ERROR_SUCCESS;
    start = end + 1;
  }
}

LSTATUS CheckValueName(std::string_view name) {
  if (name.size() > kMaxValueNameLength || name.find('\0') != std::string_view::npos) {
    return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

LSTATUS FindKey(sqlite3* db, KeyId parent, const std::vector<std::string_view>& names, KeyId* id) {
  KeyId current = parent;
  for (const std::string_view name : names) {
    if (const LSTATUS status = FindChild(db, current, name, &current); status != ERROR_SUCCESS) {
      return status;
    }
  }
  *id = current;
  return ERROR_SUCCESS;
}

LSTATUS CreateKeyPath(sqlite3* db, KeyId parent, const std::vector<std::string_view>& names,
                      KeyId* id) {
  KeyId current = parent;
  for (const std::string_view name : names) {
    const LSTATUS status = FindChild(db, current, name, &current);
    if (status == ERROR_FILE_NOT_FOUND) {
      Statement insert(db, "INSERT INTO reg_keys(parent, name) VALUES(?, ?)");
      insert.BindInt(1, current);
      insert.BindText(2, name);
      const int rc = insert.Step();
      if (rc != SQLITE_DONE) return StatusFromSqlite(rc);
      current = sqlite3_last_insert_rowid(db);
    } else if (status != ERROR_SUCCESS) {
      return status;
    }
  }
  *id = current;
  return ERROR_SUCCESS;
}

LSTATUS CountSubKeys(sqlite3* db, KeyId id, std::int64_t* count) {
  Statement statement(db, "SELECT count(*) FROM reg_keys WHERE parent = ?");
  statement.BindInt(1, id);
  const int rc = statement.Step();
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *count = statement.ColumnInt(0);
  return ERROR_SUCCESS;
}

}  // namespace tarvik::platform::registry_store
