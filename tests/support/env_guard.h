// Sets or clears an environment variable for one test and puts the old value back.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace pyra::testing {

class EnvGuard {
 public:
  EnvGuard(const char* name, const char* value) : name_(name) {  // value nullptr clears it
    if (const char* old = getenv(name)) old_ = old;
    Set(value);
  }
  ~EnvGuard() { Set(old_ ? old_->c_str() : nullptr); }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

  void Set(const char* value) { value != nullptr ? setenv(name_, value, 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace pyra::testing
