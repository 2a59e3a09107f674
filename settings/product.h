// The product's name, which titles its message boxes and names its store, and the one way a
// folder and a file name are joined.
#pragma once

#include <string>

namespace pyra {

inline constexpr const char* ProductName = "Pyra3";

// "" when the folder already ends in the path separator, otherwise the separator; joining a
// folder and a file name through it leaves exactly one separator between them.
inline std::string FolderSeparator(const std::string& folder) {
  return !folder.empty() && folder.back() == '/' ? "" : "/";
}

inline std::string JoinPath(const std::string& folder, const std::string& file) {
  return folder + FolderSeparator(folder) + file;
}

}  // namespace pyra
