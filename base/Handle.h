#pragma once

#include "base/RefCounted.h"

#include <type_traits>
#include <utility>

namespace rw {

// A counted reference to a shared object (T derives from RefCounted). Copying adds a reference,
// assigning releases the old object first, destroying releases; the object is destroyed through
// its virtual destructor when the last reference goes.
//
// A handle comes to an object in one of two ways, each named: Adopt takes over the reference a
// newly made object starts with, Share adds one to an object that has owners already. Counts
// are never changed by hand outside this class.
//
// Shared objects are never changed in place: before a change the holder calls Detach, which
// keeps the object when this handle is its only holder and otherwise replaces it by a private
// copy: T::Clone() where T has one (polymorphic kinds), else copy construction (lists, sets).
template <class T> class Handle {
public:
  Handle() = default;
  Handle(std::nullptr_t) {}
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
  ~Handle() { Reset(); }

  Handle& operator=(const Handle& other) {
    if (p_ != other.p_) {
      Handle copy(other);
      Swap(copy);
    }
    return *this;
  }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  // Takes ownership of a freshly made object (count 1, from new or Clone); null gives null.
  static Handle Adopt(T* fresh) {
    Handle h;
    h.p_ = fresh;
    return h;
  }
  // Shares an object that already has owners (a registry's entry, `this` inside a member
  // function): the returned handle adds a reference of its own. Null gives null.
  static Handle Share(T* owned) {
    if (owned)
      owned->AddRef();
    return Adopt(owned);
  }
  // Makes a new object of kind U with count 1 owned by the returned handle.
  template <class U = T, class... Args> static Handle<U> Make(Args&&... args) {
    return Handle<U>::Adopt(new U(std::forward<Args>(args)...));
  }

  // Drops this handle's reference; the handle becomes null.
  void Reset() {
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
    Reset();
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
