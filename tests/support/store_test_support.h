// Shared helpers of the store tests: temporary folders, a store that logs what it is asked,
// a message-box recorder and file utilities.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "match/ports.h"
#include "store/settings_store.h"

namespace pyra::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pyra-store-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    // Undo what a test may have done to make the folder read-only.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// An in-memory store that also logs every call, in order.
class LoggingStore final : public SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& section, const std::string& key) override {
    reads.push_back(section + "/" + key);
    auto it = values.find({section, key});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    writes.push_back(section + "/" + key + "=" + value);
    if (failWrites) return false;
    values[{section, key}] = value;
    return true;
  }
  bool DeleteKey(const std::string& section, const std::string& key) override {
    writes.push_back("delete " + section + "/" + key);
    if (failWrites) return false;
    values.erase({section, key});
    return true;
  }
  bool DeleteSection(const std::string& section) override {
    writes.push_back("delete section " + section);
    if (failWrites) return false;
    for (auto it = values.begin(); it != values.end();) {
      it = it->first.first == section ? values.erase(it) : std::next(it);
    }
    return true;
  }

  // The value under the main section, or "<none>".
  std::string Main(const std::string& key) const { return Value("Pyra3", key); }
  std::string Value(const std::string& section, const std::string& key) const {
    auto it = values.find({section, key});
    return it == values.end() ? "<none>" : it->second;
  }
  bool HasSection(const std::string& section) const {
    for (const auto& [name, value] : values) {
      if (name.first == section) return true;
    }
    return false;
  }

  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  bool failWrites = false;
};

struct ShownBox {
  std::string text;
  std::string title;
  MsgButtons buttons;
  MsgIcon icon;
};

class RecordingDialogs final : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return MsgAnswer::Ok;
  }
  std::vector<ShownBox> shown;
};

}  // namespace pyra::test
