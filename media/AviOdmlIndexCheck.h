#pragma once

namespace rw {

class AviFile;

// Looks at the OpenDML indexes of an AVI file before libavformat reads them. libavformat takes
// the entry count of such an index as it stands and reads on past the end of its chunk, taking
// whatever bytes follow for index entries: a count of 0x7fffffff makes it read the rest of the
// file as an index, which takes a long time on a large file and yields pictures from wrong
// places. A file that fails the check is read with its OpenDML indexes ignored.
//
// Sound means: every "indx" chunk in front of the "movi" list lies within the file and holds the
// entries it counts; an index of indexes points, in rising file order and without overlap, at
// standard indexes ("ix##") that lie within the file and hold the entries they count. A file
// without such chunks is sound.
class AviOdmlIndexCheck {
public:
  static bool IsSound(const AviFile& file);
};

} // namespace rw
