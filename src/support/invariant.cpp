#include "support/invariant.hpp"

#include <cstdio>
#include <cstdlib>

namespace quorvane {

void invariant_broken(std::string_view rule) {
  std::fprintf(stderr, "internal error: broken invariant: %.*s\n", static_cast<int>(rule.size()),
               rule.data());
  std::fflush(stderr);
  std::_Exit(101);
}

}  // namespace quorvane
