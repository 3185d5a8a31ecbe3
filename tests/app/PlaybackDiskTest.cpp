// Play in the editor window with SDL's disk driver as the sound device: the bytes the device
// played must be exactly those `reelwright-cli audio` writes for the same frames, between
// silence. The play runs in real time (under three seconds); the disk device plays a little
// faster than that, so its sound is complete before the picture reaches the end.

#include "tests/app/AppTestSupport.h"

#include "app/Playback.h"
#include "dialogs/WindowFont.h"
#include "tests/cli/PlayTestProject.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <optional>

namespace rw::app::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Where `expected` lies in `played`, when `played` is silence, then exactly `expected`, then
// silence (the expected sound may itself begin with silent samples).
std::optional<std::size_t> FramedBySilence(const Bytes& played, const Bytes& expected, std::uint8_t silence) {
  const auto sound = [silence](std::uint8_t b) { return b != silence; };
  const auto lead = [&](const Bytes& b) {
    return static_cast<std::size_t>(std::find_if(b.begin(), b.end(), sound) - b.begin());
  };
  const std::size_t leadPlayed = lead(played);
  const std::size_t leadExpected = lead(expected);
  if (leadExpected == expected.size() || leadPlayed < leadExpected)
    return std::nullopt;
  const std::size_t at = leadPlayed - leadExpected;
  if (played.size() - at < expected.size() ||
      !std::equal(expected.begin(), expected.end(), played.begin() + at))
    return std::nullopt;
  if (std::any_of(played.begin() + static_cast<std::ptrdiff_t>(at + expected.size()), played.end(), sound))
    return std::nullopt;
  return at;
}

} // namespace

class PlaybackDiskTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir dir_;

  // reelwright-cli audio PROJECT OUT.wav --from A: the WAV's data.
  Bytes AudioCommand(const std::filesystem::path& project, int from) {
    const std::filesystem::path wav = dir_ / "expected.wav";
    QProcess cli;
    cli.start(RW_CLI_PATH, {"audio", QString::fromStdString(project.string()),
                            QString::fromStdString(wav.string()), "--from", QString::number(from)});
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
      return {};
    const Bytes bytes = rw::test::ReadFileBytes(wav);
    return bytes.size() > 44 ? Bytes(bytes.begin() + 44, bytes.end()) : Bytes();
  }

  // Plays from `from` to the end in a window over `project`; answers what the device played.
  Bytes PlayInWindow(const std::filesystem::path& project, int from, QString& endLine) {
    const std::filesystem::path device = dir_ / "device.raw";
    std::filesystem::remove(device);
    TestWindow window({project.string()});
    Playback* play = &window.Form().Transport();
    window.Form().show();
    if (!QTest::qWaitForWindowExposed(&window.Form()))
      return {};
    window.Form().Refresh(from, false);
    play->Start(1);
    QElapsedTimer t;
    t.start();
    while (play->Playing() && t.elapsed() < 20000)
      QTest::qWait(10);
    endLine = window.Widgets().label17->text();
    if (play->Playing() || play->Sound().IsOpen())
      return {};
    return rw::test::ReadFileBytes(device);
  }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    // SDL takes the driver when its sound starts, at the first device opened.
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", (dir_ / "device.raw").c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "8", 1);
  }

  void deviceGetsExactlyTheAudioCommandsBytes() {
    const std::filesystem::path project = rw::test::WritePlayProject(dir_.Path(), 44100, 2, 16);
    // 81 frames: more than the 60 queued at the start, so the top-ups feed the rest.
    const Bytes expected = AudioCommand(project, 4);
    QVERIFY(!expected.empty());
    QCOMPARE(expected.size(), std::size_t{81} * 1470 * 4);
    for (int attempt = 0; attempt < 2; ++attempt) {
      QString endLine;
      const Bytes played = PlayInWindow(project, 4, endLine);
      QVERIFY2(!played.empty(), "play did not end, or the device stayed open");
      QVERIFY(endLine.startsWith("Total = 85, DropFrame = "));
      if (FramedBySilence(played, expected, 0x00))
        return;
      // A gap in the middle: this process was starved longer than the queue lasts, or a stall
      // of over a second restarted the sound; the bytes around it must still be ours.
      if (attempt == 1)
        QFAIL("the device did not play the audio command's bytes in two runs");
    }
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::PlaybackDiskTest)
#include "PlaybackDiskTest.moc"
