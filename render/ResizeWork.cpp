#include "render/ResizeWork.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rw {

namespace {

constexpr std::int32_t kMaxFactor = 16;

// Four lanes of 32-bit integers or floats; the row writers work on blocks of them. Division of
// an integer numerator below 2^24 by an integer divisor in single precision, truncated, is exactly
// the truncating integer division: the quotient's rounding error stays below 1 / divisor, the
// smallest distance of an inexact quotient from an integer.
using V4i = std::int32_t __attribute__((vector_size(16)));
using V4f = float __attribute__((vector_size(16)));
constexpr std::size_t kLanes = 4;
// Values per step of the row writers.
constexpr std::size_t kBlock = 16;
// Largest sub-sample count n whose rounded average (sum + n / 2) / n has a numerator below 2^24.
constexpr std::int64_t kFloatAverageCount = 65535;

V4i Load(const std::int32_t* p) {
  V4i v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void Store(std::int32_t* p, V4i v) {
  std::memcpy(p, &v, sizeof v);
}

V4i Truncate(V4f v) {
  return __builtin_convertvector(v, V4i);
}

V4f ToFloat(V4i v) {
  return __builtin_convertvector(v, V4f);
}

// Sixteen values as bytes, values above 255 written as 255 (the values are never negative);
// only the first `count` bytes are stored.
void StoreBytes(std::uint8_t* dst, const V4i (&v)[4], std::size_t count) {
#if defined(__SSE2__)
  const __m128i low = _mm_packs_epi32(reinterpret_cast<__m128i>(v[0]), reinterpret_cast<__m128i>(v[1]));
  const __m128i high = _mm_packs_epi32(reinterpret_cast<__m128i>(v[2]), reinterpret_cast<__m128i>(v[3]));
  const __m128i bytes = _mm_packus_epi16(low, high);
  if (count >= kBlock) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), bytes);
  } else {
    std::uint8_t tmp[kBlock];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(tmp), bytes);
    std::memcpy(dst, tmp, count);
  }
#else
  for (std::size_t k = 0; k < std::min(count, kBlock); ++k) {
    const std::int32_t value = v[k / kLanes][k % kLanes];
    dst[k] = static_cast<std::uint8_t>(value > 255 ? 255 : value);
  }
#endif
}

std::uint8_t ClampByte(std::int64_t value) {
  return value > 255 ? std::uint8_t{255} : static_cast<std::uint8_t>(value);
}

// Walks the box rule's sub-samples exactly as the balance takes them: destination pixel i takes
// sub-samples while the balance is negative, a source pixel standing for `factor` of them in a
// row. Calls take(i, pixel) once per sub-sample.
template <typename Take>
void WalkSubSamples(std::int32_t srcWidth, std::int32_t dstWidth, std::int32_t factor, Take&& take) {
  const std::int32_t step = srcWidth * factor;
  std::int32_t balance = 0;
  std::int32_t pixel = 0;
  std::int32_t used = 0;
  for (std::int32_t i = 0; i < dstWidth; ++i) {
    balance -= step;
    while (balance < 0) {
      if (used == factor) {
        ++pixel;
        used = 0;
      }
      take(i, pixel);
      ++used;
      balance += dstWidth;
    }
  }
}

} // namespace

ResizeWork::ResizeWork(std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t srcWidth,
                       std::int32_t srcHeight)
    : dstWidth_(dstWidth), dstHeight_(dstHeight), dstStride_((dstWidth * 3 + 3) & ~3), srcWidth_(srcWidth),
      srcHeight_(srcHeight), srcStride_((srcWidth * 3 + 3) & ~3) {}

ResizeWork::~ResizeWork() = default;

std::int32_t ResizeWork::Gcd(std::int32_t a, std::int32_t b) {
  if (a < b) {
    std::swap(a, b);
  }
  while (b > 0) {
    a %= b;
    std::swap(a, b);
  }
  return a;
}

std::int32_t ResizeWork::HorizontalFactor(std::int32_t srcWidth, std::int32_t dstWidth) {
  if (srcWidth < dstWidth) {
    return 1;
  }
  std::int32_t factor = kMaxFactor;
  const std::int32_t g = Gcd(srcWidth, dstWidth);
  if (dstWidth / g < kMaxFactor) {
    factor = dstWidth / g;
  }
  if (std::int64_t{srcWidth} * factor < dstWidth) {
    factor = dstWidth / srcWidth + 1;
  }
  return factor;
}

