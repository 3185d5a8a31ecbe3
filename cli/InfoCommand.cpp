#include "cli/InfoCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/InfoSources.h"
#include "cli/JsonWriter.h"
#include "media/ColormatClip.h"

#include <cstdio>
#include <filesystem>

namespace rw::cli {
namespace {

void FileOrNull(JsonWriter& json, const std::filesystem::path& file) {
  if (file.empty()) {
    json.Null();
    return;
  }
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(file, ec);
  json.String((ec ? file : full).string());
}

// The four bytes of a compressor code, lowest first, each as the character of that code point.
std::string CodeText(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>(code >> (8 * i));
    if (byte < 0x80) {
      text += static_cast<char>(byte);
    } else {
      text += static_cast<char>(0xC0 | byte >> 6);
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

void WriteSelection(JsonWriter& json, const EditInfo& state) {
  json.Key("selection");
  json.BeginObject();
  json.Key("mode");
  json.String(state.selMode == SelMode::Frames ? "frame" : state.selMode == SelMode::Cuts ? "clip" : "none");
  json.Key("start");
  json.Number(state.selStart);
  json.Key("end");
  json.Number(state.selEnd);
  json.EndObject();
}

void WriteOutput(JsonWriter& json, const OutputInfo& output) {
  const CompressOptions& compress = output.Compress();
  json.Key("output");
  json.BeginObject();
  json.Key("width");
  json.Number(output.VideoWidth());
  json.Key("height");
  json.Number(output.VideoHeight());
  json.Key("rate");
  json.Number(output.VideoRate());
  json.Key("audioOut");
  json.Bool(output.AudioOut());
  json.Key("audioRate");
  json.Number(output.AudioRate());
  json.Key("audioBits");
  json.Number(output.AudioBits());
  json.Key("audioChannels");
  json.Number(output.AudioChannels());
  json.Key("compressor");
  if (compress.fccHandler == 0)
    json.Null();
  else
    json.String(CodeText(compress.fccHandler));
  json.Key("keyFrameEvery");
  json.Number(compress.dwKeyFrameEvery);
  json.Key("quality");
  json.Number(compress.dwQuality);
  json.Key("bytesPerSecond");
  json.Number(compress.dwBytesPerSecond);
  json.Key("flags");
  json.Number(compress.dwFlags);
  json.Key("recompress");
  json.Bool(output.Recompress());
  json.EndObject();
}

// The two keys of an entry whose file did not open; entries that opened do not have them.
void WriteOffline(JsonWriter& json, const std::string& reason) {
  json.Key("offline");
  json.Bool(true);
  json.Key("reason");
  json.String(reason);
}

void WriteAudio(JsonWriter& json, const pAudioClip& clip) {
  json.BeginObject();
  json.Key("kind");
  json.String(clip.GetKindName());
  json.Key("file");
  FileOrNull(json, clip.FileName());
  json.Key("beginSample");
  json.Number(clip.GetBeginSample());
  json.Key("length");
  json.Number(clip.Length());
  json.Key("playFrame");
  json.Number(clip.PlayFrame());
  json.Key("overClip");
  json.Bool(clip.OverClip());
  json.Key("volume");
  json.Number(clip.Volume());
  InfoSources::WriteSound(json, clip);
  if (clip.IsOffline()) {
    json.Key("valid");
    json.Bool(false);
    WriteOffline(json, clip.OfflineReason());
  }
  json.EndObject();
}

void WriteEntry(JsonWriter& json, const pVideoClipList& list, std::int32_t i) {
  const ClipInfo& entry = list.EntryAt(i);
  const pVideoClip& clip = *entry.clip;
  json.BeginObject();
  json.Key("kind");
  json.String(clip.GetKindName());
  json.Key("file");
  FileOrNull(json, clip.FileName());
  json.Key("begin");
  json.Number(clip.GetBeginFrame());
  json.Key("end");
  json.Number(clip.GetEndFrame());
  json.Key("length");
  json.Number(clip.Length());
  json.Key("start");
  json.Number(list.StartOf(i));
  json.Key("valid");
  json.Bool(clip.IsValid());
  if (clip.IsOffline())
    WriteOffline(json, clip.OfflineReason());
  InfoSources::WriteMovie(json, clip);
  json.Key("transition");
  if (entry.trans.IsPresent()) {
    json.BeginObject();
    json.Key("kind");
    json.String(entry.trans.Keyword());
    json.Key("length");
    json.Number(entry.trans.Length());
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key("ownAudio");
  if (clip.Audio() && clip.Audio()->IsValid()) {
    json.BeginObject();
    json.Key("volume");
    json.Number(clip.Audio()->Volume());
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key("color");
  if (const auto* mat = dynamic_cast<const ColormatClip*>(&clip)) {
    json.BeginObject();
    json.Key("red");
    json.Number(static_cast<std::int32_t>(mat->Red()));
    json.Key("green");
    json.Number(static_cast<std::int32_t>(mat->Green()));
    json.Key("blue");
    json.Number(static_cast<std::int32_t>(mat->Blue()));
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key("audio");
  json.BeginArray();
  for (std::int32_t k = 0; k < entry.audio.Count(); ++k)
    if (const AudioClip member = entry.audio.At(k))
      WriteAudio(json, *member);
  json.EndArray();
  json.EndObject();
}

} // namespace

std::string InfoCommand::Describe(const VideoProject& project) {
  const pVideoClipList& list = project.List();
  JsonWriter json;
  json.BeginObject();
  json.Key("totalFrames");
  json.Number(list.TotalFrames());
  json.Key("currentFrame");
  json.Number(project.CurrentFrame());
  WriteSelection(json, project.Current());
  WriteOutput(json, list.Output());
  json.Key("entries");
  json.BeginArray();
  for (std::int32_t i = 0; i < list.Count(); ++i)
    WriteEntry(json, list, i);
  json.EndArray();
  json.EndObject();
  return json.Text();
}

int InfoCommand::Run(const std::vector<std::string>& args) {
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {}, 1, 1, error))
    return UsageError(CliCommand::Of<InfoCommand>(), error);
  CliProject cli;
  if (!cli.Open(parsed.Positional()[0]))
    return cli.Fail("the project cannot be opened");
  const std::string text = Describe(cli.Project());
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    return CliProject::Error("cannot write the output");
  return kSuccess;
}

} // namespace rw::cli
