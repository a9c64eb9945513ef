#include "platform/memory.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace quorvane::platform {
namespace {

// The size of a huge page on x86-64 and arm64 with 4 KiB pages; below a few of them the advice
// gains nothing.
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
constexpr std::size_t kLeastSize = 4 * kHugePage;

}  // namespace

void advise_huge_pages(void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  if (data == nullptr || size < kLeastSize) return;
  // Only whole huge pages inside the buffer; the advice never reaches memory around it.
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
  if (last <= first) return;
  // A refusal (no huge-page support, an older kernel) leaves ordinary pages, which is fine.
  (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace quorvane::platform
