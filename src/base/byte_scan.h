// Searches for the first of a few bytes in a stretch of text, sixteen bytes at
// a time where the machine can. The loads stay inside [from, end) unless the
// caller says how far its buffer may be read.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stackcc {

#if defined(__SSE2__)
// The first position from `from` on, below end, where hits (a mask of the
// sixteen bytes loaded at a position) has a bit; end when there is none.
// Blocks are loaded while they lie below readable (at least end): the part of
// a block past end is read but never taken, so a caller whose buffer goes on
// beyond the text can let the last short stretch be searched whole too.
template <typename Hits>
int FindInBlocks(const char* text, int from, int end, int readable, Hits hits) {
  for (; from < end && from + 16 <= readable; from += 16) {
    unsigned mask = hits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from)));
    if (end - from < 16) mask &= (1u << (end - from)) - 1;
    if (mask != 0) return from + __builtin_ctz(mask);
  }
  return from < end ? from : end;
}
#endif

// The first position from `from` on, below end, holding a or b; end when there
// is none. readable: how far the buffer may be loaded (see FindInBlocks).
inline int FindEitherByte(const char* text, int from, int end, char a, char b, int readable = 0) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  from = FindInBlocks(text, from, end, readable > end ? readable : end, [&](__m128i v) {
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))));
  });
#endif
  while (from < end && text[from] != a && text[from] != b) ++from;
  return from;
}

// The first position from `from` on, below end, holding a, b or d; end when
// there is none. readable as for FindEitherByte.
inline int FindOneOfThree(const char* text, int from, int end, char a, char b, char d,
                          int readable = 0) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  const __m128i vd = _mm_set1_epi8(d);
  from = FindInBlocks(text, from, end, readable > end ? readable : end, [&](__m128i v) {
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                               _mm_cmpeq_epi8(v, vd));
    return static_cast<unsigned>(_mm_movemask_epi8(hit));
  });
#endif
  while (from < end && text[from] != a && text[from] != b && text[from] != d) ++from;
  return from;
}

// The first position from `from` on, below end, whose byte lies in [low, high]
// taken unsigned; end when there is none. readable as for FindEitherByte.
inline int FindByteInRange(const char* text, int from, int end, unsigned char low,
                           unsigned char high, int readable = 0) {
  if (low > high) return end;
#if defined(__SSE2__)
  const __m128i base = _mm_set1_epi8(static_cast<char>(low));
  const __m128i span = _mm_set1_epi8(static_cast<char>(high - low));
  from = FindInBlocks(text, from, end, readable > end ? readable : end, [&](__m128i v) {
    __m128i offset = _mm_sub_epi8(v, base);  // wraps: in range iff offset <= span, unsigned
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset)));
  });
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
