#include "output/CompressorCatalogue.h"
#include "base/MessageText.h"
#include "output/settings/OutputInfo.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace rw {
namespace {

std::uint32_t C(const char* text) {
  return *CompressorCatalogue::ParseCode(text);
}

TEST(CompressorCatalogue, KnowsEveryListedCodeOnce) {
  std::set<std::string> codes;
  for (const CompressorInfo& info : CompressorCatalogue::Known()) {
    std::string lower = info.CodeText();
    for (char& c : lower)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(codes.insert(lower).second) << "duplicate " << info.CodeText();
    EXPECT_FALSE(info.description.empty());
    EXPECT_EQ(info.lossless, info.trialTolerance == 0) << info.CodeText();
  }
  for (const char* code : {"DIB ", "MJPG", "FMP4", "H264", "FFV1", "HFYU", "FFVH", "ULRG", "MAGY", "MPNG",
                           "ZMBV", "cvid", "MSVC", "MP42"})
    EXPECT_NE(CompressorCatalogue::FindKnown(C(code)), nullptr) << code;
}

TEST(CompressorCatalogue, OffersEveryCodeWhoseEncoderIsInstalled) {
  CompressorCatalogue catalogue;
  for (const CompressorInfo& info : CompressorCatalogue::Known()) {
    const bool installed = info.family == EncoderFamily::Stored ||
                           avcodec_find_encoder_by_name(std::string(info.encoder).c_str()) != nullptr;
    EXPECT_EQ(catalogue.Find(info.code) != nullptr, installed)
        << info.CodeText() << ": " << catalogue.TrialFailure(info.code);
    if (installed) {
      EXPECT_EQ(catalogue.TrialFailure(info.code), "") << info.CodeText();
    }
  }
  // Listing order is the order of the known table.
  const auto& entries = catalogue.Entries();
  for (std::size_t i = 1; i < entries.size(); ++i)
    EXPECT_LT(entries[i - 1], entries[i]);
}

TEST(CompressorCatalogue, CodesCompareWithoutLetterCase) {
  CompressorCatalogue catalogue;
  ASSERT_NE(catalogue.Find(C("MJPG")), nullptr);
  EXPECT_EQ(catalogue.Find(C("mjpg")), catalogue.Find(C("MJPG")));
  EXPECT_EQ(catalogue.Find(C("CVID")), catalogue.Find(C("cvid")));
  EXPECT_EQ(catalogue.Find(C("dib")), catalogue.Find(C("DIB ")));
  EXPECT_EQ(catalogue.Find(C("MJPG"))->encoder, "mjpeg");
  // Case folding is ASCII only and per byte: a different code never matches.
  EXPECT_EQ(catalogue.Find(C("MJPH")), nullptr);
}

TEST(CompressorCatalogue, UnknownCodeIsReportedByNameAndNeverReplaced) {
  CompressorCatalogue catalogue;
  MessageText messages;
  EXPECT_EQ(catalogue.Require(C("XVID"), messages), nullptr);
  EXPECT_NE(messages.Get().find("'XVID'"), std::string::npos) << messages.Get();
  messages.Clear();
  EXPECT_EQ(catalogue.Require(C("A\\001BC"), messages), nullptr);
  EXPECT_NE(messages.Get().find("'A\\001BC'"), std::string::npos) << messages.Get();
  messages.Clear();
  EXPECT_NE(catalogue.Require(C("ffv1"), messages), nullptr);
  EXPECT_TRUE(messages.Empty());
}

TEST(CompressorCatalogue, ParsesCodeTexts) {
  EXPECT_EQ(C("DIB"), C("DIB "));
  EXPECT_EQ(C("DIB\\040"), C("DIB "));
  EXPECT_EQ(C("MJPG"), 0x47504A4Du);
  EXPECT_FALSE(CompressorCatalogue::ParseCode(""));
  EXPECT_FALSE(CompressorCatalogue::ParseCode("MJPEG"));
  EXPECT_FALSE(CompressorCatalogue::ParseCode(std::string_view("A\0B", 3)));
  EXPECT_FALSE(CompressorCatalogue::ParseCode("AB\\000C"));
}

TEST(CompressorCatalogue, InterpretsStoredCompressOptions) {
  CompressOptions stored;
  stored.dwQuality = 0xFFFFFFFFu; // "default"
  stored.dwKeyFrameEvery = 15;
  stored.dwBytesPerSecond = 100000;
  stored.dwFlags = 0; // neither interval nor data rate chosen
  EncoderSettings s = EncoderSettings::From(stored);
  EXPECT_EQ(s.quality, EncoderSettings::kDefaultQuality);
  EXPECT_EQ(s.keyFrameEvery, EncoderSettings::kDefaultKeyFrameEvery);
  EXPECT_EQ(s.bytesPerSecond, 0);

  stored.dwQuality = 0;
  stored.dwFlags = 0x2 | 0x4;
  s = EncoderSettings::From(stored);
  EXPECT_EQ(s.quality, 0);
  EXPECT_EQ(s.keyFrameEvery, 15);
  EXPECT_EQ(s.bytesPerSecond, 100000);

  stored.dwQuality = 10001;
  stored.dwKeyFrameEvery = 0;
  stored.dwBytesPerSecond = 0;
  s = EncoderSettings::From(stored);
  EXPECT_EQ(s.quality, EncoderSettings::kDefaultQuality);
  EXPECT_EQ(s.keyFrameEvery, EncoderSettings::kDefaultKeyFrameEvery);
  EXPECT_EQ(s.bytesPerSecond, 0);
}

} // namespace
} // namespace rw
