#pragma once

#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "media/ClipKindTable.h"
#include "media/MediaContext.h"
#include "media/OfflineCause.h"
#include "media/OfflineRecord.h"

#include <string>
#include <string_view>
#include <utility>

namespace rw {

// A captured clip record read again through the kind table of its clip type (VideoClip or
// AudioClip): the steps that offline cuts and offline audio clips share.
template <class Clip> class OfflineReplay {
public:
  // Captures the block of a record of `keyword` (`what` names the record in messages) and answers
  // the kind's live clip when its file opens, else an `Offline` clip made from the keyword, the
  // record and the reason; null when the block itself is broken. `Offline::Open` is the type's
  // own Open, which adds what the type checks of a live clip.
  template <class Offline>
  static Clip Read(std::string_view keyword, RecordReader& reader, MediaContext& context,
                   std::string_view what) {
    OfflineRecord record;
    if (!OfflineRecord::Capture(reader, !Table::HasRecord(keyword), &context.Messages(), what, record))
      return Clip();
    std::string reason;
    if (Clip clip = Offline::Open(keyword, record, context, &reason))
      return clip;
    return Clip::template Make<Offline>(std::string(keyword), std::move(record), std::move(reason));
  }

  // The kind's clip of `record` when it is valid. Otherwise null, with the reason in `reason` when
  // given; the kind's own messages are taken back out of the context's, since the user is told of
  // the file once, with its reason.
  static Clip Open(std::string_view keyword, const OfflineRecord& record, MediaContext& context,
                   std::string* reason) {
    if (!Table::HasRecord(keyword)) {
      if (reason)
        *reason = std::string(Table::UnknownKind()) + std::string(keyword);
      return Clip();
    }
    MessageText& messages = context.Messages();
    const std::string before = messages.Get();
    RecordReader replay(record.Text(), record.Folder());
    Clip clip = Table::LoadRecord(keyword, replay, context);
    if (clip && clip->IsValid())
      return clip;
    const std::string said = AppendedSince(messages.Get(), before);
    messages.Set(before);
    if (reason)
      *reason = OfflineCause::Of(record.File(), keyword, said);
    return Clip();
  }

private:
  using Table = ClipKindTable<Clip>;

  // What was appended to a text that held `before`.
  static std::string AppendedSince(const std::string& now, const std::string& before) {
    if (now.size() >= before.size() && now.compare(0, before.size(), before) == 0)
      return now.substr(before.size());
    return now;
  }
};

} // namespace rw
