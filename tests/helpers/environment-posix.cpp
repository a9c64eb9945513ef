#include <stdlib.h>
#include <unistd.h>  // environ

#include "helpers/environment.hpp"

namespace quorvane::testing {

ScopedVariable::ScopedVariable(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), old_(own_variable(name_)) {
  if (value) {
    ::setenv(name_.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

ScopedVariable::~ScopedVariable() {
  if (old_) {
    ::setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

std::optional<std::string> own_variable(const std::string& name) {
  const char* value = ::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::vector<std::string> own_environment() {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) entries.emplace_back(*entry);
  return entries;
}

std::filesystem::path running_program() {
  return std::filesystem::read_symlink("/proc/self/exe");
}

}  // namespace quorvane::testing
