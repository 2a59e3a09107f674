// The store under conditions a user's machine produces: a file that is not a database, a
// damaged or locked file, a write-protected one, and a program killed in mid-write.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "fake_windows.h"
#include "store/settings_store.h"
#include "store/store_values.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using test::FileBytes;
using test::ProgramRun;
using test::TempDir;

// A store as a few runs leave it: settings off their defaults and three players. The store
// makes the table; the rows go in in one transaction, which is quicker than a commit each.
void FillStore(const std::string& path) {
  {
    SqliteSettingsStore store(path);
    ASSERT_TRUE(WriteSetting(store, "Width", "6000"));
  }
  std::string sql = "BEGIN;";
  auto row = [&sql](const std::string& section, const std::string& key, const std::string& value) {
    sql += "INSERT OR REPLACE INTO store VALUES('Pyra3','" + section + "','" + key + "','" + value +
           "');";
  };
  const char* settings[][2] = {{"Height", "5000"},    {"Top", "100"},       {"Left", "200"},
                               {"FormOfGame", "3"},   {"Level", "1"},       {"PlayerB", "0"},
                               {"Music", "0"},        {"OpeningDemo", "0"}, {"PlayerNameA", "Ann"},
                               {"PlayerNameB", "Bob"}};
  for (const auto& [key, value] : settings) row("Pyra3", key, value);
  const char* players[] = {"Ann", "Bob", "Cid"};
  for (int i = 0; i < 3; ++i) {
    row("Pyra3", "Player0" + std::to_string(i), players[i]);
    row(players[i], "Games", "10");
    row(players[i], "Win", std::to_string(i + 1));
    row(players[i], "Lost", "1");
  }
  // Enough rows for the table to span several pages.
  for (int i = 0; i < 200; ++i) row("Padding", std::to_string(i), std::string(100, 'p'));
  sql += "COMMIT;";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_GT(std::filesystem::file_size(path), 4u * 4096u);
}

// Everything the program does with its store in one run, on a store that cannot be written:
// the load gives the first-run settings, every write reports failure, nothing crashes.
void RunAgainstUnwritableStore(SqliteSettingsStore& store) {
  ProgramRun run(store);
  run.session.LoadSettings();
  test::ExpectFirstRun(run);
  EXPECT_FALSE(store.Write("Pyra3", "Width", "1"));
  EXPECT_FALSE(store.DeleteKey("Pyra3", "Width"));
  EXPECT_FALSE(store.DeleteSection("Ann"));
  run.records.RecordResult(0);
  EXPECT_EQ(run.records.PlayerCount, 0);
  run.records.ShowRanking();
  EXPECT_FALSE(run.session.SaveWindowPositions());
  EXPECT_FALSE(run.session.SaveOptions());
}

TEST(StoreReliability, DamagedFilesAreNeitherTrustedNorTouched) {
  const struct {
    const char* name;
    std::function<void(const std::string& path)> make;
  } cases[] = {
      {"a text file",
       [](const std::string& path) {
         std::string text;
         for (int i = 0; i < 200; ++i) text += "my notes, line " + std::to_string(i) + "\n";
         test::WriteFileBytes(path, text);
       }},
      {"a database header over garbage",
       [](const std::string& path) {
         std::string bytes("SQLite format 3\0", 16);
         for (int i = 0; i < 8000; ++i) bytes += static_cast<char>((i * 7919) % 251);
         test::WriteFileBytes(path, bytes);
       }},
      {"a truncated store",
       [](const std::string& path) {
         FillStore(path);
         std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2 + 100);
       }},
      {"a store cut within its first page",
       [](const std::string& path) {
         FillStore(path);
         std::filesystem::resize_file(path, 1000);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("store.sqlite3");
    c.make(path);
    const std::string before = FileBytes(path);
    ASSERT_FALSE(before.empty());
    {
      SqliteSettingsStore store(path);
      RunAgainstUnwritableStore(store);
      EXPECT_TRUE(store.Damaged());
    }
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
  }
}

TEST(StoreReliability, AFolderThatCannotBeCreated) {
  TempDir dir;
  test::WriteFileBytes(dir.File("config"), "a file where the folder should be");
  SqliteSettingsStore store(dir.File("config/Pyra3/store.sqlite3"));
  RunAgainstUnwritableStore(store);
  EXPECT_EQ(FileBytes(dir.File("config")), "a file where the folder should be");
}

// Forks; the child runs body and exits; returns what the child wrote to its pipe.
std::string InChild(const std::function<std::string()>& body, int* status = nullptr) {
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  const pid_t pid = fork();
  if (pid == 0) {
    close(out[0]);
    const std::string report = body();
    if (write(out[1], report.data(), report.size()) < 0) _exit(2);
    _exit(0);
  }
  close(out[1]);
  std::string report;
  char buffer[256];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
  close(out[0]);
  int childStatus = 0;
  waitpid(pid, &childStatus, 0);
  if (status != nullptr) *status = childStatus;
  return report;
}

TEST(StoreReliability, ALockedStoreDoesNotHoldUpTheStartOrLoseTheFile) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  const std::string before = FileBytes(path);

  // Another program holds the file exclusively until told to let go.
  int locked[2];
  int release[2];
  ASSERT_EQ(pipe(locked), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    close(locked[0]);
    close(release[1]);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const char ok = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (write(locked[1], &ok, 1) < 0) _exit(2);
    char go;
    if (read(release[0], &go, 1) < 0) _exit(2);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    _exit(0);
  }
  close(locked[1]);
  close(release[0]);
  char ok = 0;
  ASSERT_EQ(read(locked[0], &ok, 1), 1);
  ASSERT_TRUE(ok);

  SqliteSettingsStore store(path);
  const auto start = std::chrono::steady_clock::now();
  RunAgainstUnwritableStore(store);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // One wait for the lock, not one per read.
  EXPECT_LT(seconds, 3 * SqliteSettingsStore::BusyTimeoutMs / 1000.0);
  EXPECT_FALSE(store.Damaged());

  ASSERT_EQ(write(release[1], "x", 1), 1);
  close(release[1]);
  int status = 0;
  waitpid(holder, &status, 0);
  close(locked[0]);
  EXPECT_EQ(FileBytes(path), before);

  // Once the lock is gone the same store reads and writes again.
  EXPECT_EQ(ReadSetting(store, "PlayerNameA", ""), "Ann");
  EXPECT_TRUE(WriteSetting(store, "Width", "4080"));
  EXPECT_EQ(ReadSetting(store, "Width", ""), "4080");
}

