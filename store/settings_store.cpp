#include "store/settings_store.h"

#include <sqlite3.h>

#include <climits>
#include <filesystem>
#include <system_error>
#include <utility>

namespace pyra {
namespace {

// The table as users see it when they inspect their file: keep it exactly so.
constexpr const char* CreateTable =
    "CREATE TABLE IF NOT EXISTS store(\n"
    "  app     TEXT NOT NULL,\n"
    "  section TEXT NOT NULL,\n"
    "  key     TEXT NOT NULL,\n"
    "  value   TEXT NOT NULL,\n"
    "  PRIMARY KEY (app, section, key));";

constexpr const char* StatementText[] = {
    "SELECT value FROM store WHERE app = ?1 AND section = ?2 AND key = ?3",
    ("INSERT INTO store(app, section, key, value) VALUES(?1, ?2, ?3, ?4) "
     "ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value"),
    "DELETE FROM store WHERE app = ?1 AND section = ?2 AND key = ?3",
    "DELETE FROM store WHERE app = ?1 AND section = ?2",
};

bool IsLockCode(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool IsDamageCode(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

bool Bind(sqlite3_stmt* statement, int index, const std::string& text) {
  if (text.size() > static_cast<size_t>(INT_MAX)) return false;
  // The strings outlive the step that uses them, so SQLite need not copy them.
  return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                           SQLITE_STATIC) == SQLITE_OK;
}

}  // namespace

std::string SaveFailureLine(const SettingsStore& store) {
  return std::string(StoreApplication) + ": the settings could not be saved in " +
         store.Location() + ": " + store.LastError();
}

SqliteSettingsStore::SqliteSettingsStore(std::string path, std::string application)
    : path_(std::move(path)), application_(std::move(application)) {
  Connect();
}

SqliteSettingsStore::~SqliteSettingsStore() { Close(); }

void SqliteSettingsStore::Close() {
  for (auto& statement : statements_) {
    sqlite3_finalize(statement);
    statement = nullptr;
  }
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool SqliteSettingsStore::Connect() {
  if (db_ != nullptr) return true;
  if (path_ != ":memory:") {
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  }
  // READWRITE falls back to read-only by itself when the file is write-protected.
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    lastError_ = sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    return false;
  }
  db_ = db;
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, waiting_ ? BusyTimeoutMs : 0);
  return true;
}

void SqliteSettingsStore::NoteResult(int code) {
  const bool ok = code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE;
  if (!ok) lastError_ = sqlite3_errstr(code);
  if (IsLockCode(code)) {
    // Someone holds the file: the next operations try once instead of each waiting in turn,
    // so that a start-up with dozens of reads is not held up for minutes.
    if (waiting_) sqlite3_busy_timeout(db_, 0);
    waiting_ = false;
  } else if (ok) {
    if (!waiting_) sqlite3_busy_timeout(db_, BusyTimeoutMs);
    waiting_ = true;
  } else if (IsDamageCode(code)) {
    state_ = State::Damaged;
  }
}

bool SqliteSettingsStore::Check() {
  if (state_ != State::Unchecked) return state_ == State::Verified;
  if (!Connect()) return false;
  // Nothing is read from or written into a file that is not a sound database.
  sqlite3_stmt* check = nullptr;
  int rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &check, nullptr);
  std::string verdict;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(check);
    if (rc == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(check, 0);
      verdict = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    }
  }
  sqlite3_finalize(check);
  if (rc != SQLITE_ROW) {
    NoteResult(rc);  // a lock leaves the check for the next operation; damage ends it
    return false;
  }
  NoteResult(SQLITE_OK);
  if (verdict != "ok") {
    state_ = State::Damaged;
    lastError_ = sqlite3_errstr(SQLITE_CORRUPT);
    return false;
  }
  // A rollback journal with full syncs: a write that has returned survives a killed process
  // and a power cut, and the store stays one self-contained file that users can copy. The
  // journal mode is a property of the file and fails harmlessly on a read-only one.
  sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  rc = sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  NoteResult(rc);
  if (rc != SQLITE_OK) return false;
  state_ = State::Verified;
  return true;
}

bool SqliteSettingsStore::Writable() {
  if (!Check()) return false;
  if (!tableReady_) {
    const int rc = sqlite3_exec(db_, CreateTable, nullptr, nullptr, nullptr);
    NoteResult(rc);
    tableReady_ = rc == SQLITE_OK;
  }
  return tableReady_;
}

