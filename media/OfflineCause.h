#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// Why a clip's file did not open, in the words the user is shown: the file is missing, cannot be
// read, is in a form no reader knows, or is damaged (with what its reader said).
class OfflineCause {
public:
  static constexpr std::string_view kNoFileName = "ファイル名がありません";
  static constexpr std::string_view kMissing = "見つかりません";
  static constexpr std::string_view kUnreadable = "読めません";
  static constexpr std::string_view kUnsupported = "対応していない形式です";
  static constexpr std::string_view kDamaged = "壊れています: ";
  static constexpr std::string_view kEmpty = "空のファイルです";

  // The reason for `file`, named by a record of kind `keyword`, whose reader appended `said` to
  // the messages when it refused the file. A file that begins as the kind's files do (or, for
  // pictures, carries the Targa extension) is damaged; any other is not supported.
  static std::string Of(const std::filesystem::path& file, std::string_view keyword, std::string_view said);

  // Whether a reason says that the file was there and was read (damaged, or of a form no reader
  // knows), so that reading it again unchanged would give the same answer.
  static bool WasRead(std::string_view reason);

  // The note of a file that opened but holds only `available` frames or samples (`unit`) where
  // the record asks for first..last; empty when the range fits.
  static std::string Shortfall(std::string_view unit, std::int64_t first, std::int64_t last,
                               std::int64_t available);

  // A reader's messages as a reason: line breaks become " / " and the file's full name is cut
  // to its last component.
  static std::string Said(const std::filesystem::path& file, std::string_view said);
};

} // namespace rw
