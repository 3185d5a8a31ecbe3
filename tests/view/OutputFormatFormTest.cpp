#include "view/OutputFormatForm.h"

#include "output/settings/OutputInfo.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

using Form = OutputFormatForm;

OutputInfo Sample() {
  OutputInfo info;
  info.SetVideoWidth(320);
  info.SetVideoHeight(240);
  info.SetAudioRate(22050);
  info.SetAudioBits(8);
  info.SetAudioChannels(1);
  info.SetAudioOut(false);
  info.SetRecompress(true);
  return info;
}

TEST(OutputFormatForm, FillShowsTheSettings) {
  const Form::Fields fields = Form::Fill(Sample());
  EXPECT_EQ(fields, (Form::Fields{"320", "240", false, 22050, 8, 1, true}));
  EXPECT_FALSE(Form::AudioButtonsEnabled(fields));
  const Form::Fields fresh = Form::Fill(OutputInfo());
  EXPECT_EQ(fresh, (Form::Fields{"0", "0", true, 44100, 16, 2, false}));
  EXPECT_TRUE(Form::AudioButtonsEnabled(fresh));
  // Every rate button stands for a rate the settings take.
  for (const std::int32_t rate : Form::kRates)
    EXPECT_TRUE(OutputInfo().SetAudioRate(rate)) << rate;
}

TEST(OutputFormatForm, ApplyTakesTheFieldsThroughTheSetters) {
  OutputInfo info = Sample();
  const Form::Outcome outcome = Form::Apply({" 640 ", "480", true, 48000, 16, 2, false}, info);
  EXPECT_TRUE(outcome.Accepted());
  EXPECT_EQ(info.VideoWidth(), 640);
  EXPECT_EQ(info.VideoHeight(), 480);
  EXPECT_TRUE(info.AudioOut());
  EXPECT_EQ(info.AudioRate(), 48000);
  EXPECT_EQ(info.AudioBits(), 16);
  EXPECT_EQ(info.AudioChannels(), 2);
  EXPECT_FALSE(info.Recompress());

  // Sizes outside 1..4096 and groups without a checked button keep the old values.
  info = Sample();
  EXPECT_TRUE(Form::Apply({"5000", "0", false, 0, 0, 0, true}, info).Accepted());
  EXPECT_EQ(info, Sample());
  EXPECT_TRUE(Form::Apply({"4096", "-3", false, 22050, 8, 1, true}, info).Accepted());
  EXPECT_EQ(info.VideoWidth(), 4096);
  EXPECT_EQ(info.VideoHeight(), 240);
}

TEST(OutputFormatForm, SizeThatIsNoWholeNumberChangesNothingAndNamesTheEdit) {
  OutputInfo info = Sample();
  Form::Outcome outcome = Form::Apply({"abc", "480", true, 48000, 16, 2, false}, info);
  EXPECT_EQ(outcome.bad, Form::Field::Width);
  EXPECT_NE(outcome.message.find("横"), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find("abc"), std::string::npos);
  EXPECT_EQ(info, Sample());

  outcome = Form::Apply({"640", "12.5", true, 48000, 16, 2, false}, info);
  EXPECT_EQ(outcome.bad, Form::Field::Height);
  EXPECT_NE(outcome.message.find("縦"), std::string::npos) << outcome.message;
  EXPECT_EQ(info, Sample());

  EXPECT_EQ(Form::Apply({"", "480", true, 48000, 16, 2, false}, info).bad, Form::Field::Width);
  EXPECT_EQ(Form::Apply({"640", "", true, 48000, 16, 2, false}, info).bad, Form::Field::Height);
  EXPECT_EQ(info, Sample());
  // A whole number too large for the settings is only out of range.
  EXPECT_TRUE(Form::Apply({"99999999999", "480", true, 48000, 16, 2, false}, info).Accepted());
  EXPECT_EQ(info.VideoWidth(), 320);
  EXPECT_EQ(info.VideoHeight(), 480);
}

} // namespace
} // namespace rw::view