sqlite3_stmt* SqliteSettingsStore::Prepared(Statement which) {
  if (statements_[which] == nullptr) {
    const int rc = sqlite3_prepare_v3(db_, StatementText[which], -1, SQLITE_PREPARE_PERSISTENT,
                                      &statements_[which], nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(statements_[which]);
      statements_[which] = nullptr;
      NoteResult(rc);
    }
  }
  return statements_[which];
}

bool SqliteSettingsStore::Execute(sqlite3_stmt* statement) {
  const int rc = sqlite3_step(statement);
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  NoteResult(rc);
  return rc == SQLITE_DONE;
}

void SqliteSettingsStore::NoteReadFailure() {
  // A new store has no table until the first write: its values are missing, not unreadable.
  if (db_ != nullptr && state_ == State::Verified && !tableReady_) {
    sqlite3_stmt* table = nullptr;
    const int rc = sqlite3_prepare_v2(
        db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'store'", -1, &table,
        nullptr);
    const int step = rc == SQLITE_OK ? sqlite3_step(table) : rc;
    sqlite3_finalize(table);
    if (step == SQLITE_DONE) return;
  }
  ++readFailures_;
}

std::optional<std::string> SqliteSettingsStore::Read(const std::string& section,
                                                     const std::string& key) {
  Check();
  if (db_ == nullptr || state_ != State::Verified) {
    NoteReadFailure();
    return std::nullopt;
  }
  sqlite3_stmt* statement = Prepared(SelectValue);
  if (statement == nullptr) {
    NoteReadFailure();
    return std::nullopt;
  }
  std::optional<std::string> value;
  if (Bind(statement, 1, application_) && Bind(statement, 2, section) && Bind(statement, 3, key)) {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
      const int bytes = sqlite3_column_bytes(statement, 0);
      value = text != nullptr ? std::string(text, static_cast<size_t>(bytes)) : std::string();
    }
    NoteResult(rc);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) NoteReadFailure();
  } else {
    NoteReadFailure();
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return value;
}

bool SqliteSettingsStore::Locked() {
  if (!Connect()) return false;
  sqlite3_busy_timeout(db_, 0);
  sqlite3_stmt* probe = nullptr;
  int rc = sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(probe);
  sqlite3_finalize(probe);
  NoteResult(rc);
  sqlite3_busy_timeout(db_, waiting_ ? BusyTimeoutMs : 0);
  return IsLockCode(rc);
}

bool SqliteSettingsStore::Upsert(const StoreWrite& write) {
  sqlite3_stmt* statement = Prepared(UpsertValue);
  if (statement == nullptr) return false;
  if (!Bind(statement, 1, application_) || !Bind(statement, 2, write.section) ||
      !Bind(statement, 3, write.key) || !Bind(statement, 4, write.value)) {
    sqlite3_clear_bindings(statement);
    return false;
  }
  return Execute(statement);
}

bool SqliteSettingsStore::Run(const char* sql) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  NoteResult(rc);
  return rc == SQLITE_OK;
}

bool SqliteSettingsStore::Write(const std::string& section, const std::string& key,
                                const std::string& value) {
  return Writable() && Upsert({section, key, value});
}

bool SqliteSettingsStore::WriteAll(const std::vector<StoreWrite>& writes) {
  if (writes.empty()) return true;
  // One journal and one sync for all of them; a full disk or a lock leaves the store as it was.
  if (!Writable() || !Run("BEGIN IMMEDIATE")) return false;
  auto rollBack = [this] {
    const std::string reason = lastError_;  // the failure's, not the rollback's
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    lastError_ = reason;
    return false;
  };
  for (const StoreWrite& write : writes) {
    if (!Upsert(write)) return rollBack();
  }
  return Run("COMMIT") || rollBack();
}

bool SqliteSettingsStore::DeleteKey(const std::string& section, const std::string& key) {
  if (!Writable()) return false;
  sqlite3_stmt* statement = Prepared(DeleteValue);
  if (statement == nullptr) return false;
  if (!Bind(statement, 1, application_) || !Bind(statement, 2, section) ||
      !Bind(statement, 3, key)) {
    sqlite3_clear_bindings(statement);
    return false;
  }
  return Execute(statement);
}

bool SqliteSettingsStore::DeleteSection(const std::string& section) {
  if (!Writable()) return false;
  sqlite3_stmt* statement = Prepared(DeleteSectionRows);
  if (statement == nullptr) return false;
  if (!Bind(statement, 1, application_) || !Bind(statement, 2, section)) {
    sqlite3_clear_bindings(statement);
    return false;
  }
  return Execute(statement);
}

}  // namespace pyra
