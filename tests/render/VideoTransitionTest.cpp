#include "render/VideoTransition.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "render/DIB.h"
#include "render/TransitionKinds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace rw {
namespace {

DIB Filled(std::int32_t w, std::int32_t h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  DIB dib;
  EXPECT_TRUE(dib.Create(w, h));
  dib.FillColor(r, g, b);
  return dib;
}

// ---- handle and copy-on-write ----

TEST(VideoTransitionHandle, IsNeverNull) {
  VideoTransition t;
  ASSERT_FALSE(t.IsNull());
  EXPECT_FALSE(t.IsValid());
  EXPECT_FALSE(t.IsPresent());
  EXPECT_EQ(t.Length(), 0);
  EXPECT_EQ(t.Keyword(), "");
  VideoTransition adopted(nullptr);
  EXPECT_FALSE(adopted.IsNull());
  VideoTransition source = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
  VideoTransition moved(std::move(source));
  EXPECT_FALSE(source.IsNull()); // a moved-from handle still holds its transition
  EXPECT_EQ(moved.Keyword(), "Overlap");
  VideoTransition assigned;
  assigned = std::move(moved);
  EXPECT_FALSE(moved.IsNull());
}

TEST(VideoTransitionHandle, SetLengthRules) {
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeL2R);
  EXPECT_FALSE(t.SetLength(0));
  EXPECT_FALSE(t.SetLength(-3));
  EXPECT_EQ(t.Length(), 0);
  EXPECT_FALSE(t.IsPresent());
  EXPECT_TRUE(t.SetLength(15));
  EXPECT_EQ(t.Length(), 15);
  EXPECT_TRUE(t.IsPresent());
  EXPECT_FALSE(t.SetLength(15)); // unchanged length is refused
  // The empty transition accepts the call but keeps length 0, so it never becomes present.
  VideoTransition empty;
  EXPECT_TRUE(empty.SetLength(10));
  EXPECT_EQ(empty.Length(), 0);
  EXPECT_FALSE(empty.IsPresent());
}

TEST(VideoTransitionHandle, SetLengthCopiesASharedTransition) {
  VideoTransition a = TransitionKinds::MakeByIndex(TransitionKinds::kWipeE2I);
  ASSERT_TRUE(a.SetLength(10));
  VideoTransition b = a;
  EXPECT_EQ(a.UseCount(), 2);
  ASSERT_TRUE(b.SetLength(20));
  EXPECT_EQ(a.Length(), 10);
  EXPECT_EQ(b.Length(), 20);
  EXPECT_NE(a.Get(), b.Get());
  EXPECT_EQ(a.UseCount(), 1);
  EXPECT_EQ(b.UseCount(), 1);
  EXPECT_EQ(b.Keyword(), "WipeE2I"); // the copy is of the same kind
  // A private object is changed in place.
  const pVideoTransition* before = b.Get();
  ASSERT_TRUE(b.SetLength(21));
  EXPECT_EQ(b.Get(), before);
}

TEST(VideoTransitionHandle, SharedEmptyTransitionKeepsItsCountsRight) {
  // The empty transition's copy is a new object: detaching never leaves two holders on one
  // count, so releasing every handle frees each object exactly once (checked under ASan).
  VideoTransition a;
  VideoTransition b = a;
  VideoTransition c = a;
  EXPECT_TRUE(b.SetLength(5));
  EXPECT_EQ(a.UseCount(), 2);
  EXPECT_EQ(b.UseCount(), 1);
  EXPECT_NE(a.Get(), b.Get());
  EXPECT_FALSE(b.IsValid());
}

TEST(VideoTransitionHandle, CloneKeepsKindAndLength) {
  for (int kind = 0; kind < TransitionKinds::kCount; ++kind) {
    VideoTransition t = TransitionKinds::MakeByIndex(kind);
    ASSERT_TRUE(t.SetLength(7 + kind));
    VideoTransition copy(VideoTransition::Adopt(t->Clone()));
    EXPECT_EQ(copy.Keyword(), t.Keyword());
    EXPECT_EQ(copy.Length(), 7 + kind);
    EXPECT_EQ(copy.UseCount(), 1);
    EXPECT_EQ(t->Query(), 0);
  }
}

// ---- registry ----

