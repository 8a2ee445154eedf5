// Searches for the first of a few bytes in a stretch of text, sixteen bytes at
// a time where the machine can. The loads stay inside [from, end).
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stackcc {

// The first position from `from` on, below end, holding a or b; end when there
// is none.
inline int FindEitherByte(const char* text, int from, int end, char a, char b) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  for (; from + 16 <= end; from += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return from + __builtin_ctz(mask);
  }
#endif
  while (from < end && text[from] != a && text[from] != b) ++from;
  return from;
}

// The first position from `from` on, below end, whose byte lies in [low, high]
// taken unsigned; end when there is none.
inline int FindByteInRange(const char* text, int from, int end, unsigned char low,
                           unsigned char high) {
  if (low > high) return end;
#if defined(__SSE2__)
  const __m128i base = _mm_set1_epi8(static_cast<char>(low));
  const __m128i span = _mm_set1_epi8(static_cast<char>(high - low));
  for (; from + 16 <= end; from += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    __m128i offset = _mm_sub_epi8(v, base);  // wraps: in range iff offset <= span, unsigned
    __m128i hit = _mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset);
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return from + __builtin_ctz(mask);
  }
#endif
  for (; from < end; ++from) {
    unsigned char ch = static_cast<unsigned char>(text[from]);
    if (ch >= low && ch <= high) return from;
  }
  return end;
}

// Blank bytes are those up to 0x20 taken as signed chars: the controls, the
// space and 0x80-0xFF. Gives the first position from `from` on, below end, of a
// byte that is not blank (end when there is none); lineFeeds, when given, is
// called with the position of every line feed passed on the way.
template <typename OnLineFeed>
int SkipBlankBytes(const char* text, int from, int end, OnLineFeed lineFeeds) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i feed = _mm_set1_epi8('\n');
  for (; from + 16 <= end; from += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    unsigned solid = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(v, space)));
    unsigned feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, feed)));
    if (solid != 0) feeds &= (1u << __builtin_ctz(solid)) - 1;
    for (; feeds != 0; feeds &= feeds - 1) lineFeeds(from + __builtin_ctz(feeds));
    if (solid != 0) return from + __builtin_ctz(solid);
  }
#endif
  for (; from < end && static_cast<signed char>(text[from]) <= 0x20; ++from) {
    if (text[from] == '\n') lineFeeds(from);
  }
  return from;
}

}  // namespace stackcc