std::int32_t ResizeWork::VerticalFactor(std::int32_t srcHeight, std::int32_t dstHeight) {
  std::int32_t factor = kMaxFactor;
  const std::int32_t g = Gcd(srcHeight, dstHeight);
  if (dstHeight / g < kMaxFactor) {
    factor = dstHeight / g;
  }
  if (std::int64_t{srcHeight} * factor < dstHeight) {
    factor = dstHeight / srcHeight + 1;
  }
  return factor;
}

std::int64_t ResizeWork::MaxAverageCount() const {
  // At most ceil(sw * hf / dw) sub-samples along a row times at most ceil(sh * vf / dh) rows.
  const std::int64_t perRow =
      srcWidth_ >= dstWidth_ ? (std::int64_t{srcWidth_} * horizontalFactor_ + dstWidth_ - 1) / dstWidth_ : 1;
  const std::int64_t rows = (std::int64_t{srcHeight_} * verticalFactor_ + dstHeight_ - 1) / dstHeight_;
  return perRow * rows;
}

bool ResizeWork::WideAccumulatorsNeeded() const {
  if (srcHeight_ < dstHeight_) {
    return false; // the accumulators hold one resampled row
  }
  const std::int64_t count = MaxAverageCount();
  return count * 255 + count / 2 > std::numeric_limits<std::int32_t>::max();
}

bool ResizeWork::Allocate() {
  const std::size_t dw = static_cast<std::size_t>(dstWidth_);
  // One slot beyond the last value at least: the box rows store a stray fourth lane there.
  slots_ = (3 * dw + kBlock) / kBlock * kBlock;
  const bool box = srcWidth_ >= dstWidth_;
  if (box) {
    // Source pixels touched by one destination pixel, at most.
    std::int32_t first = 0;
    std::int32_t last = -1;
    std::int32_t current = -1;
    WalkSubSamples(srcWidth_, dstWidth_, horizontalFactor_, [&](std::int32_t i, std::int32_t pixel) {
      if (i != current) {
        current = i;
        first = pixel;
      }
      last = pixel;
      boxTerms_ = std::max(boxTerms_, last - first + 1);
    });
  }
  const bool wide = WideAccumulatorsNeeded();
  const std::size_t tableInts = box ? 2 * dw * static_cast<std::size_t>(boxTerms_) : 3 * slots_;
  const std::size_t bytes =
      slots_ * (2 * sizeof(std::int32_t) + (wide ? sizeof(std::int64_t) : sizeof(std::int32_t))) +
      tableInts * sizeof(std::int32_t);

  storage_.reset(new (std::nothrow) std::byte[bytes]);
  if (!storage_) {
    return false;
  }
  std::byte* next = storage_.get();
  auto take = [&next](std::size_t count) {
    auto* p = reinterpret_cast<std::int32_t*>(next);
    next += count * sizeof(std::int32_t);
    return p;
  };
  if (wide) {
    wideAccSums_ = reinterpret_cast<std::int64_t*>(next);
    next += slots_ * sizeof(std::int64_t);
  } else {
    accSums_ = take(slots_);
  }
  rowSums_ = take(slots_);
  rowCount_ = take(slots_);
  // Slots past the last pixel are computed along but never written: keep them harmless.
  std::fill(rowSums_, rowSums_ + slots_, 0);
  std::fill(rowCount_, rowCount_ + slots_, 1);
  if (box) {
    termOffset_ = take(dw * static_cast<std::size_t>(boxTerms_));
    termWeight_ = take(dw * static_cast<std::size_t>(boxTerms_));
  } else {
    linearLeft_ = take(slots_);
    linearRight_ = take(slots_);
    linearPhase_ = take(slots_);
  }
  return true;
}

bool ResizeWork::Run(const std::uint8_t* src, std::uint8_t* dst) {
  if (src == nullptr || dst == nullptr || dstWidth_ < 1 || dstHeight_ < 1 || srcWidth_ < 1 ||
      srcHeight_ < 1) {
    return false;
  }
  horizontalFactor_ = HorizontalFactor(srcWidth_, dstWidth_);
  verticalFactor_ = VerticalFactor(srcHeight_, dstHeight_);
  if (!Allocate()) {
    return false;
  }
  if (srcWidth_ >= dstWidth_) {
    BuildBoxTable();
  } else {
    BuildLinearTable();
  }

  if (srcHeight_ < dstHeight_) {
    GrowRows(src, dst);
  } else if (wideAccSums_ != nullptr) {
    AverageRows(src, dst, wideAccSums_);
  } else {
    AverageRows(src, dst, accSums_);
  }
  storage_.reset();
  return true;
}

