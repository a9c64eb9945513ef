#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace quorvane::platform {

// Asks the system to back a large buffer that is about to be filled with huge pages, so that
// filling it takes a few hundred times fewer page faults. Only a hint: without effect for small
// buffers and where the system does not support it; the buffer's content is not changed.
void advise_huge_pages(void* data, std::size_t size);

// Room for `count` elements in `list`, given huge pages when the room is large: the new
// storage is advised before the elements move into it.
template <class T>
void reserve_with_huge_pages(std::vector<T>& list, std::size_t count) {
  if (count <= list.capacity()) return;
  std::vector<T> larger;
  larger.reserve(count);
  advise_huge_pages(larger.data(), count * sizeof(T));
  for (T& element : list) larger.push_back(std::move(element));
  list.swap(larger);
}

// Makes room for one more element of a list that grows to a large size, doubling its room.
template <class T>
void grow_with_huge_pages(std::vector<T>& list) {
  if (list.size() < list.capacity()) return;
  reserve_with_huge_pages(list, list.capacity() < 64 ? 64 : list.capacity() * 2);
}

}  // namespace quorvane::platform
