#include "media/ContainerStream.h"

#include "base/MessageText.h"
#include "media/FileIdentity.h"

extern "C" {
#include <libavutil/display.h>
}

#include <algorithm>
#include <cmath>
#include <numeric>

namespace rw {
namespace {

// Only these demuxers read the files of this kind: no playlists, no other files, no network.
constexpr const char* kFormats = "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm";

std::int64_t Smaller(std::int64_t pts, std::int64_t dts) {
  if (pts == AV_NOPTS_VALUE)
    return dts;
  if (dts == AV_NOPTS_VALUE)
    return pts;
  return std::min(pts, dts);
}

} // namespace

PictureTurn PictureTurn::FromMatrix(const std::int32_t matrix[9]) {
  const double a = matrix[0] / 65536.0, b = matrix[1] / 65536.0;
  const double c = matrix[3] / 65536.0, d = matrix[4] / 65536.0;
  const double det = a * d - b * c;
  if ((a == 0 && b == 0) || det == 0 || !std::isfinite(det))
    return {};
  // Where the x axis goes, to the nearest right angle; the y axis is square to it, on the
  // side the determinant tells (negative: mirrored).
  PictureTurn t;
  if (std::fabs(a) >= std::fabs(b)) {
    t.a = a > 0 ? 1 : -1;
    t.b = 0;
  } else {
    t.a = 0;
    t.b = b > 0 ? 1 : -1;
  }
  t.c = det > 0 ? -t.b : t.b;
  t.d = det > 0 ? t.a : -t.a;
  return t;
}

bool pContainerStream::Fail(MessageText& messages, const std::string& text) {
  Close();
  messages.Append(text + "\n");
  return false;
}

void pContainerStream::Close() {
  open_ = false;
  format_.reset();
  videoIndex_ = -1;
  video_.reset();
  timeBase_ = {1, 1};
  averageRate_ = {0, 1};
  packets_.clear();
  packets_.shrink_to_fit();
  packetOf_.clear();
  pictureTime_.clear();
  byPos_.clear();
  map_.Clear();
  turn_ = {};
  width_ = height_ = 0;
  pending_.reset();
  pendingNumber_ = -1;
  next_ = -1;
  stamp_ = FileStamp{};
  ++generation_;
}

bool pContainerStream::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  fileName_ = FileIdentity::Normalised(file);
  const FileStamp stamp = FileStamp::Of(fileName_);
  const std::string quoted = MessageText::Quoted(fileName_);
  if (stamp.size == static_cast<std::uintmax_t>(-1))
    return Fail(messages, "ムービーファイル" + quoted + "を開けません");

  ff::Dictionary options;
  options.Set("format_whitelist", kFormats);
  options.Set("protocol_whitelist", "file");
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, fileName_.c_str(), nullptr, options.Address()) < 0 || !opened)
    return Fail(messages, quoted + "はムービーファイルとして読めません");
  format_.reset(opened);
  AVFormatContext* fc = format_.get();
  // The first video stream; cover art and other attached pictures are not the movie.
  for (unsigned i = 0; i < fc->nb_streams; ++i) {
    const AVStream* st = fc->streams[i];
    if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      videoIndex_ = static_cast<int>(i);
      break;
    }
  }
  if (videoIndex_ < 0)
    return Fail(messages, quoted + "に映像がありません");
  AVStream* vs = fc->streams[videoIndex_];
  // The headers of these containers describe the video; only when they leave out its size is
  // the start of the stream decoded to learn it.
  if ((vs->codecpar->width <= 0 || vs->codecpar->height <= 0) && avformat_find_stream_info(fc, nullptr) < 0)
    return Fail(messages, quoted + "はムービーファイルとして読めません");
  const AVCodec* decoder = avcodec_find_decoder(vs->codecpar->codec_id);
  if (!decoder)
    return Fail(messages, quoted + "の映像(" + avcodec_get_name(vs->codecpar->codec_id) +
                              ")を読むデコーダがありません");
  video_ = ff::MakeParameters(vs->codecpar);
  if (!video_)
    return Fail(messages, quoted + "を読む領域が足りません");
  timeBase_ = vs->time_base;
  averageRate_ = vs->avg_frame_rate;
  if (timeBase_.num <= 0 || timeBase_.den <= 0)
    return Fail(messages, quoted + "の映像の時刻が読めません");
  if (!SetSizes(messages) || !Index(messages))
    return false;
  stamp_ = stamp;
  open_ = true;
  return true;
}

