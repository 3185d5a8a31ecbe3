#include "render/pTransOverlap.h"

#include "render/TransitionFrame.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define RW_OVERLAP_X86 1
#else
#define RW_OVERLAP_X86 0
#endif

namespace rw {
namespace {

// a + w * (b - a) / 65536 with the division truncating toward zero.
inline std::uint8_t Blend(std::uint8_t a, std::uint8_t b, std::uint32_t w) {
  const std::int32_t d = static_cast<std::int32_t>(b) - static_cast<std::int32_t>(a);
  const std::int32_t step = (static_cast<std::int32_t>(w) * d) / 65536;
  return static_cast<std::uint8_t>(a + step);
}

void BlendTail(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t k, std::size_t n,
               std::uint32_t w) {
  for (; k < n; ++k)
    out[k] = Blend(a[k], b[k], w);
}

// The vector paths compute the truncated quotient as floor(w * |d| / 65536) (an unsigned high
// multiply, w being below 65536) given the sign of d = b - a: the same number, exactly.
#if RW_OVERLAP_X86
__attribute__((target("avx2"))) void BlendAvx2(std::uint8_t* out, const std::uint8_t* a,
                                               const std::uint8_t* b, std::size_t n, std::uint32_t w) {
  const __m256i weight = _mm256_set1_epi16(static_cast<short>(w));
  const __m256i zero = _mm256_setzero_si256();
  std::size_t k = 0;
  for (; k + 32 <= n; k += 32) {
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + k));
    const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k));
    const __m256i aLo = _mm256_unpacklo_epi8(va, zero);
    const __m256i aHi = _mm256_unpackhi_epi8(va, zero);
    const __m256i dLo = _mm256_sub_epi16(_mm256_unpacklo_epi8(vb, zero), aLo);
    const __m256i dHi = _mm256_sub_epi16(_mm256_unpackhi_epi8(vb, zero), aHi);
    const __m256i qLo = _mm256_mulhi_epu16(_mm256_abs_epi16(dLo), weight);
    const __m256i qHi = _mm256_mulhi_epu16(_mm256_abs_epi16(dHi), weight);
    const __m256i lo = _mm256_add_epi16(aLo, _mm256_sign_epi16(qLo, dLo));
    const __m256i hi = _mm256_add_epi16(aHi, _mm256_sign_epi16(qHi, dHi));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_packus_epi16(lo, hi));
  }
  BlendTail(out, a, b, k, n, w);
}

void BlendSse2(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
               std::uint32_t w) {
  const __m128i weight = _mm_set1_epi16(static_cast<short>(w));
  const __m128i zero = _mm_setzero_si128();
  std::size_t k = 0;
  for (; k + 16 <= n; k += 16) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    __m128i result[2];
    for (int half = 0; half < 2; ++half) {
      const __m128i a16 = half == 0 ? _mm_unpacklo_epi8(va, zero) : _mm_unpackhi_epi8(va, zero);
      const __m128i b16 = half == 0 ? _mm_unpacklo_epi8(vb, zero) : _mm_unpackhi_epi8(vb, zero);
      const __m128i d = _mm_sub_epi16(b16, a16);
      const __m128i sign = _mm_srai_epi16(d, 15);
      const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(d, sign), sign);
      const __m128i q = _mm_mulhi_epu16(magnitude, weight);
      result[half] = _mm_add_epi16(a16, _mm_sub_epi16(_mm_xor_si128(q, sign), sign));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(result[0], result[1]));
  }
  BlendTail(out, a, b, k, n, w);
}
#endif

} // namespace

bool pTransOverlap::UseWideVectors() {
#if RW_OVERLAP_X86
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
#else
  return false;
#endif
}

void pTransOverlap::BlendBytes(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
                               std::uint32_t weight, bool wide) {
#if RW_OVERLAP_X86
  if (wide)
    BlendAvx2(out, a, b, n, weight);
  else
    BlendSse2(out, a, b, n, weight);
#else
  (void)wide;
  BlendTail(out, a, b, 0, n, weight);
#endif
}

bool pTransOverlap::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  const auto weight = static_cast<std::uint32_t>((f.index * 65536 + 65536) / (f.length + 1)); // below 65536
  BlendBytes(f.out, f.outgoing, f.incoming, f.bytes, weight, UseWideVectors());
  return true;
}

} // namespace rw
