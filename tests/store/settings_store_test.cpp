#include "store/settings_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/store_path.h"
#include "store/store_values.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using test::TempDir;

// The rows of a query on a separate connection, one text per row (columns joined by '|').
std::vector<std::string> Query(const std::string& path, const std::string& sql) {
  std::vector<std::string> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
      while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
          row += (c > 0 ? "|" : "") + std::string(text != nullptr ? text : "<null>");
        }
        rows.push_back(row);
      }
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return rows;
}

TEST(SqliteSettingsStore, TableIsExactlyTheDocumentedOne) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  {
    SqliteSettingsStore store(path);
    ASSERT_TRUE(store.Write("Pyra3", "Width", "4080"));
  }
  EXPECT_EQ(Query(path, "SELECT sql FROM sqlite_master WHERE type = 'table'"),
            std::vector<std::string>{"CREATE TABLE store(\n"
                                     "  app     TEXT NOT NULL,\n"
                                     "  section TEXT NOT NULL,\n"
                                     "  key     TEXT NOT NULL,\n"
                                     "  value   TEXT NOT NULL,\n"
                                     "  PRIMARY KEY (app, section, key))"});
  EXPECT_EQ(Query(path, "SELECT app, section, key, value FROM store"),
            std::vector<std::string>{"Pyra3|Pyra3|Width|4080"});
  // A rollback journal: the file is complete in itself, with no -wal beside it.
  EXPECT_EQ(Query(path, "PRAGMA journal_mode"), std::vector<std::string>{"delete"});
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
}

TEST(SqliteSettingsStore, WriteReplacesDeleteRemovesAndValuesOutliveTheConnection) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  {
    SqliteSettingsStore store(path);
    EXPECT_EQ(store.Read("Pyra3", "Left"), std::nullopt);
    EXPECT_TRUE(store.Write("Pyra3", "Left", "1"));
    EXPECT_TRUE(store.Write("Pyra3", "Left", "2"));
    EXPECT_TRUE(store.Write("Ann", "Games", "3"));
    EXPECT_TRUE(store.Write("Ann", "Win", "1"));
    EXPECT_TRUE(store.Write("ann", "Games", "9"));  // letter case counts
    EXPECT_TRUE(store.Write("Bob", "Games", "5"));
  }
  SqliteSettingsStore store(path);
  EXPECT_EQ(store.Read("Pyra3", "Left"), "2");
  EXPECT_EQ(store.Read("Ann", "Games"), "3");
  EXPECT_EQ(store.Read("ann", "Games"), "9");
  EXPECT_EQ(store.Read("Ann", "games"), std::nullopt);

  EXPECT_TRUE(store.DeleteKey("Ann", "Win"));
  EXPECT_EQ(store.Read("Ann", "Win"), std::nullopt);
  EXPECT_EQ(store.Read("Ann", "Games"), "3");
  EXPECT_TRUE(store.DeleteSection("Ann"));
  EXPECT_EQ(store.Read("Ann", "Games"), std::nullopt);
  EXPECT_EQ(store.Read("ann", "Games"), "9");
  EXPECT_EQ(store.Read("Bob", "Games"), "5");
  // Removing what is not there does nothing and is no failure.
  EXPECT_TRUE(store.DeleteKey("Nobody", "Games"));
  EXPECT_TRUE(store.DeleteSection("Nobody"));
  EXPECT_EQ(Query(path, "SELECT count(*) FROM store"), std::vector<std::string>{"3"});
}

TEST(SqliteSettingsStore, OnlyItsOwnApplicationIsSeen) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  SqliteSettingsStore other(path, "Other");
  ASSERT_TRUE(other.Write("Pyra3", "Width", "1"));
  SqliteSettingsStore store(path);
  EXPECT_EQ(store.Read("Pyra3", "Width"), std::nullopt);
  EXPECT_TRUE(store.DeleteSection("Pyra3"));
  EXPECT_EQ(other.Read("Pyra3", "Width"), "1");
}

TEST(SqliteSettingsStore, CreatesItsFolder) {
  TempDir dir;
  const std::string path = dir.File("a/b/Pyra3/store.sqlite3");
  SqliteSettingsStore store(path);
  EXPECT_TRUE(store.Write("Pyra3", "Top", "0"));
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

TEST(SqliteSettingsStore, AnyTextRoundTripsExactly) {
  TempDir dir;
  const std::string path = dir.File("store.sqlite3");
  const std::string texts[] = {
      "プレーヤー名",
      "O'Brien \"the\" `best`",
      "C:\\Games\\Pyra3\\",
      "/home/user/pics/",
      "line one\nline two\r\nthree",
      "x'); DROP TABLE store; --",
      "Robert\"); DELETE FROM store WHERE (\"1\"=\"1",
      "%_*?[]",
      "  both ends  ",
      std::string("nul\0inside", 10),
      std::string(10000, 'w'),
      "😀 emoji and 漢字",
  };
  {
    SqliteSettingsStore store(path);
    for (const std::string& t : texts) {
      // The same text as section, key and value: nothing escapes its row.
      ASSERT_TRUE(store.Write(t, t, t)) << t.substr(0, 40);
    }
  }
  SqliteSettingsStore store(path);
  for (const std::string& t : texts) EXPECT_EQ(store.Read(t, t), t) << t.substr(0, 40);
  // As the program reads them: cut to 255 characters, trailing spaces dropped.
  EXPECT_EQ(ReadStoreValue(store, texts[10], texts[10], "d"), std::string(255, 'w'));
  EXPECT_EQ(ReadStoreValue(store, texts[8], texts[8], "d"), "  both ends");
  EXPECT_EQ(ReadStoreValue(store, texts[0], texts[0], "d"), "プレーヤー名");
  EXPECT_EQ(ReadStoreValue(store, texts[4], texts[4], "d"), "line one\nline two\r\nthree");
  EXPECT_EQ(Query(path, "SELECT count(*) FROM store"),
            std::vector<std::string>{std::to_string(std::size(texts))});
  EXPECT_TRUE(store.DeleteSection("x'); DROP TABLE store; --"));
  EXPECT_EQ(store.Read("/home/user/pics/", "/home/user/pics/"), "/home/user/pics/");
}

// Sets or, with nullptr, unsets an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
  void Set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(StorePath, FollowsXdgConfigHomeElseHome) {
  const struct {
    const char* xdg;  // nullptr: unset
    const char* expected;
  } cases[] = {
      {"/xdg/config", "/xdg/config/Pyra3/store.sqlite3"},
      {"/xdg/config/", "/xdg/config/Pyra3/store.sqlite3"},
      {nullptr, "/home/tester/.config/Pyra3/store.sqlite3"},
      {"", "/home/tester/.config/Pyra3/store.sqlite3"},
      {"relative/config", "/home/tester/.config/Pyra3/store.sqlite3"},
  };
  ScopedEnv home("HOME", "/home/tester"), xdg("XDG_CONFIG_HOME", nullptr);
  for (const auto& c : cases) {
    xdg.Set(c.xdg);
    EXPECT_EQ(DefaultStorePath(), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

}  // namespace
}  // namespace pyra