bool pContainerStream::SetSizes(MessageText& messages) {
  const std::string quoted = MessageText::Quoted(fileName_);
  const std::int64_t w = video_->width, h = video_->height;
  if (w < 1 || h < 1 || w > kMaxDimension || h > kMaxDimension)
    return Fail(messages,
                quoted + "の映像の大きさ(" + std::to_string(w) + "×" + std::to_string(h) + ")は扱えません");
  AVStream* vs = format_->streams[videoIndex_];
  // Pixels that are not square: the width is widened or narrowed to the display aspect. An
  // aspect beyond 1:4 or 4:1 is taken for damage and ignored.
  std::int64_t shownWidth = w;
  const AVRational sar = av_guess_sample_aspect_ratio(format_.get(), vs, nullptr);
  if (sar.num > 0 && sar.den > 0 && sar.num != sar.den && sar.num <= 4 * std::int64_t{sar.den} &&
      sar.den <= 4 * std::int64_t{sar.num})
    shownWidth = std::clamp<std::int64_t>((w * sar.num + sar.den / 2) / sar.den, 1, kMaxDimension);
  turn_ = {};
  size_t size = 0;
  if (const std::uint8_t* matrix = av_stream_get_side_data(vs, AV_PKT_DATA_DISPLAYMATRIX, &size);
      matrix && size >= 9 * sizeof(std::int32_t)) {
    std::int32_t m[9];
    std::copy_n(reinterpret_cast<const std::int32_t*>(matrix), 9, m);
    turn_ = PictureTurn::FromMatrix(m);
  }
  width_ = static_cast<std::int32_t>(turn_.Across() ? h : shownWidth);
  height_ = static_cast<std::int32_t>(turn_.Across() ? shownWidth : h);
  return true;
}

// Reads the file through once for the video packets alone (the other streams are discarded, so
// their data is not read): time stamps, key flags and positions, then the display order.
bool pContainerStream::Index(MessageText& messages) {
  const std::string quoted = MessageText::Quoted(fileName_);
  AVFormatContext* fc = format_.get();
  for (unsigned i = 0; i < fc->nb_streams; ++i)
    fc->streams[i]->discard = static_cast<int>(i) == videoIndex_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  ff::PacketPtr pkt = ff::MakePacket();
  if (!pkt)
    return Fail(messages, quoted + "を読む領域が足りません");
  struct Shown {
    std::int64_t pts;
    std::int64_t duration;
    std::int32_t packet;
  };
  std::vector<Shown> shown;
  bool posRises = true;
  // A read error ends the packets: a damaged or cut-off tail leaves the pictures before it.
  while (av_read_frame(fc, pkt.get()) >= 0) {
    if (pkt->stream_index == videoIndex_) {
      if (packets_.size() >= static_cast<std::size_t>(kMaxPackets))
        return Fail(messages, quoted + "の映像はパケットが多すぎて扱えません");
      ContainerPacket p;
      p.pts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
      p.seek = Smaller(pkt->pts, pkt->dts);
      p.pos = pkt->pos;
      p.key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
      if (!packets_.empty() && (p.pos < 0 || p.pos <= packets_.back().pos))
        posRises = false;
      // Packets marked for discarding (before the start of an edit) are decoded, not shown.
      if (p.pts != AV_NOPTS_VALUE && !(pkt->flags & AV_PKT_FLAG_DISCARD))
        shown.push_back({p.pts, pkt->duration, static_cast<std::int32_t>(packets_.size())});
      packets_.push_back(p);
    }
    av_packet_unref(pkt.get());
  }
  if (shown.empty())
    return Fail(messages, quoted + "の映像にフレームがありません");

  // Display order; of two packets with the same time the first in the file is the picture.
  std::stable_sort(shown.begin(), shown.end(), [](const Shown& x, const Shown& y) { return x.pts < y.pts; });
  shown.erase(
      std::unique(shown.begin(), shown.end(), [](const Shown& x, const Shown& y) { return x.pts == y.pts; }),
      shown.end());
  // The last picture lasts until the end of the stream, when the container tells it and its
  // packet does not.
  if (Shown& last = shown.back(); last.duration <= 0) {
    const AVStream* vs = fc->streams[videoIndex_];
    std::int64_t end = AV_NOPTS_VALUE;
    if (vs->start_time != AV_NOPTS_VALUE && vs->duration != AV_NOPTS_VALUE && vs->duration > 0) {
      if (__builtin_add_overflow(vs->start_time, vs->duration, &end))
        end = AV_NOPTS_VALUE;
    } else if (fc->duration != AV_NOPTS_VALUE && fc->duration > 0) {
      std::int64_t total = fc->duration;
      if (fc->start_time == AV_NOPTS_VALUE || !__builtin_add_overflow(total, fc->start_time, &total))
        end = av_rescale_q(total, AV_TIME_BASE_Q, timeBase_);
    }
    // Only an end that could be the last picture's: within a second after it.
    std::int64_t gap = 0;
    if (end != AV_NOPTS_VALUE && end > last.pts && !__builtin_sub_overflow(end, last.pts, &gap) &&
        av_compare_ts(gap, timeBase_, 1, {1, 1}) <= 0)
      last.duration = gap;
  }
  std::vector<ContainerFrameMap::Picture> pictures;
  pictures.reserve(shown.size());
  packetOf_.reserve(shown.size());
  pictureTime_.reserve(shown.size());
  for (const Shown& s : shown) {
    packets_[static_cast<std::size_t>(s.packet)].picture = static_cast<std::int32_t>(packetOf_.size());
    pictures.push_back({s.pts, s.duration, packets_[static_cast<std::size_t>(s.packet)].key});
    packetOf_.push_back(s.packet);
    pictureTime_.push_back(s.pts);
  }
  if (!map_.Build(pictures, timeBase_.num, timeBase_.den))
    return Fail(messages, quoted + "の映像の時刻が読めません");
  if (!posRises) {
    byPos_.reserve(packets_.size());
    for (std::size_t i = 0; i < packets_.size(); ++i)
      if (packets_[i].pos >= 0)
        byPos_.emplace_back(packets_[i].pos, static_cast<std::int32_t>(i));
    std::sort(byPos_.begin(), byPos_.end());
  }
  // Decoders seek before their first read.
  next_ = -1;
  return true;
}