TEST(TransitionRegistry, SevenRowsInOrder) {
  const char* keywords[] = {"WipeL2R", "WipeR2L", "WipeU2D", "WipeD2U", "WipeI2E", "WipeE2I", "Overlap"};
  const char* names[] = {"ワイプ 左→右",   "ワイプ 右→左",   "ワイプ 上→下",  "ワイプ 下→上",
                         "アイリス 中→外", "アイリス 外→中", "オーバーラップ"};
  ASSERT_EQ(TransitionKinds::Count(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(TransitionKinds::Keyword(i), keywords[i]);
    EXPECT_EQ(TransitionKinds::DisplayName(i), names[i]);
    VideoTransition t = TransitionKinds::MakeByIndex(i);
    EXPECT_TRUE(t.IsValid());
    EXPECT_EQ(t.Length(), 0);
    EXPECT_EQ(t.UseCount(), 1);
    EXPECT_EQ(t.Keyword(), keywords[i]);
    EXPECT_EQ(t.DisplayName(), names[i]);
    EXPECT_EQ(TransitionKinds::IndexOf(keywords[i]), i);
  }
  for (const int bad : {-1, 7, 1000}) {
    EXPECT_FALSE(TransitionKinds::MakeByIndex(bad).IsValid());
    EXPECT_EQ(TransitionKinds::Keyword(bad), "");
    EXPECT_EQ(TransitionKinds::DisplayName(bad), "");
  }
}

TEST(TransitionRegistry, KeywordsIgnoreLetterCase) {
  EXPECT_EQ(TransitionKinds::MakeByKeyword("wipel2r").Keyword(), "WipeL2R");
  EXPECT_EQ(TransitionKinds::MakeByKeyword("OVERLAP").Keyword(), "Overlap");
  EXPECT_EQ(TransitionKinds::IndexOf("WIPEe2i"), TransitionKinds::kWipeE2I);
  EXPECT_EQ(TransitionKinds::IndexOf("Wipe"), -1);
  EXPECT_EQ(TransitionKinds::IndexOf("WipeL2RX"), -1);
  EXPECT_EQ(TransitionKinds::IndexOf(""), -1);
  EXPECT_FALSE(TransitionKinds::MakeByKeyword("Dissolve").IsValid());
}

// ---- records ----

VideoTransition LoadText(std::string_view keyword, const std::string& text, MessageText* messages = nullptr) {
  RecordReader in(text);
  return TransitionKinds::Load(keyword, in, messages);
}

TEST(TransitionRecord, WritesTheBlockAtTheCallersLevel) {
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
  ASSERT_TRUE(t.SetLength(15));
  RecordWriter out;
  ASSERT_TRUE(t.WriteBlock(out, 1));
  EXPECT_EQ(out.Text(), "  begin\n    TransFrame: 15\n  end\n");
}

TEST(TransitionRecord, RoundTripOfEveryKind) {
  for (int kind = 0; kind < TransitionKinds::kCount; ++kind) {
    VideoTransition t = TransitionKinds::MakeByIndex(kind);
    ASSERT_TRUE(t.SetLength(3 + 11 * kind));
    RecordWriter out;
    out.Key(1, "Trans", t.Keyword());
    ASSERT_TRUE(t.WriteBlock(out, 1));
    out.Key(1, "Clip", "Mat");
    RecordReader in(out.Text());
    std::string first;
    ASSERT_TRUE(in.ReadLine(first));
    VideoTransition back = TransitionKinds::Load(t.Keyword(), in);
    EXPECT_EQ(back.Keyword(), t.Keyword());
    EXPECT_EQ(back.Length(), t.Length());
    EXPECT_TRUE(back.IsPresent());
    // The reader stops right after "end": the next record is still there.
    std::string next;
    ASSERT_TRUE(in.ReadLine(next));
    EXPECT_EQ(next, "  Clip: Mat");
  }
}

TEST(TransitionRecord, ReadingRules) {
  // Letter case of the keyword and of begin/end, bare words and comments skipped, unknown keys
  // ignored, the last TransFrame that is above 0 wins.
  VideoTransition t = LoadText("wipeL2R", "// note\nstray\nBEGIN\n  Colour: red\n  TransFrame: 9\n"
                                          "  extra words\n  TransFrame: 0\n  TransFrame: -4\n"
                                          "  TransFrame: many\nEnd\n");
  EXPECT_EQ(t.Keyword(), "WipeL2R");
  EXPECT_EQ(t.Length(), 9);

  VideoTransition zero = LoadText("Overlap", "begin\nTransFrame: 0\nend\n");
  EXPECT_TRUE(zero.IsValid()); // loaded, but not present
  EXPECT_EQ(zero.Length(), 0);
  EXPECT_FALSE(zero.IsPresent());
}

TEST(TransitionRecord, FailuresGiveAnEmptyTransitionAndAMessage) {
  const struct {
    const char* keyword;
    const char* text;
  } cases[] = {
      {"Dissolve", "begin\nTransFrame: 5\nend\n"}, // unknown kind
      {"Overlap", "TransFrame: 5\nbegin\nend\n"},  // key line before begin
      {"Overlap", "begin\nTransFrame: 5\n"},       // no end
      {"Overlap", ""},                             // nothing at all
      {"Overlap", "stray\n// only a comment\n"},   // no begin
  };
  for (const auto& c : cases) {
    MessageText messages;
    VideoTransition t = LoadText(c.keyword, c.text, &messages);
    EXPECT_FALSE(t.IsNull());
    EXPECT_FALSE(t.IsValid()) << c.text;
    EXPECT_FALSE(t.IsPresent());
    EXPECT_FALSE(messages.Empty()) << c.text;
  }
  // Without a message buffer the reader stays quiet.
  EXPECT_FALSE(LoadText("Overlap", "begin\n").IsValid());
}

TEST(TransitionRecord, EmptyTransitionWritesOnlyItsLength) {
  RecordWriter out;
  EXPECT_TRUE(VideoTransition().WriteBlock(out, 0));
  EXPECT_EQ(out.Text(), "begin\n  TransFrame: 0\nend\n");
}

// ---- render with resizing ----

TEST(TransitionResizing, ScalesPicturesOfOtherSizesFirst) {
  const DIB small = Filled(40, 30, 200, 100, 50);
  const DIB large = Filled(160, 90, 10, 20, 30);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
  ASSERT_TRUE(t.SetLength(4));
  for (const bool quick : {true, false}) {
    DIB a, b, expected, out;
    ASSERT_TRUE(a.Create(80, 60) && b.Create(80, 60) && expected.Create(80, 60) && out.Create(80, 60));
    ASSERT_TRUE(quick ? a.QuickResizeFrom(small) : a.ResizeFrom(small));
    ASSERT_TRUE(quick ? b.QuickResizeFrom(large) : b.ResizeFrom(large));
    ASSERT_TRUE(t.Render(expected.Header(), expected.Bits(), a.Bits(), b.Bits(), 2));
    ASSERT_TRUE(quick ? t.RenderQuick(out, small, large, 2) : t.RenderSmooth(out, small, large, 2));
    EXPECT_TRUE(out.IsSame(expected)) << (quick ? "quick" : "smooth");
  }
}

TEST(TransitionResizing, PicturesOfTheOutputSizeAreUsedAsTheyAre) {
  const DIB a = Filled(20, 10, 1, 2, 3);
  const DIB b = Filled(20, 10, 4, 5, 6);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeD2U);
  ASSERT_TRUE(t.SetLength(1));
  DIB out, expected;
  ASSERT_TRUE(out.Create(20, 10) && expected.Create(20, 10));
  ASSERT_TRUE(t.Render(expected.Header(), expected.Bits(), a.Bits(), b.Bits(), 0));
  ASSERT_TRUE(t.RenderSmooth(out, a, b, 0));
  EXPECT_TRUE(out.IsSame(expected));
}

TEST(TransitionResizing, RefusesMissingPicturesAndEmptyTransitions) {
  const DIB a = Filled(20, 10, 1, 2, 3);
  const DIB b = Filled(30, 10, 4, 5, 6);
  DIB out = Filled(20, 10, 9, 9, 9);
  const DIB before = out;
  VideoTransition empty;
  EXPECT_FALSE(empty.RenderQuick(out, a, b, 0));
  EXPECT_FALSE(empty.RenderSmooth(out, a, b, 0));
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeI2E);
  ASSERT_TRUE(t.SetLength(3));
  EXPECT_FALSE(t.RenderQuick(out, DIB(), b, 0));
  EXPECT_FALSE(t.RenderSmooth(out, a, DIB(), 0));
  EXPECT_TRUE(out.IsSame(before));
  DIB none;
  EXPECT_FALSE(t.RenderQuick(none, a, b, 0));
}

} // namespace
} // namespace rw
