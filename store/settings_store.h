// The per-user store of text values: (application, section, key) -> value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/product.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pyra {

// The application under which the program keeps everything: the product's name.
inline constexpr const char* StoreApplication = ProductName;

struct StoreWrite {
  std::string section;
  std::string key;
  std::string value;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Nothing when the value is missing or cannot be read; only the second counts in
  // ReadFailures().
  virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
  // Each call commits at once; false when nothing was stored.
  virtual bool Write(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
  // One transaction: every value is stored, or none.
  virtual bool WriteAll(const std::vector<StoreWrite>& writes) = 0;
  // Removing what does not exist succeeds.
  virtual bool DeleteKey(const std::string& section, const std::string& key) = 0;
  virtual bool DeleteSection(const std::string& section) = 0;

  // Reads so far that found the store unreadable (another program's lock, damage, a read
  // error): what was read around them must not be written back as if it were the store's.
  virtual int ReadFailures() const = 0;
  // Another program holds the store so that it cannot be read now; asks without waiting.
  virtual bool Locked() = 0;
  // Where the store is, and why the last operation that failed did: for the one line a
  // failed save leaves on standard error.
  virtual std::string Location() const = 0;
  virtual std::string LastError() const = 0;
};

// "Pyra3: the settings could not be saved in <file>: <reason>", the one line a failed save
// leaves on standard error.
std::string SaveFailureLine(const SettingsStore& store);

// The store as one SQLite file. A file that cannot be opened, is locked, write-protected,
// damaged or not a database at all never brings the program down and is never written over:
// writes report failure, and reads find nothing (a sound write-protected file is still read).
class SqliteSettingsStore final : public SettingsStore {
 public:
  // path ":memory:" keeps the store in memory (for tests).
  explicit SqliteSettingsStore(std::string path, std::string application = StoreApplication);
  ~SqliteSettingsStore() override;
  SqliteSettingsStore(const SqliteSettingsStore&) = delete;
  SqliteSettingsStore& operator=(const SqliteSettingsStore&) = delete;

  std::optional<std::string> Read(const std::string& section, const std::string& key) override;
  bool Write(const std::string& section, const std::string& key, const std::string& value) override;
  bool WriteAll(const std::vector<StoreWrite>& writes) override;
  bool DeleteKey(const std::string& section, const std::string& key) override;
  bool DeleteSection(const std::string& section) override;
  int ReadFailures() const override { return readFailures_; }
  bool Locked() override;
  std::string Location() const override { return path_; }
  std::string LastError() const override { return lastError_; }

  // The file failed its check: it is neither read nor written.
  bool Damaged() const { return state_ == State::Damaged; }

  // How long one operation waits for another program's lock, in milliseconds.
  static constexpr int BusyTimeoutMs = 1000;

 private:
  enum class State { Unchecked, Verified, Damaged };
  enum Statement { SelectValue, UpsertValue, DeleteValue, DeleteSectionRows, StatementCount };

  bool Connect();
  // Checks the file once: true when it is a sound database.
  bool Check();
  // Checked, and the table is there.
  bool Writable();
  sqlite3_stmt* Prepared(Statement which);
  // Runs a prepared statement that returns no rows.
  bool Execute(sqlite3_stmt* statement);
  bool Upsert(const StoreWrite& write);
  // Runs a statement of plain text that returns no rows.
  bool Run(const char* sql);
  // A read found the store unreadable; nothing is counted for a store that has no table yet.
  void NoteReadFailure();
  void NoteResult(int code);
  void Close();

  std::string path_;
  std::string application_;
  sqlite3* db_ = nullptr;
  State state_ = State::Unchecked;
  bool tableReady_ = false;
  bool waiting_ = true;  // false after a lock made an operation give up
  int readFailures_ = 0;
  std::string lastError_;
  sqlite3_stmt* statements_[StatementCount] = {};
};

}  // namespace pyra
