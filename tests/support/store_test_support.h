// A store held in memory, for tests that need a store but not a file.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "store/settings_store.h"

namespace pyra::testing {

struct MemoryStore final : SettingsStore {
  using Text = const std::string&;
  std::optional<std::string> Read(Text section, Text key) override {
    const auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  bool Write(Text section, Text key, Text value) override {
    return !failWrites && (values[{section, key}] = value, true);
  }
  bool DeleteKey(Text section, Text key) override {
    return !failWrites && (values.erase({section, key}), true);
  }
  bool DeleteSection(Text section) override {
    return !failWrites &&
           (std::erase_if(values, [&](auto& v) { return v.first.first == section; }), true);
  }
  std::map<std::pair<std::string, std::string>, std::string> values;
  bool failWrites = false;  // every change fails and changes nothing
};

}  // namespace pyra::testing
