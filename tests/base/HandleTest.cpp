#include "base/Handle.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

struct Counts {
  int made = 0;   // constructions of every kind
  int copied = 0; // copy constructions
  int cloned = 0; // Clone calls
  int gone = 0;   // destructions
  int Alive() const { return made - gone; }
};

// A shared object without Clone: Detach copies it by copy construction.
class Plain : public RefCounted {
public:
  explicit Plain(Counts& c, int v = 0) : counts_(&c), value(v) { ++counts_->made; }
  Plain(const Plain& o) : RefCounted(o), counts_(o.counts_), value(o.value) {
    ++counts_->made;
    ++counts_->copied;
  }
  ~Plain() override { ++counts_->gone; }

private:
  Counts* counts_;

public:
  int value;
};

// A polymorphic kind: Detach must go through Clone so that the copy keeps its kind.
class Base : public RefCounted {
public:
  explicit Base(Counts& c) : counts(&c) { ++counts->made; }
  Base(const Base& o) : RefCounted(o), counts(o.counts), value(o.value) {
    ++counts->made;
    ++counts->copied;
  }
  ~Base() override { ++counts->gone; }
  virtual Base* Clone() const = 0;
  virtual int Kind() const = 0;

  Counts* counts;
  int value = 0;
};

class Derived : public Base {
public:
  using Base::Base;
  Base* Clone() const override {
    ++counts->cloned;
    return new Derived(*this);
  }
  int Kind() const override { return 2; }
};

TEST(HandleTest, CopyAssignAndReleaseCountReferences) {
  Counts counts;
  {
    auto a = Handle<Plain>::Adopt(new Plain(counts, 1));
    EXPECT_EQ(a.UseCount(), 1);
    Handle<Plain> b = a;
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_TRUE(a == b);
    {
      Handle<Plain> c(b);
      EXPECT_EQ(a.UseCount(), 3);
    }
    EXPECT_EQ(a.UseCount(), 2);

    // Assigning releases the old object first: the second one dies when b leaves it.
    auto other = Handle<Plain>::Adopt(new Plain(counts, 2));
    b = other;
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(other.UseCount(), 2);
    other = a;
    EXPECT_EQ(b.UseCount(), 1);
    b = nullptr;
    EXPECT_EQ(counts.gone, 1);
    EXPECT_EQ(a.UseCount(), 2);

    // Self-assignment keeps the object.
    Handle<Plain>& alias = a;
    a = alias;
    EXPECT_EQ(a.UseCount(), 2);
    a = std::move(alias);
    EXPECT_EQ(other->value, 1);
    EXPECT_EQ(counts.Alive(), 1);

    Handle<Plain> moved = std::move(other);
    EXPECT_TRUE(other.IsNull());
    EXPECT_EQ(moved.UseCount(), 2);
    moved.Reset();
    EXPECT_TRUE(moved.IsNull());
    EXPECT_EQ(a.UseCount(), 1);
  }
  EXPECT_EQ(counts.made, 2);
  EXPECT_EQ(counts.gone, 2);
  EXPECT_EQ(counts.copied, 0);
}

TEST(HandleTest, DetachKeepsAnUnsharedObject) {
  Counts counts;
  auto a = Handle<Plain>::Adopt(new Plain(counts, 5));
  Plain* before = a.Get();
  a.Detach();
  EXPECT_EQ(a.Get(), before);
  EXPECT_EQ(counts.made, 1);
  Handle<Plain> empty;
  empty.Detach();
  EXPECT_TRUE(empty.IsNull());
}

TEST(HandleTest, DetachOfASharedObjectMakesAPrivateCopy) {
  Counts counts;
  {
    auto a = Handle<Plain>::Adopt(new Plain(counts, 5));
    Handle<Plain> b = a;
    b.Detach();
    EXPECT_NE(a.Get(), b.Get());
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(b.UseCount(), 1); // the copy starts with its own count, not the original's
    EXPECT_EQ(counts.copied, 1);
    b->value = 9;
    EXPECT_EQ(a->value, 5); // a change through one handle never shows through the other
  }
  EXPECT_EQ(counts.Alive(), 0);
}

TEST(HandleTest, DetachOfAPolymorphicKindGoesThroughClone) {
  Counts counts;
  {
    auto a = Handle<Base>::Adopt(new Derived(counts));
    Handle<Base> b = a;
    Handle<Base> c = a;
    c.Detach();
    EXPECT_EQ(counts.cloned, 1);
    EXPECT_EQ(c->Kind(), 2);
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_EQ(c.UseCount(), 1);
    // Converting handles share the object.
    auto d = Handle<Derived>::Adopt(new Derived(counts));
    Handle<Base> e = d;
    EXPECT_EQ(d.UseCount(), 2);
    Handle<Base> f = std::move(d);
    EXPECT_EQ(f.UseCount(), 2);
  }
  EXPECT_EQ(counts.made, 3);
  EXPECT_EQ(counts.gone, 3); // destroyed through the virtual destructor
}

TEST(HandleTest, MakeAndLeak) {
  Counts counts;
  auto h = Handle<Plain>::Make(counts, 3);
  EXPECT_EQ(h.UseCount(), 1);
  EXPECT_EQ(h->value, 3);
  Plain* raw = h.Leak();
  EXPECT_TRUE(h.IsNull());
  EXPECT_EQ(counts.gone, 0);
  auto back = Handle<Plain>::Adopt(raw); // takes the leaked reference back
  EXPECT_EQ(back.UseCount(), 1);
  back.Reset();
  EXPECT_EQ(counts.gone, 1);
}

// Share is for objects that have owners already (a registry's entry, `this`): each shared handle
// holds a reference of its own, so dropping them in any order destroys the object exactly once.
TEST(HandleTest, ShareAddsAReferenceAndAdoptDoesNot) {
  Counts counts;
  auto owner = Handle<Plain>::Make(counts, 4);
  Plain* entry = owner.Get();
  {
    auto a = Handle<Plain>::Share(entry);
    auto b = Handle<Plain>::Share(entry);
    EXPECT_EQ(owner.UseCount(), 3);
    owner.Reset();
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_EQ(counts.gone, 0);
  }
  EXPECT_EQ(counts.gone, 1);
  EXPECT_TRUE(Handle<Plain>::Share(nullptr).IsNull());
  EXPECT_TRUE(Handle<Plain>::Adopt(nullptr).IsNull());
}

} // namespace
} // namespace rw
