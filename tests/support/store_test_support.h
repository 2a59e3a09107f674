// A store held in memory, for tests that need a store but not a file.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "store/settings_store.h"

namespace pyra::testing {

struct MemoryStore final : SettingsStore {
  std::optional<std::string> Read(const std::string& section, const std::string& key) override {
    const auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  bool Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    return !failWrites && (values[{section, key}] = value, true);
  }
  bool DeleteKey(const std::string& section, const std::string& key) override {
    return !failWrites && (values.erase({section, key}), true);
  }
  bool DeleteSection(const std::string& section) override {
    return !failWrites &&
           (std::erase_if(values, [&](auto& v) { return v.first.first == section; }), true);
  }
  // The stored value, or "-" when there is none.
  std::string Get(const std::string& section, const std::string& key) const {
    const auto it = values.find({section, key});
    return it == values.end() ? "-" : it->second;
  }
  std::map<std::pair<std::string, std::string>, std::string> values;
  bool failWrites = false;  // every change fails and changes nothing
};

}  // namespace pyra::testing
