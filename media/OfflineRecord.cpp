#include "media/OfflineRecord.h"

namespace rw {

bool OfflineRecord::Capture(RecordReader& /*reader*/, bool /*nested*/, MessageText* /*messages*/,
                            std::string_view /*what*/, OfflineRecord& out) {
  out = OfflineRecord();
  return false;
}

std::string OfflineRecord::Text() const {
  return "begin\nend\n";
}

bool OfflineRecord::Write(RecordWriter& /*writer*/, int /*level*/) const {
  return true;
}

std::filesystem::path OfflineRecord::File() const {
  return {};
}

void OfflineRecord::SetFile(const std::filesystem::path& /*file*/) {}

std::optional<std::string> OfflineRecord::Value(std::string_view /*key*/) const {
  return std::nullopt;
}

std::optional<std::int32_t> OfflineRecord::Number(std::string_view /*key*/) const {
  return std::nullopt;
}

void OfflineRecord::SetValue(std::string_view /*key*/, std::string_view /*value*/) {}

} // namespace rw
