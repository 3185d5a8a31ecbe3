#pragma once

#include <atomic>
#include <cstdint>

namespace rw {

// Base of every object shared through a Handle. The count starts at 1 for the handle that
// receives a new object; a copy of the object (Clone or copy construction) starts at 1 again.
class RefCounted {
public:
  RefCounted() = default;
  RefCounted(const RefCounted&) {}
  RefCounted& operator=(const RefCounted&) { return *this; }
  virtual ~RefCounted() = default;

  void AddRef() const { refs_.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; answers true when it was the last one.
  bool Unref() const { return refs_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  std::int32_t RefCount() const { return refs_.load(std::memory_order_acquire); }

private:
  mutable std::atomic<std::int32_t> refs_{1};
};

} // namespace rw
