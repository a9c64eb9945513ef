#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::testing {

// Sets (or, given nothing, removes) a variable of this process for one scope, and puts back what
// was there before.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::optional<std::string>& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// This process's variable `name`, if set.
std::optional<std::string> own_variable(const std::string& name);

// This process's environment as "NAME=value" entries (UTF-8 on Windows), in the system's order.
std::vector<std::string> own_environment();

// The program file of the running test program, to start it again as a child.
std::filesystem::path running_program();

}  // namespace quorvane::testing
