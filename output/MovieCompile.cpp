#include "output/MovieCompile.h"

#include "base/MessageText.h"
#include "media/FrameCacheBudget.h"
#include "media/MediaContext.h"
#include "media/VideoClip.h"
#include "output/CompressorCatalogue.h"
#include "output/FileMovieSink.h"
#include "output/MovieCompileCopy.h"
#include "output/MovieCompileFrames.h"
#include "output/MovieCompilePipeline.h"
#include "output/MovieWriter.h"
#include "output/SourcePicture.h"
#include "output/settings/FourCharCode.h"
#include "project/EditDialogs.h"
#include "project/OfflineMedia.h"
#include "project/VideoProject.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <system_error>
#include <thread>
#include <vector>

namespace rw {

namespace {

// The movie's file under its temporary name; messages name the file the user asked for.
class PartialFileSink : public FileMovieSink {
public:
  PartialFileSink(const std::filesystem::path& partial, std::string shown)
      : FileMovieSink(partial), shown_(std::move(shown)) {}
  std::string Name() const override { return shown_; }

private:
  std::string shown_;
};

std::string CannotWrite(const std::filesystem::path& file) {
  return "ファイル" + MessageText::Quoted(file) + "の書き込みができませんでした\n";
}

// The reason after a CannotWrite line.
std::string Why(std::string_view reason) {
  std::string line = "(";
  line += reason;
  line += ")\n";
  return line;
}

void RemoveQuietly(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

// The files a project reads: its cuts and sounds, and the project file itself.
std::vector<std::filesystem::path> FilesRead(const VideoProject& project) {
  std::vector<std::filesystem::path> files;
  auto add = [&](const std::filesystem::path& f) {
    if (!f.empty())
      files.push_back(f);
  };
  add(project.FileName());
  const pVideoClipList& list = project.List();
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    if (!entry.clip.IsNull()) {
      add(entry.clip->FileName());
      if (!entry.clip->Audio().IsNull())
        add(entry.clip->Audio()->FileName());
    }
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k) {
      const AudioClip member = entry.audio.At(k);
      if (!member.IsNull())
        add(member->FileName());
    }
  }
  return files;
}

// The message naming what failed when the writer cannot open.
std::string OpenFailure(MovieWriter::OpenResult result, const std::filesystem::path& file) {
  switch (result) {
  case MovieWriter::OpenResult::FileNotWritable:
    return CannotWrite(file);
  case MovieWriter::OpenResult::VideoStreamFailed:
    return "AVIファイルへの映像出力に失敗しました\n";
  case MovieWriter::OpenResult::EncoderFailed:
    return "画像圧縮に失敗しました\n";
  case MovieWriter::OpenResult::AudioStreamFailed:
    return "音声出力に失敗しました\n";
  case MovieWriter::OpenResult::Opened:
    break;
  }
  return {};
}

// Holds the media context's picture caches to the compile's size while it lives; the limit before
// is set again afterwards.
class CompileCacheLimit {
public:
  static constexpr std::size_t kBytes = std::size_t{16} << 20;

  explicit CompileCacheLimit(FrameCacheBudget& budget) : budget_(budget), before_(budget.Limit()) {
    budget_.SetLimit(std::min(before_, kBytes));
  }
  ~CompileCacheLimit() { budget_.SetLimit(before_); }
  CompileCacheLimit(const CompileCacheLimit&) = delete;
  CompileCacheLimit& operator=(const CompileCacheLimit&) = delete;

private:
  FrameCacheBudget& budget_;
  std::size_t before_;
};

bool Store(MovieWriter& writer, const MovieCompileStep& step, bool audio) {
  bool ok = true;
  switch (step.video) {
  case MovieCompileStep::Video::Picture:
    ok = writer.WritePicture(step.position, step.picture, step.key);
    break;
  case MovieCompileStep::Video::Frame:
    ok = step.frame && writer.WriteFrame(step.position, *step.frame, step.key);
    break;
  case MovieCompileStep::Video::Sample:
    ok = writer.WriteSample(step.position, step.sample, step.key);
    break;
  case MovieCompileStep::Video::None:
    break;
  }
  return ok && (!audio || writer.WriteAudio(step.audio));
}

} // namespace

