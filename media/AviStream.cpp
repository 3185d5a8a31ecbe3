#include "media/AviStream.h"

#include "base/MessageText.h"
#include "media/AviOdmlIndexCheck.h"
#include "media/AviPictureParser.h"
#include "media/AviStreamHeaders.h"
#include "media/FileIdentity.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace rw {
namespace {

constexpr std::int32_t kMaxDimension = 16384;
constexpr std::size_t kHeaderBytes = 1 << 20; // the header list is looked for in the first MiB
constexpr std::size_t kProbeBytes = 4096;

// The stored layout of the PCM codecs read here; channels 0 for any other codec.
PcmFormat PcmOf(const AVCodecParameters& p) {
  PcmFormat f{p.ch_layout.nb_channels, 0, false};
  switch (p.codec_id) {
  case AV_CODEC_ID_PCM_U8:
    f.bytesPerSample = 1;
    break;
  case AV_CODEC_ID_PCM_S16LE:
    f.bytesPerSample = 2;
    break;
  case AV_CODEC_ID_PCM_S24LE:
    f.bytesPerSample = 3;
    break;
  case AV_CODEC_ID_PCM_S32LE:
    f.bytesPerSample = 4;
    break;
  case AV_CODEC_ID_PCM_F32LE:
    f.bytesPerSample = 4;
    f.isFloat = true;
    break;
  default:
    f.channels = 0;
    break;
  }
  return f;
}

} // namespace

// The libavformat view of the file while it is being opened.
struct pAviStream::Demuxer {
  ff::InputPtr format;
  int video = -1;
  int audio = -1;
  std::optional<AviStreamHeader> header; // the video stream's own header, when found
  std::int64_t tsBase = 0;               // libavformat's time stamp of index entry 0
  bool indexed = false;                  // the video pictures came from the file's index
};

bool pAviStream::Fail(MessageText& messages, const std::string& text) {
  Close();
  messages.Append(text + "\n");
  return false;
}

void pAviStream::Close() {
  open_ = false;
  file_.Close();
  video_.reset();
  index_.Clear();
  audio_.Clear();
  info_ = AviVideoInfo{};
  frameRate_ = 0;
  stamp_ = FileStamp{};
  ++generation_;
}

AviAudioFormat pAviStream::AudioFormat() const {
  AviAudioFormat f;
  if (!HasAudio())
    return f;
  f.channels = audio_.Channels();
  f.samplesPerSec = audio_.Rate();
  f.blockAlign = audio_.BlockAlign();
  f.bitsPerSample = audio_.Bits();
  return f;
}

bool pAviStream::ReadAudio(void* dest, std::int32_t first, std::int32_t count) const {
  return HasAudio() && audio_.Read(file_, dest, first, count);
}

bool pAviStream::ReadVideoSample(std::int32_t n, std::vector<std::uint8_t>& out) const {
  out.clear();
  if (!open_ || n < 0 || n >= info_.length)
    return false;
  const std::int32_t picture = index_.PictureOf(n);
  if (picture < 0)
    return true;
  const AviSampleRef& ref = index_.Sample(picture);
  out.resize(ref.size);
  if (file_.ReadSample(ref, out.data()))
    return true;
  out.clear();
  return false;
}

