#include "view/OutputFormatForm.h"

#include "output/settings/OutputInfo.h"
#include "view/DecimalText.h"

#include <optional>

namespace rw::view {
namespace {

OutputFormatForm::Outcome NotANumber(OutputFormatForm::Field field, const std::string& text) {
  const char* name = field == OutputFormatForm::Field::Width ? "横" : "縦";
  return {field, std::string("画像解像度の") + name + "には整数を入力して下さい ('" + text +
                     "' は整数ではありません)"};
}

} // namespace

OutputFormatForm::Fields OutputFormatForm::Fill(const OutputInfo& settings) {
  Fields fields;
  fields.width = std::to_string(settings.VideoWidth());
  fields.height = std::to_string(settings.VideoHeight());
  fields.audioOut = settings.AudioOut();
  fields.audioRate = settings.AudioRate();
  fields.audioBits = settings.AudioBits();
  fields.audioChannels = settings.AudioChannels();
  fields.recompress = settings.Recompress();
  return fields;
}

OutputFormatForm::Outcome OutputFormatForm::Apply(const Fields& fields, OutputInfo& settings) {
  const std::optional<std::int32_t> width = DecimalText::Parse(fields.width);
  if (!width)
    return NotANumber(Field::Width, fields.width);
  const std::optional<std::int32_t> height = DecimalText::Parse(fields.height);
  if (!height)
    return NotANumber(Field::Height, fields.height);
  settings.SetVideoWidth(*width);
  settings.SetVideoHeight(*height);
  settings.SetAudioOut(fields.audioOut);
  settings.SetAudioRate(fields.audioRate);
  settings.SetAudioBits(fields.audioBits);
  settings.SetAudioChannels(fields.audioChannels);
  settings.SetRecompress(fields.recompress);
  return {};
}

} // namespace rw::view
