// Values as the program reads them, and the SQLite store as users' machines leave it.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "env_guard.h"
#include "settings/product.h"
#include "settings_program.h"
#include "store/number_reading.h"
#include "store/store_path.h"
#include "store/store_values.h"
#include "store_test_support.h"
#include "temp_dir.h"

namespace pyra {
namespace {

TEST(StoreValues, NumbersTextsAndThePathAsTheProgramReadsThem) {
  // Blanks, one sign, the longest number, halves to even.
  // clang-format off
  const std::pair<const char*, const char*> numbers[] = {
      {"abc", "0"}, {"  +7x", "7"}, {"\t\n-42", "-42"}, {"--1", "0"}, {".", "0"}, {"12 34", "12"},
      {"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {"-3.5", "-4"}, {".51", "1"}, {"5.", "5"}, {"5.e1", "50"},
      {"-.6", "-1"}, {"2.4999", "2"}, {"1E3", "1000"}, {"1e", "1"}, {"2e-", "2"}, {"1e+2x", "100"},
      {"25e-1", "2"}, {"1e-999", "0"}, {"32767.4", "32767"}, {"32767.5", "-"}, {"1e999", "-"},
      {"-32768.5", "-32768"}, {"-32768.6", "-"}, {"-1e999", "-"}};
  // clang-format on
  for (const auto& [text, expected] : numbers) {
    const std::optional<int16_t> read = ReadInteger16(text);
    EXPECT_EQ(read ? std::to_string(*read) : "-", expected) << '"' << text << '"';
  }
  // Cut to 255 characters, then trailing spaces dropped, then the default if nothing is left.
  std::string names;
  for (int i = 0; i < 255; ++i) names += "名";
  testing::MemoryStore store;
  store.values = {{{"Pyra3", "A"}, names + "b"}, {{"Pyra3", "B"}, " B "}, {{"Pyra3", "C"}, "  "}};
  EXPECT_EQ(
      ReadSetting(store, "A", "d") + ReadSetting(store, "B", "d") + ReadSetting(store, "C", "d"),
      names + " Bd");
  for (std::string folder : {"/p", "/p/"}) EXPECT_EQ(folder + FolderSeparator(folder), "/p/");
  // The store's path follows XDG_CONFIG_HOME, else HOME, else the account's home.
  testing::EnvGuard home("HOME", "/h"), xdg("XDG_CONFIG_HOME", "/xdg//");
  EXPECT_EQ(DefaultStorePath(), "/xdg/Pyra3/store.sqlite3");
  xdg.Set("xdg");  // not a full path
  EXPECT_EQ(DefaultStorePath(), "/h/.config/Pyra3/store.sqlite3");
  xdg.Set(""), home.Set("");
  EXPECT_EQ(DefaultStorePath(),
            getpwuid(getuid())->pw_dir + std::string("/.config/Pyra3/store.sqlite3"));
}

// The first column of a query's rows, on a connection of its own, each followed by ';'.
std::string Query(const std::string& path, const std::string& sql) {
  std::string rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  auto add = [](void* out, int, char** values, char**) {
    *static_cast<std::string*>(out) += values[0] + std::string(";");
    return 0;
  };
  sqlite3_exec(db, sql.c_str(), add, &rows, nullptr);
  sqlite3_close(db);
  return rows;
}

TEST(SqliteSettingsStore, KeepsAnyTextInItsOwnRowOfTheDocumentedTable) {
  testing::TempDir dir;
  const std::string path = dir.File("a/Pyra3/store.sqlite3");  // the folders are made
  const std::string odd = "名前'); DROP TABLE store; --";
  SqliteSettingsStore fresh(dir.File("new.sqlite3"));  // no table yet: missing, not failed
  EXPECT_EQ((fresh.Read("Pyra3", "Width"), fresh.ReadFailures()), 0);
  EXPECT_TRUE(SqliteSettingsStore(path).Write(odd, odd, odd));
  int stillOpen = 0;  // a closed store lets go of its file
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;
    stillOpen += std::filesystem::read_symlink(fd, gone) == path;
  }
  EXPECT_EQ(stillOpen, 0);
  EXPECT_EQ(Query(path, "SELECT sql FROM sqlite_master WHERE type = 'table'"),
            "CREATE TABLE store(\n  app     TEXT NOT NULL,\n  section TEXT NOT NULL,\n  key     "
            "TEXT NOT NULL,\n  value   TEXT NOT NULL,\n  PRIMARY KEY (app, section, key));");
  EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "delete;");  // one self-contained file
  SqliteSettingsStore store(path);
  EXPECT_EQ(store.Read(odd, odd).value_or("-") + store.Read("Ann", "Win").value_or("-"), odd + "-");
  for (const char* v : {"1", "3"})
    EXPECT_EQ(std::tuple(store.Write("Ann", "Games", v), store.Write("Ann", "Win", v)),
              std::tuple(true, true))
        << v;
  EXPECT_TRUE(store.Write("ann", "Games", "9"));  // letter case counts
  const std::string ann =
      "SELECT app || section || key || value FROM store WHERE section LIKE 'ann' ORDER BY 1";
  EXPECT_EQ(std::tuple(store.DeleteKey("Ann", "Win"), store.DeleteKey("Nobody", "Games")),
            std::tuple(true, true));
  EXPECT_EQ(Query(path, ann), "Pyra3AnnGames3;Pyra3annGames9;");
  EXPECT_EQ(std::tuple(store.DeleteSection("Ann"), store.DeleteSection("Nobody")),
            std::tuple(true, true));
  EXPECT_EQ(Query(path, ann), "Pyra3annGames9;");
}

void FillStore(const std::string& path) {  // as runs leave it: a width, a record over several pages
  SqliteSettingsStore store(path);
  store.Write("Pyra3", "Width", "6000"), store.Write("Ann", "Notes", std::string(20000, 'p'));
}

// The width read, then whether a write, a key deletion and a section deletion went through.
std::string Through(SqliteSettingsStore& store) {
  const std::string width = store.Read("Pyra3", "Width").value_or("-");
  const bool wrote = store.Write("Pyra3", "Top", "1"), key = store.DeleteKey("Pyra3", "Width"),
             section = store.DeleteSection("Ann");
  return width + " " + std::to_string(wrote) + std::to_string(key) + std::to_string(section);
}

// Whether the file still holds these bytes and no journal was left beside it.
bool Untouched(const std::string& path, const std::string& bytes) {
  return testing::FileBytes(path) == bytes && !std::filesystem::exists(path + "-journal");
}

TEST(SqliteSettingsStore, DamagedOrWriteProtectedFilesAreNeverWritten) {
  testing::TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  const std::string filled = testing::FileBytes(path);
  void (*const damage[])(std::string&) = {
      [](std::string& b) { b = std::string(9000, 'n'); },  // not a database at all
      [](std::string& b) { b = b.substr(0, 16) + std::string(8000, 'Z'); },
      [](std::string& b) { b.resize(b.size() / 2); }, [](std::string& b) { b.resize(1000); },
      [](std::string& b) { b[39] = 1; }};  // a free page too many: reads, fails the check
  for (const auto& make : damage) {
    std::string bytes = filled;
    make(bytes);
    testing::WriteFileBytes(path, bytes);
    SqliteSettingsStore store(path);
    const std::string through = Through(store);
    EXPECT_EQ(std::tuple(through, store.Damaged(), Untouched(path, bytes)),
              std::tuple("- 000", true, true))
        << bytes.size();
  }
  testing::WriteFileBytes(dir.File("Pyra3"), "a file where the folder goes");
  SqliteSettingsStore nowhere(dir.File("Pyra3/store.sqlite3"));
  EXPECT_EQ(Through(nowhere), "- 000");
  // A write-protected store is read, by an ordinary user: permission bits do not bind root.
  testing::WriteFileBytes(path, filled);
  chmod(path.c_str(), 0444), chmod(dir.Path().c_str(), 0511);
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
    SqliteSettingsStore store(path);
    _exit(geteuid() == 0 && !dropped ? 3 : Through(store) == "6000 000" ? 0 : 4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(std::tuple(status, Untouched(path, filled)), std::tuple(0, true))
      << "3: cannot drop root; 4: not read, or written";
}

TEST(SqliteSettingsStore, WaitsOutABriefLockButNotEveryReadOfALongOne) {
  testing::TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  FillStore(path);
  sqlite3* other = nullptr;  // another program's connection, which takes the write lock
  sqlite3_open(path.c_str(), &other);
  auto lock = [other] { return sqlite3_exec(other, "BEGIN EXCLUSIVE", 0, 0, 0) == SQLITE_OK; };
  auto unlockAfter = [other](int ms) {
    return std::jthread([=] { usleep(ms * 1000), sqlite3_exec(other, "COMMIT", 0, 0, 0); });
  };
  SqliteSettingsStore fresh(path), store(path);
  ASSERT_TRUE(lock());
  EXPECT_TRUE((unlockAfter(200), fresh.Write("Pyra3", "Width", "7")));
  const std::string before = testing::FileBytes(path);
  ASSERT_TRUE(lock());
  EXPECT_TRUE(fresh.Locked()) << "another program holds the lock";
  EXPECT_EQ((fresh.Read("Pyra3", "Width"), fresh.ReadFailures()), 1) << "a read the lock kept out";
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Through(store), "- 000");
  const auto waited = std::chrono::steady_clock::now() - start;  // one wait, not one a read
  EXPECT_LT(waited, std::chrono::milliseconds(3 * SqliteSettingsStore::BusyTimeoutMs));
  EXPECT_TRUE(store.WriteAll({})) << "nothing to save, so nothing failed";
  unlockAfter(0).join();
  EXPECT_FALSE(store.Locked());
  EXPECT_TRUE(Untouched(path, before)) << "the file changed";
  // Once the lock is gone the same store reads again, and waits again for a brief lock.
  EXPECT_EQ(store.Read("Pyra3", "Width"), "7");
  ASSERT_TRUE(lock());
  EXPECT_EQ((unlockAfter(200), Through(store)), "7 111");
  sqlite3_close(other);
}

TEST(SqliteSettingsStore, AStoreLockedAtStartUpIsWaitedForOrNeverWrittenOver) {
  testing::TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  for (const auto& [key, value] :
       {std::pair{"FormOfGame", "3"}, {"OpeningDemo", "0"}, {"Level", "1"}})
    SqliteSettingsStore(path).Write("Pyra3", key, value);
  const std::string keys = "SELECT key || '=' || value FROM store ORDER BY key";
  sqlite3* other = nullptr;  // another program's connection, holding the file
  sqlite3_open(path.c_str(), &other);
  for (const bool brief : {false, true}) {
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", 0, 0, 0), SQLITE_OK);
    std::jthread unlock;
    if (brief)
      unlock = std::jthread([=] { usleep(2'000'000), sqlite3_exec(other, "COMMIT", 0, 0, 0); });
    SqliteSettingsStore store(path);
    Program p("", true, true, &store);
    EXPECT_TRUE(p.log.starts_with("shown, busy, idle, ")) << p.log;
    EXPECT_EQ(p.session.LoadedWholly(), brief);
    // The player's settings, read once the lock was gone; else the first-run ones.
    const auto shown = std::tuple(p.settings.Series().Number(), p.settings.On(Switch::OpeningDemo),
                                  p.settings.level == Level::Strongest);
    EXPECT_EQ(shown, brief ? std::tuple(3, false, true) : std::tuple(0, true, false));
    if (!brief) sqlite3_exec(other, "COMMIT", 0, 0, 0);
    unlock = {};
    p.session.SaveWindowPositions(), p.session.SaveOptions();
    const std::string saved = Query(path, keys);
    EXPECT_EQ(brief ? saved.substr(0, 15) : saved,  // a whole save, or nothing written over
              brief ? "BitmapStretch=1" : "FormOfGame=3;Level=1;OpeningDemo=0;");
  }
  sqlite3_close(other);
}

TEST(SqliteSettingsStore, EveryWriteThatReturnedSurvivesSigkill) {
  testing::TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  int reports[2];
  ASSERT_EQ(pipe(reports), 0);
  const pid_t writer = fork();
  if (writer == 0) {
    SqliteSettingsStore store(path);  // a stream of writes, each reported once it returned
    for (int i = 0; store.Write("Kill", std::to_string(i), "v"); ++i)
      if (write(reports[1], &i, sizeof i) != sizeof i) break;
    _exit(2);
  }
  close(reports[1]);
  int last = -1;  // the last write that returned
  while (last < 29 && read(reports[0], &last, sizeof last) == sizeof last) continue;
  kill(writer, SIGKILL), waitpid(writer, nullptr, 0);
  for (int i; read(reports[0], &i, sizeof i) == sizeof i;) last = i;
  ASSERT_GE(last, 29);
  EXPECT_EQ(Query(path, "PRAGMA integrity_check"), "ok;");
  SqliteSettingsStore store(path);
  for (int i = 0; i <= last; ++i) EXPECT_EQ(store.Read("Kill", std::to_string(i)), "v") << i;
}

}  // namespace
}  // namespace pyra
