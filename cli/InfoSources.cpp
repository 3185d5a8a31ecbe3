#include "cli/InfoSources.h"

#include "cli/JsonWriter.h"
#include "media/ContainerAudioClip.h"
#include "media/ContainerClip.h"

extern "C" {
#include <libavutil/rational.h>
}

namespace rw::cli {
namespace {

void Fraction(JsonWriter& json, std::string_view key, std::int64_t num, std::int64_t den) {
  json.Key(key);
  json.BeginObject();
  json.Key("num");
  json.Number(num);
  json.Key("den");
  json.Number(den);
  json.EndObject();
}

// How the pictures fall on the cut's frames: frames that hold the picture of the frame before
// them (a source slower than 30 fps, or a gap), and pictures no frame shows (a faster source).
void WriteMapping(JsonWriter& json, const ContainerFrameMap& map) {
  std::int64_t held = 0, shown = 0;
  for (std::int32_t n = 0; n < map.FrameCount(); ++n) {
    if (map.IsNewFrame(n))
      ++shown;
    else
      ++held;
  }
  json.Key("mapping");
  json.BeginObject();
  json.Key("rule");
  json.String("frame n shows the last picture whose time from the first picture, rounded to the nearest "
              "1/30 s, is at most n/30 s");
  json.Key("pictures");
  json.Number(map.PictureCount());
  json.Key("frames");
  json.Number(map.FrameCount());
  json.Key("heldFrames");
  json.Number(held);
  json.Key("skippedPictures");
  json.Number(map.PictureCount() - shown);
  json.EndObject();
}

// The stream's own average rate; when the container does not tell it, the pictures' count over
// the time from the first to the last, reduced.
AVRational PictureRate(const pContainerStream& stream) {
  const AVRational rate = stream.AverageRate();
  if (rate.num > 0 && rate.den > 0)
    return rate;
  const std::int32_t last = stream.Map().PictureCount() - 1;
  const std::int64_t span = last > 0 ? stream.PictureTime(last) - stream.PictureTime(0) : 0;
  const AVRational base = stream.TimeBase();
  if (span <= 0 || base.num <= 0 || base.den <= 0)
    return {0, 1};
  AVRational out{0, 1};
  av_reduce(&out.num, &out.den, static_cast<std::int64_t>(last) * base.den, span * base.num, 1 << 30);
  return out;
}

} // namespace

void InfoSources::WriteMovie(JsonWriter& json, const pVideoClip& clip) {
  const auto* movie = dynamic_cast<const ContainerClip*>(&clip);
  if (!movie || !movie->Stream() || !movie->Stream()->IsOpen())
    return;
  const pContainerStream& stream = *movie->Stream();
  json.Key("source");
  json.BeginObject();
  json.Key("width");
  json.Number(stream.FrameWidth());
  json.Key("height");
  json.Number(stream.FrameHeight());
  const AVRational rate = PictureRate(stream);
  Fraction(json, "rate", rate.num, rate.den);
  Fraction(json, "timeBase", stream.TimeBase().num, stream.TimeBase().den);
  WriteMapping(json, stream.Map());
  json.Key("sound");
  if (clip.Audio() && clip.Audio()->IsValid()) {
    json.BeginObject();
    WriteSound(json, *clip.Audio());
    json.EndObject();
  } else {
    json.Null();
  }
  json.EndObject();
}

void InfoSources::WriteSound(JsonWriter& json, const pAudioClip& clip) {
  const auto* sound = dynamic_cast<const ContainerAudioClip*>(&clip);
  if (!sound || !sound->IsValid())
    return;
  json.Key("rate");
  json.Number(sound->GetRate());
  json.Key("channels");
  json.Number(sound->GetChannels());
}

} // namespace rw::cli
