#include "base/FileNameForm.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace rw {
namespace {

namespace fs = std::filesystem;
using FileNameForm::Read;
using FileNameForm::TryWrite;
using FileNameForm::Write;

const fs::path kFolder = "/home/user/movies/project";

TEST(FileNameFormTest, WriteRelativeToTheProjectFolder) {
  EXPECT_EQ(Write(kFolder / "a.avi", kFolder), "a.avi");
  EXPECT_EQ(Write(kFolder / "sub" / "a.avi", kFolder), "sub/a.avi");
  EXPECT_EQ(Write("/home/user/movies/b.wav", kFolder), "../b.wav");
  EXPECT_EQ(Write("/mnt/other disk/x.avi", kFolder), "\"../../../../mnt/other disk/x.avi\"");
  // The full path is normalised first.
  EXPECT_EQ(Write(kFolder / "sub" / ".." / "." / "a.avi", kFolder), "a.avi");
  // A trailing separator on the folder changes nothing.
  EXPECT_EQ(Write(kFolder / "a.avi", "/home/user/movies/project/"), "a.avi");
  EXPECT_EQ(Write("", kFolder), "");
}

TEST(FileNameFormTest, QuotingOfSpacesAndLeadingQuotes) {
  EXPECT_EQ(Write(kFolder / "a b.avi", kFolder), "\"a b.avi\"");
  EXPECT_EQ(Write(kFolder / "\"q\".avi", kFolder), "\"\\\"q\\\".avi\"");
  // A quote that is not the first character needs no quoting.
  EXPECT_EQ(Write(kFolder / "a\"b.avi", kFolder), "a\"b.avi");
  EXPECT_EQ(Write(kFolder / "tab\there.avi", kFolder), "\"tab\there.avi\"");
}

TEST(FileNameFormTest, ReadStoredForms) {
  EXPECT_EQ(Read("a.avi", kFolder), kFolder / "a.avi");
  EXPECT_EQ(Read("  \"a b.avi\"", kFolder), kFolder / "a b.avi");
  EXPECT_EQ(Read("\"\\\"q\\\".avi\"", kFolder), kFolder / "\"q\".avi");
  EXPECT_EQ(Read("../b.wav", kFolder), "/home/user/movies/b.wav");
  EXPECT_EQ(Read("./sub/../c.avi", kFolder), kFolder / "c.avi");
  EXPECT_EQ(Read("/abs/x.avi", kFolder), "/abs/x.avi");
  EXPECT_EQ(Read("/abs/./y/../x.avi", kFolder), "/abs/x.avi");
  // Unquoted names end at white space; a missing closing quote takes the rest.
  EXPECT_EQ(Read("a.avi trailing", kFolder), kFolder / "a.avi");
  EXPECT_EQ(Read("\"open ended", kFolder), kFolder / "open ended");
  // Backslashes other than before a quote are kept in quoted names.
  EXPECT_EQ(Read("\"x y/a\\b\"", kFolder), kFolder / "x y" / "a\\b");
  EXPECT_EQ(Read("", kFolder), fs::path());
  EXPECT_EQ(Read("   ", kFolder), fs::path());
  EXPECT_EQ(Read("\"\"", kFolder), fs::path());
}

TEST(FileNameFormTest, ReadFormsWrittenOnWindows) {
  EXPECT_EQ(Read("clip.avi", kFolder), kFolder / "clip.avi");
  EXPECT_EQ(Read("sub\\clip.avi", kFolder), kFolder / "sub" / "clip.avi");
  EXPECT_EQ(Read(".\\clip.avi", kFolder), kFolder / "clip.avi");
  EXPECT_EQ(Read("..\\clip.avi", kFolder), "/home/user/movies/clip.avi");
  EXPECT_EQ(Read("..\\..\\other\\clip.avi", kFolder), "/home/user/other/clip.avi");
  EXPECT_EQ(Read("\"..\\my movies\\clip.avi\"", kFolder), "/home/user/movies/my movies/clip.avi");
  // One leading backslash is dropped and the name stays in the project folder.
  EXPECT_EQ(Read("\\sub\\clip.avi", kFolder), kFolder / "sub" / "clip.avi");
  // Drive letters and server names are kept as read, with "/" separators.
  EXPECT_EQ(Read("C:\\movies\\clip.avi", kFolder), "C:/movies/clip.avi");
  EXPECT_EQ(Read("\"D:\\my movies\\clip.avi\"", kFolder), "D:/my movies/clip.avi");
  EXPECT_EQ(Read("\\\\server\\share\\clip.avi", kFolder), "//server/share/clip.avi");
  // Climbing above the root stops at the root.
  EXPECT_EQ(Read("..\\..\\..\\..\\..\\..\\x.avi", kFolder), "/x.avi");
}

TEST(FileNameFormTest, BackslashIsLiteralInNamesWithASlash) {
  EXPECT_EQ(Read("sub/a\\b.avi", kFolder), kFolder / "sub" / "a\\b.avi");
  EXPECT_EQ(Read("/abs/a\\b.avi", kFolder), "/abs/a\\b.avi");
  // Our own names that would otherwise read as Windows forms get a "./" in front.
  EXPECT_EQ(Write(kFolder / "a\\b.avi", kFolder), "./a\\b.avi");
  EXPECT_EQ(Write(kFolder / "\\lead.avi", kFolder), "./\\lead.avi");
  EXPECT_EQ(Write(kFolder / "C:x.avi", kFolder), "./C:x.avi");
  EXPECT_EQ(Write(kFolder / "sub" / "a\\b.avi", kFolder), "sub/a\\b.avi");
  EXPECT_EQ(Write(kFolder / "\\\\x" / "b.avi", kFolder), "./\\\\x/b.avi");
}

TEST(FileNameFormTest, NamesTheRecordTextCannotHoldAreRefused) {
  std::string stored = "junk";
  // The quoted form would end in \" and the closing quote would be read as part of the name.
  EXPECT_FALSE(TryWrite(kFolder / "a b\\", kFolder, stored));
  EXPECT_EQ(stored, "");
  EXPECT_FALSE(TryWrite(kFolder / "line\nbreak.avi", kFolder, stored));
  EXPECT_FALSE(TryWrite(kFolder / "\x95\x5C.avi", kFolder, stored)); // not UTF-8
  EXPECT_EQ(Write(kFolder / "a b\\", kFolder), "");
  // Without quotes a trailing backslash is harmless.
  EXPECT_TRUE(TryWrite(kFolder / "sub" / "ab\\", kFolder, stored));
  EXPECT_EQ(Read(stored, kFolder), kFolder / "sub" / "ab\\");
}

// Every name here must come back exactly through the stored form.
TEST(FileNameFormTest, RoundTrips) {
  const std::vector<fs::path> names = {
      kFolder / "plain.avi",
      kFolder / "with space.avi",
      kFolder / "  leading and trailing  ",
      kFolder / "\"quoted\"",
      kFolder / "\"",
      kFolder / "a\\\"b c", // backslash before a quote inside a quoted name
      kFolder / "back\\slash.avi",
      kFolder / "back\\slash and space.avi",
      kFolder / "sub dir" / "a\\b\\c.avi",
      kFolder / "\\\\server",
      kFolder / "x:y",
      kFolder / "\xE6\x98\xA0\xE5\x83\x8F" / "\xE8\xA1\xA8\xE7\xA4\xBA.avi", // 映像/表示.avi
      kFolder / "\xE3\x83\xA0\xE3\x83\xBC\xE3\x83\x93\xE3\x83\xBC \xEF\xBD\xB1.wav",
      kFolder / "\xC2\xA5yen\xE2\x80\xBE" / "x.avi", // ¥ and ‾, which Shift-JIS puts at 5C and 7E
      "/home/user/other.avi",
      "/home/user/movies/project-2/x.avi",
      "/elsewhere/\xE9\x9F\xB3 \"x\".wav",
      "/",
      kFolder,
      kFolder / "cr\rname",
  };
  for (const auto& name : names) {
    std::string stored;
    ASSERT_TRUE(TryWrite(name, kFolder, stored)) << name;
    EXPECT_EQ(Read(stored, kFolder), name) << "stored as " << stored;
    // Through the record writer, the line reader and the line parser, as a project file goes.
    RecordWriter writer(kFolder);
    ASSERT_TRUE(writer.FileKey(2, "FileName", name));
    RecordReader reader(writer.Text(), kFolder);
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    const RecordLine parsed = ParseRecordLine(line);
    ASSERT_TRUE(parsed.isKey);
    EXPECT_EQ(Read(parsed.value, reader.Folder()), name) << "line " << line;
  }
}

TEST(FileNameFormTest, ProjectFolderIsTheAbsoluteNormalisedParent) {
  EXPECT_EQ(FileNameForm::ProjectFolder("/home/user/p/../q/edit.rwe"), "/home/user/q");
  EXPECT_EQ(FileNameForm::ProjectFolder("/edit.rwe"), "/");
  const fs::path relative = FileNameForm::ProjectFolder("some/where/edit.rwe");
  EXPECT_TRUE(relative.is_absolute());
  EXPECT_EQ(relative, (fs::current_path() / "some" / "where").lexically_normal());
}

// The names are real files: what is read back opens the file that was written.
TEST(FileNameFormTest, StoredNamesFindTheFilesOnDisk) {
  test::TempDir dir;
  const fs::path project = dir / "proj dir" / "edit.rwe";
  const std::vector<fs::path> files = {
      dir / "proj dir" / "a b.avi",
      dir / "proj dir" / "sub" / "a\\b.wav",
      dir / "\xE7\xB4\xA0\xE6\x9D\x90" / "\"q\" 1.avi",
      dir / "x\\y",
  };
  fs::create_directories(project.parent_path());
  for (const auto& f : files) {
    fs::create_directories(f.parent_path());
    std::ofstream(f) << f.filename().string();
  }
  const fs::path folder = FileNameForm::ProjectFolder(project);
  for (const auto& f : files) {
    const fs::path back = Read(Write(f, folder), folder);
    ASSERT_TRUE(fs::exists(back)) << back;
    EXPECT_TRUE(fs::equivalent(back, f));
    std::ifstream in(back);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, f.filename().string());
  }
}

