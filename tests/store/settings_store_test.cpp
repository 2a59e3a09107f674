// The SQLite store, also under what a user's machine produces: a file that is not a
// database, a damaged, locked or write-protected one, and a program killed in mid-write.
#include "store/settings_store.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <semaphore>
#include <string>
#include <thread>

#include "fake_windows.h"
#include "store/store_values.h"
#include "temp_dir.h"

namespace pyra {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TempDir;

// The rows of a query on a connection of its own, columns joined by '|', rows by ';'.
std::string Query(const std::string& path, const std::string& sql) {
  std::string rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_exec(
      db, sql.c_str(),
      [](void* out, int n, char** values, char**) {
        auto& s = *static_cast<std::string*>(out);
        for (int c = 0; c < n; ++c) s += (c > 0 ? "|" : s.empty() ? "" : ";") + std::string(values[c]);
        return 0;
      },
      &rows, nullptr);
  sqlite3_close(db);
  return rows;
}

// A store as a few runs leave it, in enough rows to span several pages.
void FillStore(const std::string& path) {
  {
    SqliteSettingsStore store(path);
    ASSERT_TRUE(WriteSetting(store, "Width", "6000"));
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db,
                         "BEGIN; INSERT INTO store VALUES ('Pyra3','Pyra3','FormOfGame','3'),"
                         "('Pyra3','Pyra3','PlayerB','0'), ('Pyra3','Pyra3','PlayerNameB','Bob'),"
                         "('Pyra3','Pyra3','Player00','Ann'), ('Pyra3','Ann','Games','10');"
                         "INSERT INTO store WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                         "FROM n WHERE i < 200) SELECT 'Pyra3', 'Padding', i, printf('%0100d', i) "
                         "FROM n; COMMIT;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
}

// What one run of the program makes of a store: the settings it loaded, the players it
// knows after a game, and whether any write went through.
std::string OneRun(SqliteSettingsStore& store) {
  testing::ProgramRun run(store);
  run.session.LoadSettings();
  run.records.RecordResult(0);
  const bool wrote = store.Write("Pyra3", "Top", "1") || store.DeleteKey("Pyra3", "Width") ||
                     store.DeleteSection("Ann") || run.session.SaveWindowPositions() ||
                     run.session.SaveOptions();
  return "width=" + std::to_string(static_cast<int>(run.windows.main.width)) +
         " format=" + std::to_string(run.options.SelectedSeriesFormat()) +
         " B=" + run.options.Combo1[1].text + " players=" + std::to_string(run.records.PlayerCount) +
         " wrote=" + std::to_string(wrote);
}
constexpr const char* NothingUsable = "width=4080 format=0 B=コンピュータ players=0 wrote=0";

TEST(SqliteSettingsStore, KeepsAnyTextInItsOwnRowOfTheDocumentedTable) {
  TempDir dir;
  const std::string path = dir.File("a/Pyra3/store.sqlite3");  // the folders are made
  const std::string texts[] = {"プレーヤー名", "O'Brien \"the\"", "x'); DROP TABLE store; --",
                               "line\r\nbreak", std::string("nul\0in", 6), std::string(10000, 'w')};
  {
    SqliteSettingsStore store(path);
    EXPECT_EQ(store.Read("Pyra3", "Left"), std::nullopt);
    for (const std::string& t : texts) ASSERT_TRUE(store.Write(t, t, t));
    for (const char* v : {"1", "2"}) EXPECT_TRUE(store.Write("Pyra3", "Left", v));
    EXPECT_TRUE(store.Write("Ann", "Games", "3") && store.Write("Ann", "Win", "1"));
    EXPECT_TRUE(store.Write("ann", "Games", "9"));  // letter case counts
  }
  EXPECT_EQ(Query(path, "SELECT sql FROM sqlite_master WHERE type = 'table'"),
            "CREATE TABLE store(\n  app     TEXT NOT NULL,\n  section TEXT NOT NULL,\n"
            "  key     TEXT NOT NULL,\n  value   TEXT NOT NULL,\n  PRIMARY KEY (app, section, key))");
  EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "delete");  // one self-contained file
  EXPECT_FALSE(fs::exists(path + "-journal") || fs::exists(path + "-wal"));