void ResizeWork::BuildBoxTable() {
  // Every destination pixel gets boxTerms_ (offset, weight) pairs; pixels touching fewer source
  // pixels repeat their last one with weight 0.
  const std::size_t terms = static_cast<std::size_t>(boxTerms_);
  std::fill(rowCount_, rowCount_ + 3 * static_cast<std::size_t>(dstWidth_), 0);
  std::int32_t current = -1;
  std::size_t used = 0;
  auto pad = [&] {
    const std::size_t base = static_cast<std::size_t>(current) * terms;
    for (std::size_t t = used; t < terms; ++t) {
      termOffset_[base + t] = termOffset_[base + used - 1];
      termWeight_[base + t] = 0;
    }
  };
  WalkSubSamples(srcWidth_, dstWidth_, horizontalFactor_, [&](std::int32_t i, std::int32_t pixel) {
    if (i != current) {
      if (current >= 0) {
        pad();
      }
      current = i;
      used = 0;
    }
    const std::size_t base = static_cast<std::size_t>(i) * terms;
    if (used == 0 || termOffset_[base + used - 1] != pixel * 3) {
      termOffset_[base + used] = pixel * 3;
      termWeight_[base + used] = 0;
      ++used;
    }
    ++termWeight_[base + used - 1];
    for (std::size_t c = 0; c < 3; ++c) {
      // Counted once per colour slot so that the writers divide value by value.
      ++rowCount_[3 * static_cast<std::size_t>(i) + c];
    }
  });
  pad();
}

void ResizeWork::BuildLinearTable() {
  const std::int32_t sw = srcWidth_;
  const std::int32_t dw = dstWidth_;
  std::int32_t p = (dw + sw) / 2;
  std::int32_t left = 0;
  std::int32_t right = 0;
  if (p >= dw) {
    right = std::min(1, sw - 1);
    p -= dw;
  }
  std::fill(linearLeft_, linearLeft_ + slots_, 0);
  std::fill(linearRight_, linearRight_ + slots_, 0);
  std::fill(linearPhase_, linearPhase_ + slots_, 0);
  for (std::int32_t i = 0; i < dw; ++i) {
    for (std::int32_t c = 0; c < 3; ++c) {
      linearLeft_[i * 3 + c] = left * 3 + c;
      linearRight_[i * 3 + c] = right * 3 + c;
      linearPhase_[i * 3 + c] = p;
    }
    p += sw;
    if (p >= dw) {
      p -= dw;
      left = right;
      right = std::min(right + 1, sw - 1);
    }
  }
}

void ResizeWork::ResampleRow(const std::uint8_t* src, std::int32_t row) {
  const std::uint8_t* srcRow = src + static_cast<std::size_t>(srcStride_) * static_cast<std::size_t>(row);
  if (srcWidth_ < dstWidth_) {
    LinearRow(srcRow);
    return;
  }
#if defined(__SSE2__)
  // The vector rows load four bytes per pixel: safe except for the last pixel of a source
  // without row padding.
  if ((srcWidth_ * 3) % 4 != 0 || row + 1 < srcHeight_) {
    switch (boxTerms_) {
    case 1:
      BoxRow<1>(srcRow);
      return;
    case 2:
      BoxRow<2>(srcRow);
      return;
    case 3:
      BoxRow<3>(srcRow);
      return;
    case 4:
      BoxRow<4>(srcRow);
      return;
    default:
      BoxRow<0>(srcRow);
      return;
    }
  }
#endif
  BoxRowAnyTerms(srcRow);
}