std::int32_t pContainerStream::PacketOf(std::int32_t picture) const {
  if (picture < 0 || static_cast<std::size_t>(picture) >= packetOf_.size())
    return -1;
  return packetOf_[static_cast<std::size_t>(picture)];
}

std::int64_t pContainerStream::PictureTime(std::int32_t picture) const {
  if (picture < 0 || static_cast<std::size_t>(picture) >= pictureTime_.size())
    return AV_NOPTS_VALUE;
  return pictureTime_[static_cast<std::size_t>(picture)];
}

std::int32_t pContainerStream::Identify(const AVPacket& packet, std::int32_t expected) const {
  if (packet.pos >= 0) {
    if (byPos_.empty()) {
      const auto it =
          std::lower_bound(packets_.begin(), packets_.end(), packet.pos,
                           [](const ContainerPacket& p, std::int64_t pos) { return p.pos < pos; });
      if (it != packets_.end() && it->pos == packet.pos)
        return static_cast<std::int32_t>(it - packets_.begin());
    } else {
      const auto it = std::lower_bound(byPos_.begin(), byPos_.end(), std::make_pair(packet.pos, INT32_MIN));
      if (it != byPos_.end() && it->first == packet.pos)
        return it->second;
    }
  }
  // Without positions: the picture of the same time, else the packet expected next.
  if (packet.pts != AV_NOPTS_VALUE && !(packet.flags & AV_PKT_FLAG_DISCARD)) {
    const auto it = std::lower_bound(pictureTime_.begin(), pictureTime_.end(), packet.pts);
    if (it != pictureTime_.end() && *it == packet.pts)
      return packetOf_[static_cast<std::size_t>(it - pictureTime_.begin())];
  }
  return expected >= 0 && static_cast<std::size_t>(expected) < packets_.size() ? expected : -1;
}

bool pContainerStream::ReadUpTo(std::int32_t k) {
  ff::PacketPtr pkt = ff::MakePacket();
  if (!pkt)
    return false;
  for (std::int32_t expected = -1;;) {
    if (av_read_frame(format_.get(), pkt.get()) < 0)
      return false;
    if (pkt->stream_index != videoIndex_) {
      av_packet_unref(pkt.get());
      continue;
    }
    const std::int32_t n = Identify(*pkt, expected);
    if (n == k) {
      pending_ = std::move(pkt);
      pendingNumber_ = k;
      next_ = k;
      return true;
    }
    av_packet_unref(pkt.get());
    if (n > k)
      return false; // the seek went past it
    expected = n >= 0 ? n + 1 : -1;
  }
}

bool pContainerStream::SeekPacket(std::int32_t k) {
  if (!format_ || k < 0 || static_cast<std::size_t>(k) >= packets_.size())
    return false;
  if (next_ == k)
    return true;
  pending_.reset();
  next_ = -1;
  // Seek to the key packet at or before k, then read up to k; when the container's own index
  // lands after it, read from the start.
  std::int32_t key = k;
  while (key > 0 && !packets_[static_cast<std::size_t>(key)].key)
    --key;
  const std::int64_t at = packets_[static_cast<std::size_t>(key)].seek;
  if (at != AV_NOPTS_VALUE && av_seek_frame(format_.get(), videoIndex_, at, AVSEEK_FLAG_BACKWARD) >= 0 &&
      ReadUpTo(k))
    return true;
  std::int64_t first = INT64_MAX;
  for (std::size_t i = 0; i < packets_.size() && i < 64; ++i)
    if (packets_[i].seek != AV_NOPTS_VALUE)
      first = std::min(first, packets_[i].seek);
  if (first == INT64_MAX)
    first = 0;
  return (av_seek_frame(format_.get(), videoIndex_, first, AVSEEK_FLAG_BACKWARD) >= 0 ||
          av_seek_frame(format_.get(), videoIndex_, first, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) >= 0) &&
         ReadUpTo(k);
}

bool pContainerStream::ReadPacket(AVPacket& packet, std::int32_t& number) {
  if (!format_)
    return false;
  if (pending_) {
    av_packet_move_ref(&packet, pending_.get());
    pending_.reset();
    number = pendingNumber_;
    next_ = number + 1;
    return true;
  }
  for (;;) {
    if (av_read_frame(format_.get(), &packet) < 0) {
      next_ = -1;
      return false;
    }
    if (packet.stream_index == videoIndex_) {
      const std::int32_t n = Identify(packet, next_);
      if (n >= 0) {
        number = n;
        next_ = n + 1;
        return true;
      }
    }
    av_packet_unref(&packet);
  }
}

} // namespace rw
