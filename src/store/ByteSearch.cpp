#include "store/ByteSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltro::store {

namespace {

std::size_t slowFind(std::string_view haystack, std::size_t from, std::string_view needle) {
    const void* hit =
        memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
    return hit == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
}

}  // namespace

std::size_t findBytes(std::string_view haystack, std::size_t from, std::string_view needle) {
    const std::size_t n = needle.size();
    if (from >= haystack.size() || n > haystack.size() - from) {
        return std::string_view::npos;
    }
#if defined(__SSE2__)
    const char* text = haystack.data();
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    std::size_t at = from;
    for (; at + n - 1 + 16 <= haystack.size(); at += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + n - 1));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        while (mask != 0) {
            const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
            if (n <= 2 || std::memcmp(text + at + bit + 1, needle.data() + 1, n - 2) == 0) {
                return at + bit;
            }
            mask &= mask - 1;
        }
    }
    return slowFind(haystack, at, needle);
#else
    return slowFind(haystack, from, needle);
#endif
}

}  // namespace veltro::store