#if defined(__SSE2__)
// Two source pixels at a time: their bytes interleaved and widened to 16 bits, multiplied by
// their weights and added pairwise (pmaddwd) give blue, green and red sums in the first three
// 32-bit lanes. The fourth lane holds a stray sum that the next pixel's store overwrites, or
// that lands in a slot past the last pixel. Weights are at most 16, so 16-bit lanes suffice.
template <int Terms> void ResizeWork::BoxRow(const std::uint8_t* srcRow) {
  const std::int32_t terms = Terms > 0 ? Terms : boxTerms_;
  const std::int32_t* offset = termOffset_;
  const std::int32_t* weight = termWeight_;
  std::int32_t* out = rowSums_;
  const __m128i zero = _mm_setzero_si128();
  auto pixel = [srcRow](std::int32_t at) {
    std::int32_t word;
    std::memcpy(&word, srcRow + at, sizeof word);
    return _mm_cvtsi32_si128(word);
  };
  for (std::int32_t i = 0; i < dstWidth_; ++i) {
    __m128i sum = zero;
    std::int32_t t = 0;
    for (; t + 1 < terms; t += 2) {
      const __m128i bytes = _mm_unpacklo_epi8(pixel(offset[t]), pixel(offset[t + 1]));
      const __m128i weights = _mm_set1_epi32((weight[t] & 0xFFFF) | (weight[t + 1] << 16));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weights));
    }
    if (t < terms) {
      const __m128i words = _mm_unpacklo_epi8(pixel(offset[t]), zero);
      sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(words, zero), _mm_set1_epi32(weight[t])));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), sum);
    out += 3;
    offset += terms;
    weight += terms;
  }
}
#endif

void ResizeWork::BoxRowAnyTerms(const std::uint8_t* srcRow) {
  const std::size_t terms = static_cast<std::size_t>(boxTerms_);
  for (std::size_t i = 0; i < static_cast<std::size_t>(dstWidth_); ++i) {
    std::int32_t sum[3] = {0, 0, 0};
    for (std::size_t t = i * terms; t < (i + 1) * terms; ++t) {
      const std::uint8_t* px = srcRow + termOffset_[t];
      const std::int32_t w = termWeight_[t];
      sum[0] += w * px[0];
      sum[1] += w * px[1];
      sum[2] += w * px[2];
    }
    std::memcpy(rowSums_ + 3 * i, sum, sizeof sum);
  }
}

void ResizeWork::LinearRow(const std::uint8_t* srcRow) {
  // value = left + (half(dw) + phase * (right - left)) / dw; |numerator| < 256 * dw < 2^24.
  const V4i half = V4i{} + dstWidth_ / 2;
  const V4f divisor = V4f{} + static_cast<float>(dstWidth_);
  for (std::size_t k = 0; k < slots_; k += kLanes) {
    const std::int32_t* l = linearLeft_ + k;
    const std::int32_t* r = linearRight_ + k;
    const V4i left = {srcRow[l[0]], srcRow[l[1]], srcRow[l[2]], srcRow[l[3]]};
    const V4i right = {srcRow[r[0]], srcRow[r[1]], srcRow[r[2]], srcRow[r[3]]};
    const V4i numerator = half + Load(linearPhase_ + k) * (right - left);
    Store(rowSums_ + k, left + Truncate(ToFloat(numerator) / divisor));
  }
}

void ResizeWork::GrowRows(const std::uint8_t* src, std::uint8_t* dst) {
  const std::size_t ds = static_cast<std::size_t>(dstStride_);
  const std::int32_t sh = srcHeight_;
  const std::int32_t dh = dstHeight_;

  // The upper row lives in the accumulator arrays, the lower in the row arrays; moving down a
  // row swaps the two and resamples the next source row into the row arrays.
  ResampleRow(src, 0);
  std::copy(rowSums_, rowSums_ + slots_, accSums_);
  std::int32_t next = 1;
  auto advance = [&] {
    if (next < sh) {
      std::swap(accSums_, rowSums_);
      ResampleRow(src, next++);
    } else {
      std::copy(rowSums_, rowSums_ + slots_, accSums_);
    }
  };
  std::int32_t q = (sh + dh) / 2;
  if (q >= dh) {
    if (next < sh) {
      ResampleRow(src, next++);
    }
    q -= dh;
  }
  for (std::int32_t y = 0; y < dh; ++y) {
    WriteInterpolatedRow(q, dst + ds * static_cast<std::size_t>(y));
    q += sh;
    if (q >= dh) {
      advance();
      q -= dh;
    }
  }
}

