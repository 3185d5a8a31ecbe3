#include "tests/render/ResizeReference.h"

#include "render/ResizeWork.h"

#include <algorithm>
#include <vector>

namespace rw::test {

namespace {

using i64 = std::int64_t;

i64 CeilDiv(i64 a, i64 b) {
  return (a + b - 1) / b;
}
i64 Clamp(i64 v, i64 lo, i64 hi) {
  return std::max(lo, std::min(v, hi));
}

// One resampled row entry: colour sums and the number of sub-samples behind them.
struct Entry {
  i64 sum[3];
  i64 count;
};

// Entry i of a row resampled horizontally.
Entry RowEntry(const DIB& src, std::int32_t y, std::int32_t i, std::int32_t dw) {
  const i64 sw = src.Width();
  Entry e{{0, 0, 0}, 0};
  if (sw >= dw) {
    // Box: sub-samples ceil(i*sw*hf/dw) up to but not including ceil((i+1)*sw*hf/dw), each
    // source pixel standing for hf of them.
    const i64 hf = ResizeWork::HorizontalFactor(src.Width(), dw);
    const i64 first = CeilDiv(i * sw * hf, dw);
    const i64 last = CeilDiv((i + 1) * sw * hf, dw);
    for (i64 s = first; s < last; ++s) {
      const Bgr c = PixelAt(src, static_cast<std::int32_t>(s / hf), y);
      e.sum[0] += c.blue;
      e.sum[1] += c.green;
      e.sum[2] += c.red;
      ++e.count;
    }
    return e;
  }
  // Linear: output centre i lands at source position (i + 0.5) * sw / dw - 0.5, expressed with
  // the same rounded half offsets as an exact fraction with denominator dw.
  const i64 a = (dw + sw) / 2 + i * sw;
  const i64 whole = a / dw;
  const i64 frac = a % dw;
  const Bgr l = PixelAt(src, static_cast<std::int32_t>(Clamp(whole - 1, 0, sw - 1)), y);
  const Bgr r = PixelAt(src, static_cast<std::int32_t>(Clamp(whole, 0, sw - 1)), y);
  const i64 lv[3] = {l.blue, l.green, l.red};
  const i64 rv[3] = {r.blue, r.green, r.red};
  for (int c = 0; c < 3; ++c) {
    e.sum[c] = lv[c] + (dw / 2 + frac * (rv[c] - lv[c])) / dw;
  }
  e.count = 1;
  return e;
}

} // namespace

void ReferenceResize(const DIB& src, DIB& dst) {
  const i64 sh = src.Height();
  const i64 dw = dst.Width();
  const i64 dh = dst.Height();
  if (src.Width() == dw && sh == dh) {
    std::copy(src.Bits(), src.Bits() + src.SizeImage(), dst.Bits());
    return;
  }
  for (i64 y = 0; y < dh; ++y) {
    for (i64 i = 0; i < dw; ++i) {
      i64 out[3];
      if (sh < dh) {
        const i64 a = (sh + dh) / 2 + y * sh;
        const i64 whole = a / dh;
        const i64 q = a % dh;
        const Entry u = RowEntry(src, static_cast<std::int32_t>(Clamp(whole - 1, 0, sh - 1)),
                                 static_cast<std::int32_t>(i), static_cast<std::int32_t>(dw));
        const Entry l = RowEntry(src, static_cast<std::int32_t>(Clamp(whole, 0, sh - 1)),
                                 static_cast<std::int32_t>(i), static_cast<std::int32_t>(dw));
        for (int c = 0; c < 3; ++c) {
          const i64 mixed = u.sum[c] + (dh / 2 + q * (l.sum[c] - u.sum[c])) / dh;
          out[c] = src.Width() < dw ? mixed : (mixed + u.count / 2) / u.count;
        }
      } else {
        const i64 vf = ResizeWork::VerticalFactor(src.Height(), static_cast<std::int32_t>(dh));
        const i64 first = CeilDiv(y * sh * vf, dh);
        const i64 last = CeilDiv((y + 1) * sh * vf, dh);
        i64 sum[3] = {0, 0, 0};
        i64 n = 0;
        for (i64 t = first; t < last; ++t) {
          const Entry e = RowEntry(src, static_cast<std::int32_t>(t / vf), static_cast<std::int32_t>(i),
                                   static_cast<std::int32_t>(dw));
          for (int c = 0; c < 3; ++c) {
            sum[c] += e.sum[c];
          }
          n += e.count;
        }
        for (int c = 0; c < 3; ++c) {
          out[c] = (sum[c] + n / 2) / n;
        }
      }
      const auto byte = [](i64 v) { return static_cast<std::uint8_t>(std::min<i64>(v, 255)); };
      SetPixel(dst, static_cast<std::int32_t>(i), static_cast<std::int32_t>(y),
               Bgr{byte(out[0]), byte(out[1]), byte(out[2])});
    }
  }
}

void ReferenceQuickResize(const DIB& src, DIB& dst) {
  const std::int32_t sw = src.Width();
  const std::int32_t sh = src.Height();
  const std::int32_t dw = dst.Width();
  const std::int32_t dh = dst.Height();
  if (sw == dw && sh == dh) {
    std::copy(src.Bits(), src.Bits() + src.SizeImage(), dst.Bits());
    return;
  }
  // Source row of every destination row.
  std::vector<std::int32_t> rows(static_cast<std::size_t>(dh));
  if (dh < sh) {
    std::int32_t row = 0;
    std::int32_t r = dh / 2;
    for (std::int32_t k = 0; k < dh; ++k) {
      rows[static_cast<std::size_t>(k)] = row;
      row += (sh + r) / dh;
      r = (sh + r) % dh;
    }
  } else {
    std::int32_t row = 0;
    std::int32_t r = sh / 2;
    std::int32_t made = 0;
    for (std::int32_t k = 0; k < dh; ++k) {
      if (r - sh < 0) {
        made = row++;
        r = dh + r - sh;
      } else {
        r -= sh;
      }
      rows[static_cast<std::size_t>(k)] = made;
    }
  }
  for (std::int32_t k = 0; k < dh; ++k) {
    std::int32_t passed = 0;
    std::int32_t held = 0;
    std::int32_t c = dw / 2;
    for (std::int32_t x = 0; x < dw; ++x) {
      c += sw;
      if (c > dw) {
        passed += c / dw;
        held = passed - 1;
        c %= dw;
      }
      SetPixel(dst, x, k, PixelAt(src, held, rows[static_cast<std::size_t>(k)]));
    }
  }
}

DIB RandomPicture(std::int32_t width, std::int32_t height, std::mt19937& rng) {
  DIB dib;
  dib.Create(width, height);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::uint32_t k = 0; k < dib.SizeImage(); ++k) {
    dib.Bits()[k] = static_cast<std::uint8_t>(byte(rng));
  }
  return dib;
}

Bgr PixelAt(const DIB& dib, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = dib.Bits() + static_cast<std::size_t>(dib.Stride()) * y + x * 3;
  return Bgr{p[0], p[1], p[2]};
}

void SetPixel(DIB& dib, std::int32_t x, std::int32_t y, Bgr colour) {
  std::uint8_t* p = dib.Bits() + static_cast<std::size_t>(dib.Stride()) * y + x * 3;
  p[0] = colour.blue;
  p[1] = colour.green;
  p[2] = colour.red;
}

} // namespace rw::test
