#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rw {

// Work state of one smoothing resample from a 24-bit bottom-up source into a destination of a
// different size. Build it on the stack, call Run once, discard it.
//
// Each source row is resampled horizontally into the row arrays (blue, green and red sums and
// the number of sub-samples per destination pixel): by box averaging over sub-samples when the
// width shrinks, by linear interpolation with clamped edges when it grows. Rows are then
// box-averaged into the accumulator arrays when the height shrinks, or interpolated between the
// accumulator (upper row) and the row arrays (lower row) when it grows. All arithmetic is integer
// and the results do not depend on how the loops are arranged.
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
  // Sub-samples per source pixel along a row (1..16).
  static std::int32_t HorizontalFactor(std::int32_t srcWidth, std::int32_t dstWidth);
  // Sub-samples per source row when the height shrinks (1..16).
  static std::int32_t VerticalFactor(std::int32_t srcHeight, std::int32_t dstHeight);

private:
  bool Allocate(bool wideAccumulators);
  void BuildBoxTable();
  void BuildLinearTable();
  void ResampleRow(const std::uint8_t* srcRow);
  void BoxRow(const std::uint8_t* srcRow);
  void LinearRow(const std::uint8_t* srcRow);
  void GrowRows(const std::uint8_t* src, std::uint8_t* dst);
  void WriteInterpolatedRow(std::int32_t q, std::uint8_t* dstRow) const;
  template <typename Acc> void AverageRows(const std::uint8_t* src, std::uint8_t* dst, Acc* accumulated);
  template <typename Acc> void WriteAverageRow(const Acc* accumulated, std::uint8_t* dstRow) const;
  // The accumulated sums of a destination pixel may not fit 32 bits.
  bool WideAccumulatorsNeeded() const;

  std::int32_t dstWidth_;
  std::int32_t dstHeight_;
  std::int32_t dstStride_;
  std::int32_t srcWidth_;
  std::int32_t srcHeight_;
  std::int32_t srcStride_;
  // Row arrays, one after another: blue, green, red, count.
  std::int32_t* rowBlue_ = nullptr;
  std::int32_t* rowGreen_ = nullptr;
  std::int32_t* rowRed_ = nullptr;
  std::int32_t* rowCount_ = nullptr;
  // Accumulator arrays (the upper row when the height grows): blue, green, red, count.
  std::int32_t* accBlue_ = nullptr;
  std::int32_t* accGreen_ = nullptr;
  std::int32_t* accRed_ = nullptr;
  std::int32_t* accCount_ = nullptr;
  // The same four accumulators in 64 bits, used instead when a shrink is so steep that the
  // sums could overflow 32 bits.
  std::int64_t* wideAcc_ = nullptr;
  std::int32_t horizontalFactor_ = 16;
  std::int32_t verticalFactor_ = 16;

  // Horizontal resampling worked out once per call: for the box rule, the source pixels and
  // their sub-sample weights per destination pixel; for the linear rule, the left and right
  // source pixel offsets and the phase per destination pixel.
  std::int32_t* termStart_ = nullptr; // dstWidth + 1 entries into the term arrays
  std::int32_t* termOffset_ = nullptr;
  std::int32_t* termWeight_ = nullptr;
  std::int32_t* linearLeft_ = nullptr;
  std::int32_t* linearRight_ = nullptr;
  std::int32_t* linearPhase_ = nullptr;

  // The one allocation of a call, holding every array above.
  std::unique_ptr<std::byte[]> storage_;
};

} // namespace rw
