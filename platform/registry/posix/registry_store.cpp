#include "platform/registry/posix/registry_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/registry/posix/store_location.h"

namespace tarvik::platform::registry_store {

namespace {

// Marks a database as a registry store ("TRVG"); a file with tables but another mark is refused.
constexpr int kApplicationId = 0x54525647;
constexpr int kSchemaVersion = 1;
// How long a call waits for a lock held by another process before it gives up with ERROR_BUSY.
constexpr int kBusyTimeoutMs = 30000;

constexpr const char* kCreateSchema = R"sql(
CREATE TABLE reg_keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,
  UNIQUE(parent, name));
CREATE TABLE reg_values(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, name));
INSERT INTO reg_keys(id, parent, name) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT'), (2, 0, 'HKEY_CURRENT_USER'), (3, 0, 'HKEY_LOCAL_MACHINE'),
  (4, 0, 'HKEY_USERS'), (5, 0, 'HKEY_PERFORMANCE_DATA'), (6, 0, 'HKEY_CURRENT_CONFIG'),
  (7, 0, 'HKEY_DYN_DATA');
PRAGMA application_id = 1414682183;
PRAGMA user_version = 1;
)sql";
static_assert(kApplicationId == 1414682183);

// Reads an integer pragma; negative on failure (the code in *rc).
std::int64_t PragmaValue(sqlite3* db, const char* sql, int* rc) {
  Statement statement(db, sql);
  *rc = statement.Step();
  if (*rc != SQLITE_ROW) return -1;
  *rc = SQLITE_OK;
  return statement.ColumnInt(0);
}

// Switches the file to write-ahead logging. A change of journal mode does not wait on the busy
// handler when another process has the file open at that moment (two processes creating the store
// together), so it is retried here for as long as the busy handler would wait.
int SwitchToWriteAheadLog(sqlite3* db) {
  constexpr int kRetryStepMs = 5;
  for (int waited = 0;; waited += kRetryStepMs) {
    const int rc = Execute(db, "PRAGMA journal_mode=WAL");
    if ((rc & 0xFF) != SQLITE_BUSY || waited >= kBusyTimeoutMs) return rc;
    sqlite3_sleep(kRetryStepMs);
  }
}

enum class SchemaState { kEmpty, kOurs, kForeign };

// What the open file holds: nothing yet, a store of ours, or something else.
LSTATUS ReadSchemaState(sqlite3* db, SchemaState* state) {
  int rc = SQLITE_OK;
  const std::int64_t application_id = PragmaValue(db, "PRAGMA application_id", &rc);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc);
  const std::int64_t tables = PragmaValue(db, "SELECT count(*) FROM sqlite_master", &rc);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc);
  const std::int64_t version = PragmaValue(db, "PRAGMA user_version", &rc);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc);
  if (application_id == 0 && tables == 0) {
    *state = SchemaState::kEmpty;
  } else if (application_id == kApplicationId && version == kSchemaVersion) {
    *state = SchemaState::kOurs;
  } else {
    *state = SchemaState::kForeign;
  }
  return ERROR_SUCCESS;
}

// Creates the schema in an empty file, accepts a store of ours, refuses anything else (without
// writing to it). The write lock is taken only when the file is empty, so a read-only store can
// still be read.
LSTATUS PrepareSchema(sqlite3* db) {
  SchemaState state = SchemaState::kEmpty;
  {
    Transaction read(db, /*write=*/false);
    if (read.status() != ERROR_SUCCESS) return read.status();
    if (const LSTATUS status = ReadSchemaState(db, &state); status != ERROR_SUCCESS) return status;
  }
  if (state == SchemaState::kForeign) return ERROR_BADDB;
  // Write-ahead logging lets readers and one writer proceed together. The mode is kept in the file;
  // it is switched only after the file proved to be ours or empty, so a foreign file stays as it
  // is.
  const int rc = SwitchToWriteAheadLog(db);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc);
  if (state == SchemaState::kOurs) return ERROR_SUCCESS;
  // Another process may create the schema between the two transactions: look again under the
  // write lock.
  Transaction write(db, /*write=*/true);
  if (write.status() != ERROR_SUCCESS) return write.status();
  if (const LSTATUS status = ReadSchemaState(db, &state); status != ERROR_SUCCESS) return status;
  if (state != SchemaState::kEmpty)
    return state == SchemaState::kOurs ? ERROR_SUCCESS : ERROR_BADDB;
  if (sqlite3_exec(db, kCreateSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return StatusFromSqlite(sqlite3_errcode(db));
  }
  return write.Commit();
}

}  // namespace

LSTATUS StatusFromSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return ERROR_SUCCESS;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
      return ERROR_BADDB;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_MISMATCH:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

Statement::Statement(sqlite3* db, const char* sql)
    : prepare_rc_(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr)) {}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::BindInt(int index, std::int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
}

