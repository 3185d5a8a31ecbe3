#pragma once

namespace rw {
class pAudioClip;
class pVideoClip;
} // namespace rw

namespace rw::cli {

class JsonWriter;

// The source keys that `info` adds for cuts and audio clips of movie and sound files (kinds
// "Movie" and "Sound"): the source's own rate and size, and how its pictures fall on the 30 fps
// frames of the cut. Other kinds get nothing, so their description stays as it was.
class InfoSources {
public:
  // "source": {...} for a movie cut that is open; nothing otherwise.
  static void WriteMovie(JsonWriter& json, const pVideoClip& clip);
  // "rate" and "channels" for an open audio clip of a movie or sound file; nothing otherwise.
  static void WriteSound(JsonWriter& json, const pAudioClip& clip);
};

} // namespace rw::cli
