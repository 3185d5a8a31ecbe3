#include "render/pTransOverlap.h"

#include "render/TransitionFrame.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rw {
namespace {

// a + w * (b - a) / 65536 with the division truncating toward zero. Computed as the magnitude
// floor(w * |b - a| / 65536) given the sign of b - a, which is the same number.
inline std::uint8_t Blend(std::uint8_t a, std::uint8_t b, std::uint32_t w) {
  const std::int32_t d = static_cast<std::int32_t>(b) - static_cast<std::int32_t>(a);
  const std::int32_t step = (static_cast<std::int32_t>(w) * d) / 65536;
  return static_cast<std::uint8_t>(a + step);
}

void BlendBytes(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
                std::uint32_t w) {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i weight = _mm_set1_epi16(static_cast<short>(w)); // 0..65535 as unsigned lanes
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= n; k += 16) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    __m128i result[2];
    for (int half = 0; half < 2; ++half) {
      const __m128i a16 = half == 0 ? _mm_unpacklo_epi8(va, zero) : _mm_unpackhi_epi8(va, zero);
      const __m128i b16 = half == 0 ? _mm_unpacklo_epi8(vb, zero) : _mm_unpackhi_epi8(vb, zero);
      const __m128i d = _mm_sub_epi16(b16, a16);                             // -255..255
      const __m128i sign = _mm_srai_epi16(d, 15);                            // 0 or -1
      const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(d, sign), sign); // |d|
      const __m128i q = _mm_mulhi_epu16(magnitude, weight);                  // floor(w * |d| / 65536)
      const __m128i step = _mm_sub_epi16(_mm_xor_si128(q, sign), sign);      // back to the sign of d
      result[half] = _mm_add_epi16(a16, step);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(result[0], result[1]));
  }
#endif
  for (; k < n; ++k)
    out[k] = Blend(a[k], b[k], w);
}

} // namespace

bool pTransOverlap::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  const auto weight = static_cast<std::uint32_t>((f.index * 65536 + 65536) / (f.length + 1)); // below 65536
  BlendBytes(f.out, f.outgoing, f.incoming, f.bytes, weight);
  return true;
}

} // namespace rw
