#pragma once

#include "base/Handle.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/FileIdentity.h"
#include "media/FileStamp.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace rw {

// The open readers of one kind for one program run, newest first: one per file (or per key the
// caller matches on), shared by every clip through counted handles. A reader is listed while it
// lives and leaves the list by itself when its last handle goes. The registry must outlive what
// it hands out; readers still alive when it goes are forgotten, not closed.
//
// T derives from RefCounted, declares ReaderRegistry<T> a friend and keeps a `Link link_`.
// OpenShared and CheckFiles ask T for `bool Open(file, messages)` (also to read a file again in
// place) and `FileName()`; CheckFiles also for `Stamp()` and `void Declined()`, what the kind of
// reader does when the user will not have its changed file read again.
template <class T> class ReaderRegistry {
public:
  // The reader's side: unlinks the reader from its registry when the reader is destroyed.
  class Link {
  public:
    Link() = default;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;
    ~Link() {
      if (registry_)
        registry_->Unlink(owner_);
    }

  private:
    friend class ReaderRegistry;
    ReaderRegistry* registry_ = nullptr;
    const T* owner_ = nullptr;
  };

  ReaderRegistry() = default;
  ReaderRegistry(const ReaderRegistry&) = delete;
  ReaderRegistry& operator=(const ReaderRegistry&) = delete;
  ~ReaderRegistry() {
    for (T* reader : readers_)
      reader->link_.registry_ = nullptr;
  }

  // The newest reader for which `match` holds, shared; null when there is none.
  template <class Match> Handle<T> Find(Match match) const {
    for (T* reader : readers_)
      if (match(static_cast<const T&>(*reader)))
        return Handle<T>::Share(reader);
    return nullptr;
  }

  // Lists a reader that has just been opened, as the newest.
  void Add(const Handle<T>& fresh) {
    fresh->link_.registry_ = this;
    fresh->link_.owner_ = fresh.Get();
    readers_.insert(readers_.begin(), fresh.Get());
  }

  // The reader of `file` (see FileIdentity), opening one when there is none yet; null when it
  // cannot be opened (the reason is appended to `messages`).
  Handle<T> OpenShared(const std::filesystem::path& file, MessageText& messages) {
    if (Handle<T> shared = Find([&](const T& r) { return FileIdentity::Same(r.FileName(), file); }))
      return shared;
    Handle<T> fresh = Handle<T>::Make();
    if (!fresh->Open(file, messages))
      return nullptr;
    Add(fresh);
    return fresh;
  }

  // Every reader, held: code that runs while the list is walked may drop the last other handle.
  std::vector<Handle<T>> Held() const {
    std::vector<Handle<T>> held;
    held.reserve(readers_.size());
    for (T* reader : readers_)
      held.push_back(Handle<T>::Share(reader));
    return held;
  }

  // Compares every reader's file with its size and write time at opening; for each that
  // changed asks the user whether to read it again and passes the answer to the reader. True
  // when any file had changed.
  bool CheckFiles(UserPrompt& prompt, MessageText& messages) {
    bool changed = false;
    for (const Handle<T>& reader : Held()) {
      if (FileStamp::Of(reader->FileName()) == reader->Stamp())
        continue;
      changed = true;
      const std::string text =
          "ファイル" + MessageText::Quoted(reader->FileName()) + "に変更が加えられましたので読込なおします";
      if (prompt.Ask(text, "ムービー読込", UserPrompt::Buttons::OkCancel) == UserPrompt::Answer::Ok)
        reader->Open(reader->FileName(), messages);
      else
        reader->Declined();
    }
    return changed;
  }

  std::size_t Size() const { return readers_.size(); }

private:
  void Unlink(const T* reader) {
    readers_.erase(std::remove(readers_.begin(), readers_.end(), reader), readers_.end());
  }

  std::vector<T*> readers_;
};

} // namespace rw