void Statement::BindText(int index, std::string_view text) {
  sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::BindBlob(int index, const void* data, std::size_t size) {
  // A zero-length blob must not be bound from a null pointer: SQLite would store NULL.
  if (size == 0) {
    sqlite3_bind_zeroblob(stmt_, index, 0);
  } else {
    sqlite3_bind_blob64(stmt_, index, data, size, SQLITE_TRANSIENT);
  }
}

int Statement::Step() {
  if (prepare_rc_ != SQLITE_OK) return prepare_rc_;
  return sqlite3_step(stmt_);
}

std::int64_t Statement::ColumnInt(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string Statement::ColumnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::vector<std::uint8_t> Statement::ColumnBlob(int column) const {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
}

int Execute(sqlite3* db, const char* sql) {
  Statement statement(db, sql);
  const int rc = statement.Step();
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

Transaction::Transaction(sqlite3* db, bool write)
    : db_(db), status_(StatusFromSqlite(Execute(db, write ? "BEGIN IMMEDIATE" : "BEGIN"))) {
  open_ = status_ == ERROR_SUCCESS;
}

Transaction::~Transaction() {
  if (open_) Execute(db_, "ROLLBACK");
}

LSTATUS Transaction::Commit() {
  const int rc = Execute(db_, "COMMIT");
  if (rc == SQLITE_OK) open_ = false;  // on failure the destructor rolls back
  return StatusFromSqlite(rc);
}

Store& Store::Instance() {
  static Store store;
  return store;
}

Store::~Store() {
  Close();
}

LSTATUS Store::Connect() {
  if (db_ != nullptr && owner_pid_ == static_cast<long>(getpid())) return ERROR_SUCCESS;
  // A connection opened by the parent of a forked process belongs to the parent: leave it alone.
  db_ = nullptr;
  const LSTATUS status = OpenDatabase();
  if (status != ERROR_SUCCESS) CloseConnection();
  return status;
}

LSTATUS Store::OpenDatabase() {
  const std::filesystem::path path = RegistryStorePath();
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  const int open_rc =
      sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  owner_pid_ = static_cast<long>(getpid());
  if (open_rc != SQLITE_OK) return StatusFromSqlite(open_rc);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  // FULL makes every commit durable when it returns.
  const int rc = Execute(db_, "PRAGMA synchronous=FULL");
  if (rc != SQLITE_OK) return StatusFromSqlite(rc);
  return PrepareSchema(db_);
}

void Store::CloseConnection() {
  if (db_ != nullptr && owner_pid_ == static_cast<long>(getpid())) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Store::Close() {
  CloseConnection();
  handles_.clear();
}

LSTATUS Store::Lookup(HKEY key, OpenKey* open) const {
  if (IsPredefined(key)) {
    *open = {static_cast<KeyId>(key - HKEY_CLASSES_ROOT) + 1, KEY_ALL_ACCESS};
    return ERROR_SUCCESS;
  }
  const auto found = handles_.find(key);
  if (found == handles_.end()) return ERROR_INVALID_HANDLE;
  *open = found->second;
  return ERROR_SUCCESS;
}

HKEY Store::AddHandle(KeyId id, REGSAM access) {
  // Handles count upwards and wrap; one still in use is skipped, so a closed handle is not
  // handed out again before the counter has gone all the way round.
  while (handles_.count(next_handle_) != 0 || next_handle_ > kLastHandle ||
         next_handle_ < kFirstHandle) {
    next_handle_ = next_handle_ >= kLastHandle ? kFirstHandle : next_handle_ + 1;
  }
  const HKEY handle = next_handle_;
  next_handle_ = next_handle_ >= kLastHandle ? kFirstHandle : next_handle_ + 1;
  handles_.emplace(handle, OpenKey{id, access});
  return handle;
}

bool Store::RemoveHandle(HKEY key) {
  return handles_.erase(key) != 0;
}

Session::Session() : store_(Store::Instance()), lock_(store_.mutex()), status_(store_.Connect()) {}

LSTATUS Session::KeyOf(HKEY key, REGSAM needed, KeyId* id) {
  OpenKey open{};
  if (const LSTATUS status = store_.Lookup(key, &open); status != ERROR_SUCCESS) return status;
  if ((open.access & needed) != needed) return ERROR_ACCESS_DENIED;
  Statement exists(db(), "SELECT 1 FROM reg_keys WHERE id = ?");
  exists.BindInt(1, open.id);
  const int rc = exists.Step();
  if (rc == SQLITE_DONE) return ERROR_KEY_DELETED;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc);
  *id = open.id;
  return ERROR_SUCCESS;
}

}  // namespace tarvik::platform::registry_store

namespace tarvik::platform {

std::string RegistryStorePath() {
  if (const char* file = std::getenv("TARVIK_REGISTRY"); file != nullptr && *file != '\0') {
    return file;
  }
  std::filesystem::path root;
  if (const char* tarvik_root = std::getenv("TARVIK_ROOT");
      tarvik_root != nullptr && *tarvik_root != '\0') {
    root = tarvik_root;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* user = getpwuid(getuid());
      home = user != nullptr ? user->pw_dir : "/";
    }
    root = std::filesystem::path(home) / ".local" / "share" / "tarvik";
  }
  return (root / "registry.db").string();
}

void CloseRegistryStore() {
  registry_store::Store& store = registry_store::Store::Instance();
  std::lock_guard<std::mutex> lock(store.mutex());
  store.Close();
}

}  // namespace tarvik::platform
