#pragma once

#include <windows.h>

namespace quorvane::platform::testing {

// Points one of the process's standard handles elsewhere for the life of the object. The C
// runtime (and so the test runner's own output) keeps the handle it took at start-up.
class StdHandleOverride {
 public:
  StdHandleOverride(DWORD which, HANDLE handle) : which_(which), saved_(::GetStdHandle(which)) {
    ::SetStdHandle(which_, handle);
  }
  ~StdHandleOverride() { ::SetStdHandle(which_, saved_); }
  StdHandleOverride(const StdHandleOverride&) = delete;
  StdHandleOverride& operator=(const StdHandleOverride&) = delete;

 private:
  DWORD which_;
  HANDLE saved_;
};

}  // namespace quorvane::platform::testing
