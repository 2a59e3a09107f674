// The per-user store of text values: (application, section, key) -> value.
#pragma once

#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace pyra {

// The application name under which the program keeps everything; also its main section.
inline constexpr const char* StoreApplication = "Pyra3";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Nothing when the value is missing or cannot be read.
  virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
  // Each call commits at once; false when nothing was stored.
  virtual bool Write(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
  // Removing what does not exist succeeds.
  virtual bool DeleteKey(const std::string& section, const std::string& key) = 0;
  virtual bool DeleteSection(const std::string& section) = 0;
};

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
  bool DeleteKey(const std::string& section, const std::string& key) override;
  bool DeleteSection(const std::string& section) override;

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
  void NoteResult(int code);
  void Close();

  std::string path_;
  std::string application_;
  sqlite3* db_ = nullptr;
  State state_ = State::Unchecked;
  bool tableReady_ = false;
  bool waiting_ = true;  // false after a lock made an operation give up
  sqlite3_stmt* statements_[StatementCount] = {};
};

}  // namespace pyra
