#pragma once

#include "base/RefCounted.h"

#include <type_traits>
#include <utility>

namespace rw {

// A counted reference to a shared object (T derives from RefCounted). Copying adds a reference,
// assigning releases the old object first, destroying releases; the object is destroyed through
// its virtual destructor when the last reference goes.
//
// Shared objects are never changed in place: before a change the holder calls Detach, which
// keeps the object when this handle is its only holder and otherwise replaces it by a private
// copy: T::Clone() where T has one (polymorphic kinds), else copy construction (lists, sets).
template <class T> class Handle {
public:
  Handle() = default;
  Handle(std::nullptr_t) {}
  // Takes over the initial reference of a newly made object.
  explicit Handle(T* adopt) : p_(adopt) {}
  Handle(const Handle& other) : p_(other.p_) {
    if (p_)
      p_->AddRef();
  }
  Handle(Handle&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U>
  requires std::is_convertible_v<U*, T*> Handle(const Handle<U>& other) : p_(other.Get()) {
    if (p_)
      p_->AddRef();
  }
  template <class U>
  requires std::is_convertible_v<U*, T*> Handle(Handle<U>&& other)
  noexcept : p_(other.Leak()) {}
  ~Handle() { Release(); }

  Handle& operator=(const Handle& other) {
    if (p_ != other.p_) {
      Handle copy(other);
      Swap(copy);
    }
    return *this;
  }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Release();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  // Makes a new object of kind U with count 1 owned by the returned handle.
  template <class U = T, class... Args> static Handle<U> Make(Args&&... args) {
    return Handle<U>(new U(std::forward<Args>(args)...));
  }

  void Release() {
    if (p_ && p_->Unref())
      delete p_;
    p_ = nullptr;
  }

  // Copy-on-write: afterwards this handle is the only holder of its object.
  void Detach() {
    if (!p_ || p_->RefCount() == 1)
      return;
    T* copy;
    if constexpr (requires(const T& t) {
                    { t.Clone() } -> std::convertible_to<T*>;
                  })
      copy = p_->Clone();
    else
      copy = new T(*p_);
    Release();
    p_ = copy;
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool IsNull() const { return p_ == nullptr; }
  int UseCount() const { return p_ ? p_->RefCount() : 0; }
  void Swap(Handle& other) noexcept { std::swap(p_, other.p_); }
  // Gives up the reference without releasing it.
  T* Leak() { return std::exchange(p_, nullptr); }

  friend bool operator==(const Handle& a, const Handle& b) { return a.p_ == b.p_; }

private:
  T* p_ = nullptr;
};

} // namespace rw
