#include "render/ResizeWork.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace rw {

namespace {

constexpr std::int32_t kMaxFactor = 16;

std::uint8_t ClampByte(std::int64_t value) {
  return value > 255 ? std::uint8_t{255} : static_cast<std::uint8_t>(value);
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

bool ResizeWork::WideAccumulatorsNeeded() const {
  if (srcHeight_ < dstHeight_) {
    return false; // the accumulators hold one resampled row
  }
  // Sub-samples per destination pixel: at most ceil(sw * hf / dw) along a row times at most
  // ceil(sh * vf / dh) rows.
  const std::int64_t perRow =
      srcWidth_ >= dstWidth_ ? (std::int64_t{srcWidth_} * horizontalFactor_ + dstWidth_ - 1) / dstWidth_ : 1;
  const std::int64_t rows = (std::int64_t{srcHeight_} * verticalFactor_ + dstHeight_ - 1) / dstHeight_;
  const std::int64_t count = perRow * rows;
  return count * 255 + count / 2 > std::numeric_limits<std::int32_t>::max();
}

bool ResizeWork::Allocate(bool wideAccumulators) {
  const std::size_t dw = static_cast<std::size_t>(dstWidth_);
  const bool box = srcWidth_ >= dstWidth_;
  // Terms of the box rule: every destination pixel starts on a new source pixel at most once,
  // so there are at most sw + dw of them.
  const std::size_t terms = box ? static_cast<std::size_t>(srcWidth_) + dw : 0;
  const std::size_t tableInts = box ? (dw + 1) + 2 * terms : 3 * dw;
  const std::size_t accBytes = 4 * dw * (wideAccumulators ? sizeof(std::int64_t) : sizeof(std::int32_t));
  const std::size_t bytes = 4 * dw * sizeof(std::int32_t) + accBytes + tableInts * sizeof(std::int32_t);

  storage_.reset(new (std::nothrow) std::byte[bytes]);
  if (!storage_) {
    return false;
  }
  std::byte* next = storage_.get();
  auto take32 = [&next](std::size_t count) {
    auto* p = reinterpret_cast<std::int32_t*>(next);
    next += count * sizeof(std::int32_t);
    return p;
  };
  rowBlue_ = take32(dw);
  rowGreen_ = take32(dw);
  rowRed_ = take32(dw);
  rowCount_ = take32(dw);
  if (wideAccumulators) {
    wideAcc_ = reinterpret_cast<std::int64_t*>(next);
    next += accBytes;
  } else {
    accBlue_ = take32(dw);
    accGreen_ = take32(dw);
    accRed_ = take32(dw);
    accCount_ = take32(dw);
  }
  if (box) {
    termStart_ = take32(dw + 1);
    termOffset_ = take32(terms);
    termWeight_ = take32(terms);
  } else {
    linearLeft_ = take32(dw);
    linearRight_ = take32(dw);
    linearPhase_ = take32(dw);
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
  const bool wide = WideAccumulatorsNeeded();
  if (!Allocate(wide)) {
    return false;
  }
  if (srcWidth_ >= dstWidth_) {
    BuildBoxTable();
  } else {
    BuildLinearTable();
  }

  if (srcHeight_ < dstHeight_) {
    GrowRows(src, dst);
  } else if (wide) {
    AverageRows(src, dst, wideAcc_);
  } else {
    AverageRows(src, dst, accBlue_);
  }
  storage_.reset();
  return true;
}

void ResizeWork::BuildBoxTable() {
  // Walk the sub-samples with the balance: each destination pixel takes sub-samples while the
  // balance is negative; a source pixel stands for horizontalFactor_ sub-samples in a row.
  const std::int32_t step = srcWidth_ * horizontalFactor_;
  std::int32_t balance = 0;
  std::int32_t pixel = 0;
  std::int32_t usedOfPixel = 0;
  std::int32_t term = 0;
  for (std::int32_t i = 0; i < dstWidth_; ++i) {
    termStart_[i] = term;
    std::int32_t count = 0;
    balance -= step;
    while (balance < 0) {
      if (usedOfPixel == horizontalFactor_) {
        ++pixel;
        usedOfPixel = 0;
      }
      if (term == termStart_[i] || termOffset_[term - 1] != pixel * 3) {
        termOffset_[term] = pixel * 3;
        termWeight_[term] = 0;
        ++term;
      }
      ++termWeight_[term - 1];
      ++usedOfPixel;
      ++count;
      balance += dstWidth_;
    }
    rowCount_[i] = count;
  }
  termStart_[dstWidth_] = term;
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
  for (std::int32_t i = 0; i < dw; ++i) {
    linearLeft_[i] = left * 3;
    linearRight_[i] = right * 3;
    linearPhase_[i] = p;
    rowCount_[i] = 1;
    p += sw;
    if (p >= dw) {
      p -= dw;
      left = right;
      right = std::min(right + 1, sw - 1);
    }
  }
}

void ResizeWork::ResampleRow(const std::uint8_t* srcRow) {
  if (srcWidth_ >= dstWidth_) {
    BoxRow(srcRow);
  } else {
    LinearRow(srcRow);
  }
}

void ResizeWork::BoxRow(const std::uint8_t* srcRow) {
  for (std::int32_t i = 0; i < dstWidth_; ++i) {
    std::int32_t blue = 0;
    std::int32_t green = 0;
    std::int32_t red = 0;
    for (std::int32_t t = termStart_[i]; t < termStart_[i + 1]; ++t) {
      const std::uint8_t* px = srcRow + termOffset_[t];
      const std::int32_t w = termWeight_[t];
      blue += w * px[0];
      green += w * px[1];
      red += w * px[2];
    }
    rowBlue_[i] = blue;
    rowGreen_[i] = green;
    rowRed_[i] = red;
  }
}

void ResizeWork::LinearRow(const std::uint8_t* srcRow) {
  const std::int32_t dw = dstWidth_;
  const std::int32_t half = dw / 2;
  for (std::int32_t i = 0; i < dw; ++i) {
    const std::uint8_t* l = srcRow + linearLeft_[i];
    const std::uint8_t* r = srcRow + linearRight_[i];
    const std::int32_t p = linearPhase_[i];
    rowBlue_[i] = l[0] + (half + p * (r[0] - l[0])) / dw;
    rowGreen_[i] = l[1] + (half + p * (r[1] - l[1])) / dw;
    rowRed_[i] = l[2] + (half + p * (r[2] - l[2])) / dw;
  }
}

void ResizeWork::GrowRows(const std::uint8_t* src, std::uint8_t* dst) {
  const std::size_t ss = static_cast<std::size_t>(srcStride_);
  const std::size_t ds = static_cast<std::size_t>(dstStride_);
  const std::size_t rowBytes = 4 * static_cast<std::size_t>(dstWidth_) * sizeof(std::int32_t);
  const std::int32_t sh = srcHeight_;
  const std::int32_t dh = dstHeight_;

  ResampleRow(src);
  std::memcpy(accBlue_, rowBlue_, rowBytes);
  std::int32_t next = 1;
  std::int32_t q = (sh + dh) / 2;
  if (q >= dh) {
    if (next < sh) {
      ResampleRow(src + ss * static_cast<std::size_t>(next++));
    }
    q -= dh;
  }
  for (std::int32_t y = 0; y < dh; ++y) {
    WriteInterpolatedRow(q, dst + ds * static_cast<std::size_t>(y));
    q += sh;
    if (q >= dh) {
      std::memcpy(accBlue_, rowBlue_, rowBytes);
      if (next < sh) {
        ResampleRow(src + ss * static_cast<std::size_t>(next++));
      }
      q -= dh;
    }
  }
}

void ResizeWork::WriteInterpolatedRow(std::int32_t q, std::uint8_t* dstRow) const {
  const std::int32_t dh = dstHeight_;
  const std::int32_t half = dh / 2;
  const std::int32_t* upper[3] = {accBlue_, accGreen_, accRed_};
  const std::int32_t* lower[3] = {rowBlue_, rowGreen_, rowRed_};
  if (srcWidth_ < dstWidth_) {
    for (std::int32_t i = 0; i < dstWidth_; ++i) {
      for (int c = 0; c < 3; ++c) {
        const std::int32_t u = upper[c][i];
        dstRow[i * 3 + c] = ClampByte(u + (half + q * (lower[c][i] - u)) / dh);
      }
    }
    return;
  }
  for (std::int32_t i = 0; i < dstWidth_; ++i) {
    const std::int64_t n = accCount_[i];
    for (int c = 0; c < 3; ++c) {
      const std::int64_t u = upper[c][i];
      const std::int64_t mixed = u + (half + q * (lower[c][i] - u)) / dh;
      dstRow[i * 3 + c] = ClampByte((mixed + n / 2) / n);
    }
  }
}

template <typename Acc>
void ResizeWork::AverageRows(const std::uint8_t* src, std::uint8_t* dst, Acc* accumulated) {
  const std::size_t dw = static_cast<std::size_t>(dstWidth_);
  const std::size_t ss = static_cast<std::size_t>(srcStride_);
  const std::size_t ds = static_cast<std::size_t>(dstStride_);
  const std::int32_t step = srcHeight_ * verticalFactor_;
  Acc* const acc = accumulated;
  std::fill(acc, acc + 4 * dw, Acc{0});

  std::int32_t balance = 0;
  std::int32_t repeat = 0;
  std::int32_t next = 0;
  for (std::int32_t y = 0; y < dstHeight_; ++y) {
    balance -= step;
    while (balance < 0) {
      if (repeat > 0) {
        --repeat;
      } else {
        ResampleRow(src + ss * static_cast<std::size_t>(std::min(next, srcHeight_ - 1)));
        ++next;
        repeat = verticalFactor_ - 1;
      }
      const std::int32_t* row = rowBlue_;
      for (std::size_t k = 0; k < 4 * dw; ++k) {
        acc[k] += row[k];
      }
      balance += dstHeight_;
    }
    WriteAverageRow(acc, dst + ds * static_cast<std::size_t>(y));
    std::fill(acc, acc + 4 * dw, Acc{0});
  }
}

template <typename Acc> void ResizeWork::WriteAverageRow(const Acc* accumulated, std::uint8_t* dstRow) const {
  const std::size_t dw = static_cast<std::size_t>(dstWidth_);
  const Acc* blue = accumulated;
  const Acc* green = accumulated + dw;
  const Acc* red = accumulated + 2 * dw;
  const Acc* count = accumulated + 3 * dw;
  for (std::size_t i = 0; i < dw; ++i) {
    const Acc n = count[i];
    dstRow[i * 3] = ClampByte((blue[i] + n / 2) / n);
    dstRow[i * 3 + 1] = ClampByte((green[i] + n / 2) / n);
    dstRow[i * 3 + 2] = ClampByte((red[i] + n / 2) / n);
  }
}

} // namespace rw
