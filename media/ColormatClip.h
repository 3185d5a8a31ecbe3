#pragma once

#include "media/VideoClip.h"
#include "render/DIB.h"

#include <cstdint>

namespace rw {

// A still cut of one colour. It keeps the colour as a 1 x 1 swatch and, once SetSize has asked
// for another size, as a mat of that size; every frame is the same picture.
class ColormatClip : public pVideoClip {
public:
  static constexpr std::int32_t kMaxLength = 32767;
  static constexpr std::int32_t kNewLength = 30;

  // White, length not yet known (the form a record is read into).
  ColormatClip();
  // The given colour, 30 frames long (a mat added by the user).
  ColormatClip(std::uint32_t red, std::uint32_t green, std::uint32_t blue);
  ColormatClip(const ColormatClip& other) = default;

  pVideoClip* Clone() const override;
  std::int32_t GetWidth() const override;
  std::int32_t GetHeight() const override;
  const BitmapInfoHeader* GetFormat() override { return Delivered().Header(); }
  const std::uint8_t* GetFrame(std::int32_t /*i*/) override { return Delivered().Bits(); }
  const std::uint8_t* GetFirstFrame() override { return GetFrame(0); }
  const std::uint8_t* GetLastFrame() override { return GetFrame(0); }
  const BitmapInfoHeader* GetSourceFormat() override { return swatch_.Header(); }
  const std::uint8_t* GetSourceFrame(std::int32_t /*i*/) override { return swatch_.Bits(); }
  bool IsKeyFrame(std::int32_t i) const override { return i == 0; }
  bool IsNewFrame(std::int32_t i) const override { return i == 0; }
  std::int32_t GetBeginFrame() const override { return 0; }
  std::int32_t GetEndFrame() const override { return length_ - 1; }
  std::int32_t GetSourceLength() const override { return kMaxLength; }
  bool IsValid() const override { return swatch_.IsPresent(); }
  bool SetSize(std::int32_t w, std::int32_t h) override;
  bool SetLength(std::int32_t n) override;
  bool Configure(ColorChooser& chooser) override;
  bool IsConfigurable() const override { return true; }
  std::string_view GetKindName() const override { return "Mat"; }
  bool SaveExtra(RecordWriter& writer, int level) const override;
  bool LoadExtra(std::string_view key, std::string_view value) override;
  VideoClip Rebuild() override;

  // Stores the colour and repaints the swatch and, when present, the mat.
  void SetColor(std::uint32_t red, std::uint32_t green, std::uint32_t blue);
  std::uint32_t Red() const { return red_; }
  std::uint32_t Green() const { return green_; }
  std::uint32_t Blue() const { return blue_; }
  const DIB& Swatch() const { return swatch_; }
  const DIB& Mat() const { return mat_; }

private:
  DIB& Delivered() { return mat_.IsPresent() ? mat_ : swatch_; }
  void Paint(DIB& dib) const;

  DIB swatch_;
  DIB mat_;
  std::uint32_t red_ = 255;
  std::uint32_t green_ = 255;
  std::uint32_t blue_ = 255;
};

} // namespace rw