  SqliteSettingsStore store(path), other(path, "Other");
  for (const std::string& t : texts) EXPECT_EQ(store.Read(t, t), t) << t.substr(0, 20);
  EXPECT_EQ(store.Read("Pyra3", "Left"), "2");
  EXPECT_EQ(other.Read("Pyra3", "Left"), std::nullopt);
  EXPECT_TRUE(other.Write("Ann", "Games", "5"));
  EXPECT_TRUE(store.DeleteKey("Ann", "Win"));
  EXPECT_EQ(Query(path, "SELECT key FROM store WHERE section = 'Ann' AND app = 'Pyra3'"), "Games");
  EXPECT_TRUE(store.DeleteSection("Ann"));
  EXPECT_TRUE(store.DeleteKey("Nobody", "Games") && store.DeleteSection("Nobody"));
  EXPECT_EQ(Query(path, "SELECT * FROM store WHERE section IN ('Ann', 'ann', 'Pyra3') ORDER BY 1, 2, 3"),
            "Other|Ann|Games|5;Pyra3|Pyra3|Left|2;Pyra3|ann|Games|9");
  EXPECT_EQ(ReadStoreValue(store, "Pyra3", "Left", "") + ReadStoreValue(store, "ann", "Games", ""),
            "29");
}

TEST(SqliteSettingsStore, DamagedFilesAreNeitherReadNorWritten) {
  const struct {
    const char* name;
    std::function<void(const std::string& path)> make;
    bool damaged = true;
  } cases[] = {
      {"notes", [](auto& path) { testing::WriteFileBytes(path, std::string(9000, 'n')); }},
      {"header over garbage",
       [](auto& path) { testing::WriteFileBytes(path, std::string("SQLite format 3\0", 16) + std::string(8000, '\x5a')); }},
      {"cut in half", [](auto& path) { FillStore(path), fs::resize_file(path, fs::file_size(path) / 2 + 100); }},
      {"cut in its first page", [](auto& path) { FillStore(path), fs::resize_file(path, 1000); }},
      // Opens and reads, but fails the check: the header counts a free page there is none of.
      {"wrong free page count",
       [](auto& path) {
         FillStore(path);
         std::string bytes = FileBytes(path);
         bytes[39] = 1;
         testing::WriteFileBytes(path, bytes);
       }},
      {"no folder for it",
       [](auto& path) {
         fs::remove(fs::path(path).parent_path());
         testing::WriteFileBytes(fs::path(path).parent_path(), "a file where the folder goes");
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("Pyra3/store.sqlite3");
    fs::create_directory(dir.File("Pyra3"));
    c.make(path);
    const std::string before = FileBytes(path);
    {
      SqliteSettingsStore store(path);
      EXPECT_EQ(OneRun(store), NothingUsable);
      EXPECT_EQ(store.Damaged(), c.damaged);
    }
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_FALSE(fs::exists(path + "-journal"));
  }
}

// Another connection takes the store's exclusive lock and keeps it for ms or until released.
class HeldLock {
 public:
  HeldLock(const std::string& path, int ms)
      : thread_([this, path, ms] {
          sqlite3* db = nullptr;
          sqlite3_open(path.c_str(), &db);
          locked_ = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
          taken_.release();
          (void)letGo_.try_acquire_for(std::chrono::milliseconds(ms));
          sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
          sqlite3_close(db);
        }) {
    taken_.acquire();
  }
  ~HeldLock() {
    letGo_.release();
    thread_.join();
  }
  bool Locked() const { return locked_; }

 private:
  bool locked_ = false;
  std::binary_semaphore taken_{0}, letGo_{0};
  std::thread thread_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(SqliteSettingsStore, WaitsOutABriefLockButNotEveryReadOfALongOne) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  {
    SqliteSettingsStore store(path);
    HeldLock brief(path, 200);
    ASSERT_TRUE(brief.Locked());
    EXPECT_TRUE(WriteSetting(store, "Top", "7"));
  }
  const std::string before = FileBytes(path);
  SqliteSettingsStore store(path);
  {
    HeldLock held(path, 20000);
    ASSERT_TRUE(held.Locked());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OneRun(store), NothingUsable);
    EXPECT_LT(SecondsSince(start), 3 * SqliteSettingsStore::BusyTimeoutMs / 1000.0);
    EXPECT_FALSE(store.Damaged());
  }
  EXPECT_EQ(FileBytes(path), before);
  // Once the lock is gone the same store reads again, and waits again for a brief lock.
  EXPECT_EQ(ReadSetting(store, "Top", ""), "7");
  HeldLock brief(path, 200);
  ASSERT_TRUE(brief.Locked());
  EXPECT_TRUE(WriteSetting(store, "Width", "4080"));
  EXPECT_EQ(ReadSetting(store, "Width", ""), "4080");
}

// Runs body in a child process and returns what it returned.
std::string InChild(const std::function<std::string()>& body) {
  int out[2];
  if (pipe(out) != 0) return "no pipe";
  const pid_t pid = fork();
  if (pid == 0) {
    close(out[0]);
    const std::string report = body();
    _exit(write(out[1], report.data(), report.size()) < 0 ? 2 : 0);
  }
  close(out[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "child failed";
}

TEST(SqliteSettingsStore, AWriteProtectedStoreIsReadButNeverWritten) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  const std::string before = FileBytes(path);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir.Path(), fs::perms::all & ~fs::perms::owner_write & ~fs::perms::group_write &
                                  ~fs::perms::others_write);
  // Permission bits do not bind root: the run is made as an ordinary user.
  const std::string report = InChild([&]() -> std::string {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
      return "cannot drop root";
    }
    SqliteSettingsStore store(path);
    return OneRun(store) + " width after=" + ReadSetting(store, "Width", "");
  });
  EXPECT_EQ(report, "width=6000 format=3 B=Bob players=1 wrote=0 width after=6000");
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_FALSE(fs::exists(path + "-journal"));
}