MovieCompile::MovieCompile() {
  threads_ = std::thread::hardware_concurrency() > 1 ? 2 : 1;
}

std::filesystem::path MovieCompile::PartialName(const std::filesystem::path& file) {
  std::filesystem::path partial = file;
  partial += ".partial";
  return partial;
}

std::string MovieCompile::OfflineRefusal(const std::vector<OfflineFile>& files, std::size_t room) {
  // Room kept for the count of the files left out.
  constexpr std::size_t kCountLine = 48;
  std::string text = "開けないファイルがあるため、ムービーを作成できません:\n";
  std::size_t shown = 0;
  for (const OfflineFile& f : files) {
    std::string line = "  " + f.file.string();
    if (!f.reason.empty())
      line += ": " + f.reason;
    line += '\n';
    const bool last = shown + 1 == files.size();
    if (text.size() + line.size() + (last ? 0 : kCountLine) > room)
      break;
    text += line;
    ++shown;
  }
  if (shown < files.size())
    text += "  ほか" + std::to_string(files.size() - shown) + "個のファイル\n";
  return text;
}

bool MovieCompile::CheckMedia(const pVideoClipList& list, MessageText& messages) {
  const std::vector<OfflineFile> offline = OfflineMedia::List(list);
  if (offline.empty())
    return true;
  const std::size_t used = messages.Get().size();
  messages.Append(OfflineRefusal(offline, used < MessageText::kCapacity ? MessageText::kCapacity - used : 0));
  return false;
}

bool MovieCompile::CheckTarget(const VideoProject& project, const std::filesystem::path& file,
                               MessageText& messages) {
  std::error_code error;
  if (!std::filesystem::exists(file, error))
    return true;
  for (const std::filesystem::path& read : FilesRead(project)) {
    if (std::filesystem::equivalent(file, read, error)) {
      messages.Append(CannotWrite(file));
      messages.Append("(プロジェクトが使っているファイルです)\n");
      return false;
    }
  }
  return true;
}

