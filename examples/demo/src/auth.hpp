#pragma once

#include <string>

namespace demo {

class Account {
 public:
  bool locked() const;
  bool password_matches(const std::string& password) const;
  void record_failure(int lock_after);
  void reset_failures();
};

class Accounts {
 public:
  Account* find(const std::string& email);
};

bool sign_in(Accounts& accounts, const std::string& email, const std::string& password);

}  // namespace demo
