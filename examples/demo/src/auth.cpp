#include "auth.hpp"

#include <string>

namespace demo {

// Checks the credentials against the stored hash. [impl->REQ-LOGIN-001]
bool sign_in(Accounts& accounts, const std::string& email, const std::string& password) {
  Account* account = accounts.find(email);
  if (account == nullptr || account->locked()) return false;
  if (!account->password_matches(password)) {
    /* Five failures in a row lock the account.
       [impl->REQ-LOGIN-002] */
    account->record_failure(5);
    return false;
  }
  account->reset_failures();
  return true;
}

}  // namespace demo