TEST(SqliteSettingsStore, EveryWriteThatReturnedSurvivesSigkill) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  int reports[2];
  ASSERT_EQ(pipe(reports), 0);
  const pid_t writer = fork();
  if (writer == 0) {
    SqliteSettingsStore store(path);
    // New keys and rewrites of one key, as a run of the program makes them.
    for (int i = 0;; ++i) {
      const bool ok = i % 2 == 0 ? store.Write("Kill", std::to_string(i), "v")
                                 : store.Write("Kill", "last", std::to_string(i));
      if (ok && write(reports[1], &i, sizeof i) != sizeof i) _exit(2);
    }
  }
  close(reports[1]);
  int last = -1;  // the last write that returned
  for (int n = 0; n < 30 && read(reports[0], &last, sizeof last) == sizeof last; ++n) {
  }
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  for (int i; read(reports[0], &i, sizeof i) == sizeof i;) last = i;
  close(reports[0]);
  ASSERT_GE(last, 29);

  EXPECT_EQ(Query(path, "PRAGMA integrity_check"), "ok");
  SqliteSettingsStore store(path);
  for (int i = 0; i <= last; i += 2) EXPECT_EQ(store.Read("Kill", std::to_string(i)), "v") << i;
  EXPECT_GE(std::stoi(store.Read("Kill", "last").value_or("-1")), last % 2 == 1 ? last : last - 1);
  EXPECT_TRUE(store.Write("Kill", "after", "1"));
}

}  // namespace
}  // namespace pyra
