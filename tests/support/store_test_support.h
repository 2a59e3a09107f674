// A store held in memory, for tests that need a store but not a file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/settings_store.h"

namespace pyra::testing {

struct MemoryStore final : SettingsStore {
  using Text = const std::string&;
  std::optional<std::string> Read(Text section, Text key) override {
    if (failReads || key == failKey) return ++readFailures, std::nullopt;
    const auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  bool Write(Text section, Text key, Text value) override {
    return !failWrites && (values[{section, key}] = value, true);
  }
  bool WriteAll(const std::vector<StoreWrite>& writes) override {
    ++transactions;
    for (const StoreWrite& w : writes) Write(w.section, w.key, w.value);
    return !failWrites;
  }
  bool DeleteKey(Text section, Text key) override {
    return !failWrites && (values.erase({section, key}), true);
  }
  bool DeleteSection(Text section) override {
    return !failWrites &&
           (std::erase_if(values, [&](auto& v) { return v.first.first == section; }), true);
  }
  int ReadFailures() const override { return readFailures; }
  bool Locked() override { return locked > 0 && locked--; }
  std::string Location() const override { return "/home/user/store"; }
  std::string LastError() const override { return "disk full"; }
  std::map<std::pair<std::string, std::string>, std::string> values;
  bool failWrites = false;  // every change fails and changes nothing
  bool failReads = false;   // every read fails
  std::string failKey;      // reads of this key fail
  int readFailures = 0, transactions = 0;
  int locked = 0;  // the next calls of Locked() that find the store locked
};

// The stored keys and values as key=value, by section and key.
inline std::string Saved(const MemoryStore& store) {
  std::string s;
  for (const auto& [at, value] : store.values) s += " " + at.second + "=" + value;
  return s;
}

}  // namespace pyra::testing