void ResizeWork::WriteInterpolatedRow(std::int32_t q, std::uint8_t* dstRow) const {
  const std::int32_t dh = dstHeight_;
  const std::size_t values = 3 * static_cast<std::size_t>(dstWidth_);
  if (srcWidth_ < dstWidth_) {
    // value = U + (half(dh) + q * (L - U)) / dh with U and L bytes: |numerator| < 256 * dh < 2^24.
    const V4i half = V4i{} + dh / 2;
    const V4i weight = V4i{} + q;
    const V4f divisor = V4f{} + static_cast<float>(dh);
    for (std::size_t k = 0; k < values; k += kBlock) {
      V4i value[4];
      for (std::size_t j = 0; j < 4; ++j) {
        const V4i upper = Load(accSums_ + k + j * kLanes);
        const V4i lower = Load(rowSums_ + k + j * kLanes);
        value[j] = upper + Truncate(ToFloat(half + weight * (lower - upper)) / divisor);
      }
      StoreBytes(dstRow + k, value, values - k);
    }
    return;
  }
  // Sums of n sub-samples: interpolate the sums, then average (in 64 bits, as the weighted
  // difference of two large sums need not fit 32).
  for (std::size_t k = 0; k < values; ++k) {
    const std::int64_t n = rowCount_[k];
    const std::int64_t upper = accSums_[k];
    const std::int64_t mixed = upper + (dh / 2 + q * (rowSums_[k] - upper)) / dh;
    dstRow[k] = ClampByte((mixed + n / 2) / n);
  }
}

template <typename Acc> void ResizeWork::AverageRows(const std::uint8_t* src, std::uint8_t* dst, Acc* acc) {
  const std::size_t ds = static_cast<std::size_t>(dstStride_);
  const std::int32_t step = srcHeight_ * verticalFactor_;

  // Sub-samples of the current source row not yet added, and whether the accumulator still
  // holds nothing of the present destination row (it is then set rather than added to).
  std::int32_t pending = 0;
  bool fresh = true;
  auto flush = [&] {
    if (pending == 0) {
      return;
    }
    const Acc times = pending;
    if constexpr (std::is_same_v<Acc, std::int32_t>) {
      for (std::size_t k = 0; k < slots_; k += kLanes) {
        const V4i add = Load(rowSums_ + k) * times;
        Store(acc + k, fresh ? add : Load(acc + k) + add);
      }
    } else {
      for (std::size_t k = 0; k < slots_; ++k) {
        acc[k] = (fresh ? 0 : acc[k]) + times * rowSums_[k];
      }
    }
    fresh = false;
    pending = 0;
  };

  std::int32_t balance = 0;
  std::int32_t repeat = 0;
  std::int32_t next = 0;
  for (std::int32_t y = 0; y < dstHeight_; ++y) {
    std::int32_t subRows = 0;
    balance -= step;
    while (balance < 0) {
      if (repeat > 0) {
        --repeat;
      } else {
        flush();
        ResampleRow(src, std::min(next, srcHeight_ - 1));
        ++next;
        repeat = verticalFactor_ - 1;
      }
      ++pending;
      ++subRows;
      balance += dstHeight_;
    }
    std::uint8_t* dstRow = dst + ds * static_cast<std::size_t>(y);
    if (fresh && pending == 1 && !std::is_same_v<Acc, std::int64_t>) {
      // One sub-sample of one row: the row arrays are the sums.
      WriteAverageRow(rowSums_, 1, dstRow);
      pending = 0;
    } else {
      flush();
      WriteAverageRow(acc, subRows, dstRow);
    }
    fresh = true;
  }
}

template <typename Acc>
void ResizeWork::WriteAverageRow(const Acc* sums, std::int32_t subRows, std::uint8_t* dstRow) const {
  const std::size_t values = 3 * static_cast<std::size_t>(dstWidth_);
  if constexpr (std::is_same_v<Acc, std::int32_t>) {
    if (MaxAverageCount() <= kFloatAverageCount) {
      // value = (sum + half(n)) / n with n = row count x sub-rows, numerator below 2^24.
      const V4i rows = V4i{} + subRows;
      for (std::size_t k = 0; k < values; k += kBlock) {
        V4i value[4];
        for (std::size_t j = 0; j < 4; ++j) {
          const V4i n = Load(rowCount_ + k + j * kLanes) * rows;
          const V4i numerator = Load(sums + k + j * kLanes) + (n >> 1);
          value[j] = Truncate(ToFloat(numerator) / ToFloat(n));
        }
        StoreBytes(dstRow + k, value, values - k);
      }
      return;
    }
  }
  for (std::size_t k = 0; k < values; ++k) {
    const std::int64_t n = std::int64_t{rowCount_[k]} * subRows;
    dstRow[k] = ClampByte((sums[k] + n / 2) / n);
  }
}

} // namespace rw
