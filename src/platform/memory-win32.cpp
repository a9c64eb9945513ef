#include "platform/memory.hpp"

namespace quorvane::platform {

// Large pages on Windows need a privilege that ordinary users lack; the hint does nothing.
void advise_huge_pages(void* /*data*/, std::size_t /*size*/) {}

}  // namespace quorvane::platform