bool MovieCompile::Compile(VideoProject& project, EditDialogs& dialogs, const std::filesystem::path& file,
                           const Progress& progress) {
  summary_ = Summary();
  MessageText& messages = project.Messages();

  // Preparation: what the settings lack is asked for first.
  if (project.List().Count() == 0)
    return false;
  if (!CheckMedia(project.List(), messages))
    return false;
  if (project.List().Output().VideoWidth() <= 0 || project.List().Output().VideoHeight() <= 0)
    if (!project.SetOutputFormat(dialogs))
      return false;
  if (project.List().Output().Compress().fccHandler == 0)
    if (!project.ChooseCompressor(dialogs))
      return false;
  const VideoClipList hold = project.Current().list; // the list stays alive whatever happens
  const pVideoClipList& list = *hold;
  const OutputInfo settings = list.Output();

  if (!CheckTarget(project, file, messages))
    return false;
  const std::uint32_t code = settings.Compress().fccHandler;
  const CompressorInfo* compressor = CompressorCatalogue::FindKnown(code);
  if (!compressor) {
    messages.Append("圧縮方式'" + FourCharCode::Encode(code) + "'は知られていません\n");
    messages.Append("画像圧縮に失敗しました\n");
    return false;
  }

  const MovieFormat format = MovieFormat::From(settings);
  VideoSource video;
  video.compressor = compressor;
  video.settings = EncoderSettings::From(settings.Compress());
  video.settings.threads = threads_ > 1 ? 0 : 1;
  MovieCompileCopy copy;
  if (!settings.Recompress()) {
    copy.Survey(list, settings);
    video.copyFrom = copy.Preferred();
  }
  // The decoded pictures of the movie cuts may go to the encoder as they are when it takes their
  // format.
  if (passThrough_ && compressor->family != EncoderFamily::Stored && !compressor->lossless)
    video.pixelFormat = SourcePicture::Survey(list, format.width, format.height, compressor->encoder,
                                              av_get_pix_fmt(std::string(compressor->pixelFormat).c_str()));

  const std::filesystem::path partial = PartialName(file);
  PartialFileSink sink(partial, file.string());
  if (!sink.Open()) {
    messages.Append(CannotWrite(file));
    messages.Append(Why(sink.ErrorText()));
    return false;
  }
  // The writer reports into its own text while the frames may be made on another thread.
  MessageText writerMessages;
  MovieWriter writer(writerMessages);
  MovieWriter::OpenResult opened = writer.Open(sink, format, video);
  if (opened == MovieWriter::OpenResult::EncoderFailed &&
      (video.copyFrom || video.pixelFormat != AV_PIX_FMT_NONE)) {
    // The compressor cannot make samples of the sources' kind: its own kind, copying only what fits.
    video.copyFrom = nullptr;
    video.pixelFormat = AV_PIX_FMT_NONE;
    opened = sink.Open() ? writer.Open(sink, format, video) : MovieWriter::OpenResult::FileNotWritable;
  }
  if (opened != MovieWriter::OpenResult::Opened) {
    messages.Append(OpenFailure(opened, file));
    if (!writer.FailureDetail().empty())
      messages.Append("(" + writer.FailureDetail() + ")\n");
    sink.Close();
    RemoveQuietly(partial);
    return false;
  }
  copy.SetOutput(settings.Recompress() ? nullptr : writer.VideoParameters());

  // Frame loop. The movie is read front to back: the decoded-picture caches need hold little
  // more than the pictures decoded ahead of the one asked for.
  CompileCacheLimit cacheLimit(project.Context().FrameCaches());
  MovieCompileFrames frames(list, settings, settings.Recompress() ? nullptr : &copy,
                            passThrough_ && !compressor->lossless ? writer.PictureFormat() : AV_PIX_FMT_NONE);
  summary_.frames = frames.Count();
  bool ok = true;
  {
    MovieCompilePipeline pipeline(frames, threads_ > 1);
    for (std::int32_t i = 0; i < summary_.frames; ++i) {
      summary_.done = i;
      const int percent = static_cast<int>(static_cast<std::int64_t>(i) * 100 / summary_.frames);
      if (progress && !progress(percent)) {
        summary_.stopped = true;
        break;
      }
      const MovieCompileStep* step = pipeline.Next();
      if (step && step->video == MovieCompileStep::Video::Frame)
        ++summary_.passedPictures;
      if (!step || !Store(writer, *step, format.audio)) {
        ok = false;
        break;
      }
      summary_.done = i + 1;
    }
    // Closing frame: the movie reaches its full length even when its last frames repeated.
    if (ok && !summary_.stopped) {
      const MovieCompileStep& closing = pipeline.Closing();
      summary_.passedPictures += closing.video == MovieCompileStep::Video::Frame ? 1 : 0;
      ok = Store(writer, closing, false);
    }
  }

  // Finish.
  if (ok)
    ok = writer.Finish(summary_.done);
  else
    writer.Abandon();
  summary_.encodedPictures = writer.EncodedPictures();
  summary_.copiedSamples = writer.CopiedSamples();
  summary_.audioSamples = writer.AudioSamples();
  if (!writerMessages.Empty())
    messages.Append(writerMessages.Get());
  if (ok && !sink.Close()) {
    messages.Append(CannotWrite(file));
    messages.Append(Why(sink.ErrorText()));
    ok = false;
  }
  std::error_code error;
  if (ok) {
    std::filesystem::rename(partial, file, error);
    if (error) {
      messages.Append(CannotWrite(file));
      messages.Append(Why(error.message()));
      ok = false;
    }
  }
  if (!ok) {
    sink.Close();
    RemoveQuietly(partial);
    if (writerMessages.Empty() && messages.Empty())
      messages.Append(CannotWrite(file));
  }
  return ok;
}

} // namespace rw