// A record as the Windows version wrote it: CRLF, CP932 bytes, "\" separators.
TEST(FileNameFormTest, WindowsRecordThroughTheReader) {
  const std::string text = "Clip: AVI\r\n"
                           "begin\r\n"
                           "  FileName: \"..\\\x91\x66\x8D\xDE \x95\x5C\\clip.avi\"\r\n" // 素材 表
                           "  StartFrame: 12\r\n"
                           "end\r\n";
  RecordReader reader(text, kFolder);
  std::string line;
  std::vector<RecordLine> parsed;
  while (reader.ReadLine(line))
    parsed.push_back(ParseRecordLine(line));
  ASSERT_EQ(parsed.size(), 5u);
  EXPECT_TRUE(SameWord(parsed[1].key, "BEGIN"));
  EXPECT_FALSE(parsed[1].isKey);
  ASSERT_TRUE(parsed[2].isKey);
  EXPECT_EQ(Read(parsed[2].value, reader.Folder()),
            fs::path("/home/user/movies/\xE7\xB4\xA0\xE6\x9D\x90 \xE8\xA1\xA8/clip.avi"));
  EXPECT_EQ(ReadNumber(parsed[3].value), 12);
  EXPECT_EQ(parsed[4].key, "end");
}

TEST(RecordWriterTest, WritesIndentedBlocksAndKeys) {
  RecordWriter w(kFolder);
  w.Line(0, "Clip: Mat");
  w.Begin(0);
  w.Key(1, "TotalFrame", std::int64_t{-30});
  w.Key(1, "Name", "x y");
  EXPECT_TRUE(w.FileKey(1, "FileName", kFolder / "m 1.avi"));
  w.Key(5, "Deep", std::int64_t{1});
  w.End(0);
  EXPECT_EQ(w.Text(), "Clip: Mat\n"
                      "begin\n"
                      "  TotalFrame: -30\n"
                      "  Name: x y\n"
                      "  FileName: \"m 1.avi\"\n"
                      "\t  Deep: 1\n"
                      "end\n");
  EXPECT_FALSE(w.Failed());
}