TEST(StoreReliability, AWriteProtectedStoreIsReadButNeverWritten) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  const std::string before = FileBytes(path);
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);

  // Permission bits do not bind root: the check runs as an ordinary user then.
  int status = 0;
  const std::string report = InChild(
      [&]() -> std::string {
        if (geteuid() == 0) {
          if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) {
            return "cannot drop root";
          }
        }
        if (access(path.c_str(), W_OK) == 0) return "file still writable";
        SqliteSettingsStore store(path);
        ProgramRun run(store);
        run.session.LoadSettings();
        std::string r;
        r += "width=" + test::Twips(run.windows.main.width);
        r += " format=" + std::to_string(run.options.SelectedSeriesFormat());
        r += " nameB=" + run.options.Combo1[1].text;
        r += " players=" + std::to_string(run.records.PlayerCount);
        r += " write=" + std::to_string(store.Write("Pyra3", "Width", "1"));
        r += " delete=" + std::to_string(store.DeleteSection("Ann"));
        run.records.RecordResult(0);
        r += " save=" + std::to_string(run.session.SaveWindowPositions()) +
             std::to_string(run.session.SaveOptions());
        r += " width after=" + ReadSetting(store, "Width", "");
        return r;
      },
      &status);
  if (report == "cannot drop root") GTEST_SKIP() << "no other user to run the check as";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(report,
            "width=6000 format=3 nameB=Bob players=3 write=0 delete=0 save=00 width after=6000");
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_FALSE(fs::exists(path + "-journal"));
}

TEST(StoreReliability, EveryReturnedWriteSurvivesSigkill) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  int reports[2];
  ASSERT_EQ(pipe(reports), 0);
  const pid_t writer = fork();
  if (writer == 0) {
    close(reports[0]);
    SqliteSettingsStore store(path);
    for (int i = 0;; ++i) {
      // Alternate new keys and rewrites of one key, as a run of the program does.
      const bool ok = i % 2 == 0
                          ? store.Write("Kill", "k" + std::to_string(i), "v" + std::to_string(i))
                          : store.Write("Kill", "last", std::to_string(i));
      if (ok && write(reports[1], &i, sizeof i) != sizeof i) _exit(2);
    }
  }
  close(reports[1]);
  std::set<int> reported;
  int i;
  while (reported.size() < 60 && read(reports[0], &i, sizeof i) == sizeof i) reported.insert(i);
  kill(writer, SIGKILL);
  int status = 0;
  waitpid(writer, &status, 0);
  while (read(reports[0], &i, sizeof i) == sizeof i) reported.insert(i);
  close(reports[0]);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  ASSERT_GE(reported.size(), 60u);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  std::string verdict;
  sqlite3_exec(
      db, "PRAGMA integrity_check",
      [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "";
        return 0;
      },
      &verdict, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(verdict, "ok");

  SqliteSettingsStore store(path);
  int lastRewrite = -1;
  for (int n : reported) {
    if (n % 2 == 0) {
      EXPECT_EQ(store.Read("Kill", "k" + std::to_string(n)), "v" + std::to_string(n)) << n;
    } else {
      lastRewrite = n;
    }
  }
  // The rewritten key holds the last reported value or one written after it.
  const int last = std::stoi(store.Read("Kill", "last").value_or("-1"));
  EXPECT_GE(last, lastRewrite);
  EXPECT_TRUE(store.Write("Kill", "after", "1"));
}

}  // namespace
}  // namespace pyra
