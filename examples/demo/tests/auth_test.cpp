#include "../src/auth.hpp"

// [unit->REQ-LOGIN-001]
void test_sign_in_with_valid_password();

// [unit->REQ-LOGIN-002]
void test_account_locks_after_five_failures();