TEST(RecordWriterTest, RefusedFileNameIsReportedAndNotWritten) {
  RecordWriter w(kFolder);
  EXPECT_FALSE(w.FileKey(1, "FileName", kFolder / "a b\\"));
  EXPECT_TRUE(w.Failed());
  EXPECT_NE(w.FailureText().find("a b\\"), std::string::npos);
  EXPECT_EQ(w.Text(), "");
  EXPECT_EQ(w.Take(), "");
}

TEST(RecordWriterTest, FileLineLongerThanAReaderPieceIsRefused) {
  // "  FileName: " takes 12 bytes, so a stored name of 1011 bytes just fits a 1023-byte piece.
  RecordWriter w(kFolder);
  const std::string fits(1011, 'f');
  ASSERT_TRUE(w.FileKey(1, "FileName", kFolder / fits));
  RecordReader reader(w.Text(), kFolder);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(Read(ParseRecordLine(line).value, kFolder), kFolder / fits);
  EXPECT_FALSE(reader.ReadLine(line));

  EXPECT_FALSE(w.FileKey(1, "FileName", kFolder / (fits + "g")));
  EXPECT_TRUE(w.Failed());
  EXPECT_EQ(w.Text().size(), 1024u); // only the first line
}

} // namespace
} // namespace rw