bool pAviStream::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  fileName_ = FileIdentity::Normalised(file);
  const FileStamp stamp = FileStamp::Of(fileName_);
  if (!file_.Open(fileName_))
    return Fail(messages, "ムービーファイル" + MessageText::Quoted(fileName_) + "を開けません");

  // Only files that libavformat recognises as AVI are opened, and only its AVI reader sees them.
  std::vector<std::uint8_t> head(kHeaderBytes + AVPROBE_PADDING_SIZE, 0);
  std::size_t headSize = kHeaderBytes;
  if (stamp.size != static_cast<std::uintmax_t>(-1))
    headSize = static_cast<std::size_t>(std::min<std::uintmax_t>(stamp.size, kHeaderBytes));
  if (headSize == 0 || !file_.ReadAt(0, head.data(), headSize))
    return Fail(messages, MessageText::Quoted(fileName_) + "はAVIファイルではありません");
  std::vector<std::uint8_t> probe(
      head.begin(), head.begin() + static_cast<std::ptrdiff_t>(std::min(headSize, kProbeBytes)));
  probe.resize(probe.size() + AVPROBE_PADDING_SIZE, 0);
  AVProbeData pd{};
  const std::string name = fileName_.string();
  pd.filename = name.c_str();
  pd.buf = probe.data();
  pd.buf_size = static_cast<int>(probe.size() - AVPROBE_PADDING_SIZE);
  int score = 0;
  const AVInputFormat* probed = av_probe_input_format3(&pd, 1, &score);
  const AVInputFormat* avi = av_find_input_format("avi");
  if (!avi || probed != avi)
    return Fail(messages, MessageText::Quoted(fileName_) + "はAVIファイルではありません");

  // OpenDML indexes that claim more entries than they hold are left to the side (libavformat
  // would read on past them): the file is then read through as one without index.
  const bool indexesSound = AviOdmlIndexCheck::IsSound(file_);
  Demuxer d;
  ff::Dictionary options;
  if (!indexesSound)
    options.Set("use_odml", "0");
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, fileName_.c_str(), avi, options.Address()) >= 0)
    d.format.reset(opened);
  if (!d.format)
    return Fail(messages, MessageText::Quoted(fileName_) + "はAVIファイルとして読めません");
  AVFormatContext* fc = d.format.get();
  for (unsigned i = 0; i < fc->nb_streams; ++i) {
    const AVMediaType type = fc->streams[i]->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO && d.video < 0)
      d.video = static_cast<int>(i);
    if (type == AVMEDIA_TYPE_AUDIO && d.audio < 0)
      d.audio = static_cast<int>(i);
  }
  if (d.video < 0)
    return Fail(messages, MessageText::Quoted(fileName_) + "に映像がありません");
  const AVStream* vs = fc->streams[d.video];
  const std::int64_t streamLength = vs->nb_frames;
  const AVRational timeBase = vs->time_base;
  video_ = ff::MakeParameters(vs->codecpar);
  if (!video_)
    return Fail(messages, MessageText::Quoted(fileName_) + "を読む領域が足りません");

  // The video stream's own header: the first stream header of a video kind.
  for (const AviStreamHeader& h : AviStreamHeaders::Read({head.data(), headSize}))
    if (h.fccType == FourCC('v', 'i', 'd', 's') || h.fccType == FourCC('i', 'a', 'v', 's')) {
      d.header = h;
      break;
    }

  // Audio: the first audio stream, when it is PCM.
  if (d.audio >= 0) {
    const AVCodecParameters& ap = *fc->streams[d.audio]->codecpar;
    const PcmFormat pcm = PcmOf(ap);
    if (pcm.IsSupported() && ap.sample_rate > 0)
      audio_.SetFormat(pcm, ap.sample_rate);
    else
      d.audio = -1;
  }

  if (!indexesSound || !ReadIndexes(d))
    Scan(d, true, d.audio >= 0);
  else if (d.audio >= 0 && audio_.Length() == 0)
    Scan(d, false, true);
  d.format.reset();
  if (index_.PictureCount() == 0)
    return Fail(messages, MessageText::Quoted(fileName_) + "の映像にフレームがありません");

  // Frame count: the header's length where the index may end in empty entries (each of those
  // takes 16 bytes of index, which bounds what a damaged header can claim).
  const std::int64_t stored = index_.EntryOf(index_.PictureCount() - 1) + 1;
  std::int64_t count = stored;
  if (d.indexed) {
    const std::int64_t length = d.header ? d.header->length : streamLength;
    const std::int64_t bound = stored + static_cast<std::int64_t>(stamp.size / 16);
    count = std::max(stored, std::min(length, bound));
  }
  index_.Finish(count);

  info_.fccType = FourCC('v', 'i', 'd', 's');
  info_.fccHandler = d.header ? d.header->fccHandler : video_->codec_tag;
  info_.rate = d.header ? d.header->rate : static_cast<std::uint32_t>(timeBase.den);
  info_.scale = d.header ? d.header->scale : static_cast<std::uint32_t>(timeBase.num);
  info_.start = d.header ? static_cast<std::int32_t>(std::min<std::uint32_t>(d.header->start, INT32_MAX)) : 0;
  info_.length = index_.FrameCount();
  info_.width = video_->width;
  info_.height = std::abs(video_->height);
  if (info_.scale == 0)
    frameRate_ = 30;
  else
    frameRate_ = static_cast<std::int32_t>(std::min<std::uint64_t>(
        (static_cast<std::uint64_t>(info_.rate) + info_.scale / 2) / info_.scale, INT32_MAX));
  if (info_.width < 1 || info_.height < 1 || info_.width > kMaxDimension || info_.height > kMaxDimension)
    return Fail(messages, MessageText::Quoted(fileName_) + "の映像の大きさ(" + std::to_string(video_->width) +
                              "×" + std::to_string(video_->height) + ")は扱えません");
  stamp_ = stamp;
  open_ = true;
  return true;
}

