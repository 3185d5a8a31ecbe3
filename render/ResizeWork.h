#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rw {

// Work state of one smoothing resample from a 24-bit bottom-up source into a destination of a
// different size. Build it on the stack, call Run once, discard it.
//
// Each source row is resampled horizontally into the row arrays (blue, green and red sums of
// every destination pixel, and the number of sub-samples behind them): by box averaging over
// sub-samples when the width shrinks, by linear interpolation with clamped edges when it grows.
// Rows are then box-averaged into the accumulator arrays when the height shrinks, or
// interpolated between the upper row (accumulator arrays) and the lower row (row arrays) when it
// grows. All arithmetic is integer; the inner loops are arranged for speed but every result is
// the one the plain integer rules give.
//
// The colour sums are kept interleaved, blue, green, red per destination pixel, so that the
// row writers run over one array of 3 x width values.
class ResizeWork {
public:
  ResizeWork(std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t srcWidth, std::int32_t srcHeight);
  ResizeWork(const ResizeWork&) = delete;
  ResizeWork& operator=(const ResizeWork&) = delete;
  ~ResizeWork();

  // Resamples src into dst, both 24-bit with rows padded to a multiple of 4 bytes. Padding bytes
  // of dst are not written. False when a size is below 1 or the work storage cannot be had.
  bool Run(const std::uint8_t* src, std::uint8_t* dst);

  // Greatest common divisor of two numbers of at least 1.
  static std::int32_t Gcd(std::int32_t a, std::int32_t b);
  // Sub-samples per source pixel along a row when the width shrinks.
  static std::int32_t HorizontalFactor(std::int32_t srcWidth, std::int32_t dstWidth);
  // Sub-samples per source row when the height shrinks.
  static std::int32_t VerticalFactor(std::int32_t srcHeight, std::int32_t dstHeight);

private:
  bool Allocate();
  void BuildBoxTable();
  void BuildLinearTable();
  // Resamples source row `row` into the row arrays.
  void ResampleRow(const std::uint8_t* src, std::int32_t row);
  // Box rule with a fixed number of terms per destination pixel (0: boxTerms_).
  template <int Terms> void BoxRow(const std::uint8_t* srcRow);
  void BoxRowAnyTerms(const std::uint8_t* srcRow);
  void LinearRow(const std::uint8_t* srcRow);
  void GrowRows(const std::uint8_t* src, std::uint8_t* dst);
  void WriteInterpolatedRow(std::int32_t q, std::uint8_t* dstRow) const;
  template <typename Acc> void AverageRows(const std::uint8_t* src, std::uint8_t* dst, Acc* accumulated);
  template <typename Acc>
  void WriteAverageRow(const Acc* sums, std::int32_t subRows, std::uint8_t* dstRow) const;
  // The accumulated sums of a destination pixel may not fit 32 bits.
  bool WideAccumulatorsNeeded() const;
  // Largest number of sub-samples behind one destination pixel when the height shrinks.
  std::int64_t MaxAverageCount() const;

  std::int32_t dstWidth_;
  std::int32_t dstHeight_;
  std::int32_t dstStride_;
  std::int32_t srcWidth_;
  std::int32_t srcHeight_;
  std::int32_t srcStride_;
  // Values per row array: 3 x dstWidth_ rounded up to whole vector blocks.
  std::size_t slots_ = 0;
  // Row arrays: interleaved colour sums, and the sub-sample count of every destination pixel
  // repeated for its three colours.
  std::int32_t* rowSums_ = nullptr;
  std::int32_t* rowCount_ = nullptr;
  // Accumulator arrays (the upper row when the height grows), 32 or 64 bits wide.
  std::int32_t* accSums_ = nullptr;
  std::int64_t* wideAccSums_ = nullptr;
  std::int32_t horizontalFactor_ = 16;
  std::int32_t verticalFactor_ = 16;

  // Horizontal resampling worked out once per call. Box rule: boxTerms_ source pixels (byte
  // offsets) with their sub-sample weights per destination pixel. Linear rule: the left and
  // right source byte and the phase per destination value.
  std::int32_t boxTerms_ = 0;
  std::int32_t* termOffset_ = nullptr;
  std::int32_t* termWeight_ = nullptr;
  std::int32_t* linearLeft_ = nullptr;
  std::int32_t* linearRight_ = nullptr;
  std::int32_t* linearPhase_ = nullptr;

  // The one allocation of a call, holding every array above.
  std::unique_ptr<std::byte[]> storage_;
};

} // namespace rw