// Takes the pictures (and audio chunks) from libavformat's reading of the file's index. False
// when the file has no usable video index.
bool pAviStream::ReadIndexes(Demuxer& d) {
  AVStream* vs = d.format->streams[d.video];
  const int n = avformat_index_get_entries_count(vs);
  if (n <= 0)
    return false;
  const std::int64_t first = avformat_index_get_entry(vs, 0)->timestamp;
  d.tsBase = d.header ? std::min<std::int64_t>(d.header->start, first) : std::min<std::int64_t>(0, first);
  for (int i = 0; i < n; ++i) {
    const AVIndexEntry* e = avformat_index_get_entry(vs, i);
    const AviSampleRef ref{e->pos, static_cast<std::uint32_t>(e->size), true};
    // An entry whose data lies beyond the end of the file counts as empty.
    if (e->size > 0 && file_.Holds(ref))
      index_.Add(e->timestamp - d.tsBase, ref, (e->flags & AVINDEX_KEYFRAME) != 0);
  }
  // The positions must lead to the chunks they describe; otherwise the file is read through.
  if (index_.PictureCount() == 0 || !file_.CheckHeader(index_.Sample(0))) {
    index_.Clear();
    return false;
  }
  d.indexed = true;
  if (d.audio >= 0) {
    AVStream* as = d.format->streams[d.audio];
    const int m = avformat_index_get_entries_count(as);
    for (int i = 0; i < m; ++i) {
      const AVIndexEntry* e = avformat_index_get_entry(as, i);
      const AviSampleRef ref{e->pos, static_cast<std::uint32_t>(e->size), true};
      if (e->size > 0 && file_.Holds(ref))
        audio_.AddChunk(ref);
    }
  }
  return true;
}

// Reads the whole file packet by packet for what its index does not give: the pictures of a
// file without index (every entry numbered by libavformat, empty ones skipped) and the audio
// chunks. Without an index, only intra-only codecs have a key frame at every picture; MPEG-4
// and parsed H.264 pictures are recognised from their headers; for others only the first
// picture is a place to start decoding.
void pAviStream::Scan(Demuxer& d, bool video, bool audio) {
  AVFormatContext* fc = d.format.get();
  for (unsigned i = 0; i < fc->nb_streams; ++i)
    fc->streams[i]->discard =
        (video && static_cast<int>(i) == d.video) || (audio && static_cast<int>(i) == d.audio)
            ? AVDISCARD_DEFAULT
            : AVDISCARD_ALL;
  const AVCodecDescriptor* desc = avcodec_descriptor_get(video_->codec_id);
  const bool intraOnly = desc && (desc->props & AV_CODEC_PROP_INTRA_ONLY);
  const bool mpeg4 = video_->codec_id == AV_CODEC_ID_MPEG4;
  std::optional<AviPictureParser> parser;
  if (video && !intraOnly && !mpeg4)
    parser.emplace(video_->codec_id);
  ff::PacketPtr pkt = ff::MakePacket();
  while (pkt && av_read_frame(fc, pkt.get()) >= 0) {
    if (pkt->pos >= 0 && pkt->size > 0) {
      const AviSampleRef ref{pkt->pos, static_cast<std::uint32_t>(pkt->size), false};
      if (video && pkt->stream_index == d.video && pkt->dts != AV_NOPTS_VALUE) {
        if (index_.PictureCount() == 0)
          d.tsBase = std::min<std::int64_t>(d.header ? d.header->start : 0, pkt->dts);
        bool key = index_.PictureCount() == 0 || intraOnly;
        if (mpeg4)
          key = key || (pkt->flags & AV_PKT_FLAG_KEY);
        else if (parser && parser->IsAvailable())
          key = key || parser->Parse(pkt->data, pkt->size).key;
        index_.Add(pkt->dts - d.tsBase, ref, key);
      } else if (audio && pkt->stream_index == d.audio) {
        audio_.AddChunk(ref);
      }
    }
    av_packet_unref(pkt.get());
  }
}

} // namespace rw
