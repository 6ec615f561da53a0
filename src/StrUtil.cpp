#include "StrUtil.h"

#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Str.h"
#include "StrA.h"
#include "StrInternal.h"

const unsigned short CStrUtil::s_UtfNulChar = 0;
const char CStrUtil::s_replaceChar = '?';

namespace {

// The UTF-8 rules, each in one place for the converter and the length
// function that sizes its target. The vector blocks test the same classes
// as IsASCIICharacter, Is2ByteCharacter and Is3ByteCharacter, through these
// bounds: units from 0x80 take two bytes, from 0x800 three; lead bytes from
// 0xC0 take one more byte, from 0xE0 two more, up to 0xEF.
constexpr unsigned int kTwoByteUnits = 0x80;
constexpr unsigned int kThreeByteUnits = 0x800;
constexpr unsigned int kTwoByteLeads = 0xC0;
constexpr unsigned int kThreeByteLeads = 0xE0;
constexpr unsigned int kLeadsEnd = 0xF0;

// Encoding: the bytes of one unit, 1 below 0x80, 2 below 0x800, 3 for every
// other unit, surrogates included (CESU-8).
inline unsigned int Utf8Bytes(unsigned int unit)
{
    auto const u = static_cast<unsigned short>(unit);
    return CStrUtil::IsASCIICharacter(u) ? 1u : CStrUtil::Is2ByteCharacter(u) ? 2u : 3u;
}

inline void PutUtf8(unsigned char* pOut, unsigned int unit, unsigned int bytes)
{
    if (bytes == 1) {
        pOut[0] = static_cast<unsigned char>(unit);
    } else if (bytes == 2) {
        pOut[0] = static_cast<unsigned char>(0xC0u | (unit >> 6));
        pOut[1] = static_cast<unsigned char>(0x80u | (unit & 0x3Fu));
    } else {
        pOut[0] = static_cast<unsigned char>(0xE0u | (unit >> 12));
        pOut[1] = static_cast<unsigned char>(0x80u | ((unit >> 6) & 0x3Fu));
        pOut[2] = static_cast<unsigned char>(0x80u | (unit & 0x3Fu));
    }
}

// Decoding: a lead byte C0..DF takes one more byte with it and E0..EF two
// more, whatever their values; a sequence that would run past the count
// takes what is left of it. Every other byte is a unit by itself. Returns
// the bytes of the unit that starts with `lead`, `left` (>= 1) bytes before
// the count.
inline unsigned int SequenceBytes(unsigned int lead, unsigned int left)
{
    auto const b = static_cast<unsigned char>(lead);
    unsigned int const bytes = CStrUtil::Is2ByteCharacter(b) ? 2u : CStrUtil::Is3ByteCharacter(b) ? 3u : 1u;
    return bytes < left ? bytes : left;
}

// The unit of the `bytes` bytes at p (from SequenceBytes): continuation bytes
// give their value without its top bit, a missing one gives 0; a byte that
// starts no sequence gives "?".
inline unsigned short SequenceUnit(unsigned char const* p, unsigned int bytes)
{
    unsigned int const lead = p[0];
    unsigned int const c1 = bytes > 1 ? p[1] & 0x7Fu : 0u;
    unsigned int const c2 = bytes > 2 ? p[2] & 0x7Fu : 0u;
    if (CStrUtil::Is2ByteCharacter(p[0]))
        return static_cast<unsigned short>(((lead & 0x1Fu) << 6) | c1);
    if (CStrUtil::Is3ByteCharacter(p[0]))
        return static_cast<unsigned short>(((lead & 0x0Fu) << 12) | (c1 << 6) | c2);
    return static_cast<unsigned short>(CStrUtil::IsASCIICharacter(p[0]) ? lead : CStrUtil::s_replaceChar);
}

#if LXIBASE_SSE2

// Every byte b of a vector, for signed compares: leads C0..EF are then
// -64..-17.
inline __m128i EachByte(unsigned int b)
{
    return _mm_set1_epi8(static_cast<char>(b));
}

// Every 16-bit lane: the bits of units from `from` on (a power of two).
inline __m128i UnitsFrom(unsigned int from)
{
    return _mm_set1_epi16(static_cast<short>(~(from - 1)));
}

using lxistr::Load;
using lxistr::Store;

// Sum of the four 32-bit lanes.
inline unsigned int SumOfLanes(__m128i lanes)
{
    lanes = _mm_add_epi32(lanes, _mm_srli_si128(lanes, 8));
    return static_cast<unsigned int>(_mm_cvtsi128_si32(_mm_add_epi32(lanes, _mm_srli_si128(lanes, 4))));
}

// Four 32-bit lanes of three bytes each (the top byte 0) as 12 bytes in a row.
inline __m128i PackThreeByteLanes(__m128i lanes)
{
    __m128i const evenLanes = _mm_set_epi32(0, -1, 0, -1);
    __m128i const firstSix = _mm_set_epi32(0, 0, 0xFFFF, -1);
    // Each 64-bit half: its low lane's three bytes, then its high lane's.
    __m128i const halves = _mm_or_si128(_mm_and_si128(lanes, evenLanes),
                                        _mm_srli_epi64(_mm_andnot_si128(evenLanes, lanes), 8));
    return _mm_or_si128(_mm_and_si128(halves, firstSix),
                        _mm_andnot_si128(firstSix, _mm_srli_si128(halves, 2)));
}

// LengthOfUtf8FromUtf16's blocks: adds the bytes of the units from
// pSource[i], 8 at a time, to bytes. Leaves fewer than 8 units.
inline void CountUtf8Blocks(unsigned short const* pSource, unsigned int& i, unsigned int count,
                            unsigned int& bytes)
{
    __m128i const zero = _mm_setzero_si128();
    __m128i const from80 = UnitsFrom(kTwoByteUnits);
    __m128i const from800 = UnitsFrom(kThreeByteUnits);
    while (count - i >= 8) {
        // Each unit counts 3, less one below 0x800 and one more below 0x80;
        // the 16-bit lanes gather those (as -1 each) for up to 4,096 blocks.
        unsigned int const blocks = (count - i) / 8 < 4096 ? (count - i) / 8 : 4096;
        __m128i fewer = zero;
        for (unsigned int k = 0; k < blocks; ++k, i += 8) {
            __m128i const units = Load(pSource + i);
            fewer = _mm_add_epi16(fewer, _mm_cmpeq_epi16(_mm_and_si128(units, from80), zero));
            fewer = _mm_add_epi16(fewer, _mm_cmpeq_epi16(_mm_and_si128(units, from800), zero));
        }
        bytes += 24 * blocks - SumOfLanes(_mm_madd_epi16(fewer, _mm_set1_epi16(-1)));
    }
}

// The unit of the two-byte sequence at p, whose lead is C0..DF: the second
// byte's value without its top bit, as the scalar walk takes it.
inline unsigned short TwoByteUnit(unsigned char const* p)
{
    return static_cast<unsigned short>(((p[0] & 0x1Fu) << 6) | (p[1] & 0x7Fu));
}

// The two UTF-8 bytes of a unit from 0x80 to 0x7FF, in memory order.
inline std::uint16_t TwoBytes(unsigned int unit)
{
    return static_cast<std::uint16_t>((0xC0u | (unit >> 6)) | ((0x80u | (unit & 0x3Fu)) << 8));
}

// The 24 UTF-8 bytes of 8 units from 0x800 on, at pOut.
inline void PutThreeByteUnits(unsigned char* pOut, __m128i units)
{
    __m128i const lowSix = _mm_set1_epi16(0x3F);
    __m128i const mark = _mm_set1_epi16(0x80);
    __m128i const lead = _mm_or_si128(_mm_srli_epi16(units, 12), _mm_set1_epi16(0xE0));
    __m128i const middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(units, 6), lowSix), mark);
    __m128i const last = _mm_or_si128(_mm_and_si128(units, lowSix), mark);
    __m128i const firstTwo = _mm_or_si128(lead, _mm_slli_epi16(middle, 8));
    // 12 bytes from each half; the first store's 4 spare bytes are written over.
    Store(pOut, PackThreeByteLanes(_mm_unpacklo_epi16(firstTwo, last)));
    __m128i const second = PackThreeByteLanes(_mm_unpackhi_epi16(firstTwo, last));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut + 12), second);
    auto const tail = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(second, 8)));
    std::memcpy(pOut + 20, &tail, 4);
}

// MemcpyUtf8FromUtf16's blocks from pSource[i], written at pTarget[bytes], in
// rounds of three kinds of text, each left where it does not apply: ASCII 16
// units at a time; ASCII with a few units up to 0x7FF; units from 0x800 on
// with ASCII runs among them. Stops where a round gets nowhere; the scalar
// step takes the next unit.
inline void EncodeUtf8Blocks(unsigned char* pTarget, unsigned int& bytes,
                             unsigned short const* pSource, unsigned int& i, unsigned int count)
{
    assert(i < count);
    // Locals, since the byte stores may alias anything.
    unsigned char* pOut = pTarget + bytes;
    unsigned short const* pIn = pSource + i;
    unsigned short const* const pEnd = pSource + count;
    __m128i const zero = _mm_setzero_si128();
    __m128i const from80 = UnitsFrom(kTwoByteUnits);
    __m128i const from800 = UnitsFrom(kThreeByteUnits);
    for (unsigned short const* pRound = nullptr; pRound != pIn;) {
        pRound = pIn;
        while (pEnd - pIn >= 16) {
            __m128i const units1 = Load(pIn), units2 = Load(pIn + 8);
            __m128i const high = _mm_and_si128(_mm_or_si128(units1, units2), from80);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) != 0xFFFF)
                break;
            Store(pOut, _mm_packus_epi16(units1, units2));
            pIn += 16;
            pOut += 16;
        }
        // ASCII with units from 0x80 to 0x7FF: 16 units at a time, the same
        // steps whether they hold none, one or two such units (no branch
        // depends on it), until four blocks in a row held none. The bytes of
        // the units after such a unit are narrowed again and written one
        // place on. A block reads up to 33 units and writes up to 35 bytes,
        // those past what it encodes being written over next: the 35 units
        // left take 35 bytes at least.
        for (unsigned int plainBlocks = 0; plainBlocks < 4 && pEnd - pIn >= 35;) {
            __m128i const units1 = Load(pIn), units2 = Load(pIn + 8);
            Store(pOut, _mm_packus_epi16(units1, units2));   // exact for ASCII units
            unsigned int const others =
                ~static_cast<unsigned int>(
                    _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units1, from80), zero)) |
                    (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units2, from80), zero)) << 16));
            // The first two units beyond ASCII, 16 where there is none.
            std::uint64_t const none = std::uint64_t{1} << 32;
            unsigned int const first = static_cast<unsigned int>(__builtin_ctzll(others | none)) / 2;
            std::uint64_t const afterFirst = others & ~(std::uint64_t{3} << (2 * first));
            unsigned int const second = static_cast<unsigned int>(__builtin_ctzll(afterFirst | none)) / 2;
            std::uint64_t const afterSecond = afterFirst & ~(std::uint64_t{3} << (2 * second));
            unsigned int const has1 = first < 16 ? 1u : 0u;
            unsigned int const has2 = second < 16 ? 1u : 0u;
            unsigned int const unit1 = pIn[first] & (0u - has1);
            unsigned int const unit2 = pIn[second] & (0u - has2);
            // Else the ASCII run before the first of them, and that unit too
            // when it is below 0x800.
            if ((afterSecond | (unit1 | unit2) / kThreeByteUnits) != 0) {
                bool const two = unit1 < kThreeByteUnits;
                if (two) {
                    std::uint16_t const pair = TwoBytes(unit1);
                    std::memcpy(pOut + first, &pair, 2);
                }
                pIn += two ? first + 1 : first;
                pOut += two ? first + 2 : first;
                if (!two)
                    break;
                plainBlocks = 0;
                continue;
            }
            std::uint16_t const pair1 = TwoBytes(unit1), pair2 = TwoBytes(unit2);
            std::memcpy(pOut + first, &pair1, 2);
            Store(pOut + first + 2, _mm_packus_epi16(Load(pIn + first + 1), Load(pIn + first + 9)));
            std::memcpy(pOut + second + 1, &pair2, 2);
            Store(pOut + second + 3, _mm_packus_epi16(Load(pIn + second + 1), Load(pIn + second + 9)));
            pIn += 16;
            pOut += 16 + has1 + has2;
            plainBlocks = (plainBlocks + 1) * (1u - has1);
        }
        // Units from 0x800 on, 8 at a time, with the short ASCII runs among
        // them (line ends, digits). A block writes 24 bytes, those past what
        // it encodes being written over next: 24 units left take 24 bytes at
        // least; then whole blocks only.
        while (pEnd - pIn >= 8) {
            __m128i const units = Load(pIn);
            unsigned int const below800 =
                static_cast<unsigned int>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, from800), zero)));
            if (below800 == 0) {
                PutThreeByteUnits(pOut, units);
                pIn += 8;
                pOut += 24;
                continue;
            }
            if (pEnd - pIn < 24)
                break;
            unsigned int const run = static_cast<unsigned int>(__builtin_ctz(below800)) / 2;
            if (run != 0) {
                PutThreeByteUnits(pOut, units);
                pIn += run;
                pOut += std::size_t{3} * run;
                continue;
            }
            unsigned int const ascii =
                static_cast<unsigned int>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, from80), zero)));
            unsigned int const asciiRun = static_cast<unsigned int>(__builtin_ctz(~ascii | 0x10000u)) / 2;
            if (asciiRun == 0 || asciiRun == 8)
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut), _mm_packus_epi16(units, units));
            pIn += asciiRun;
            pOut += asciiRun;
        }
    }
    i = static_cast<unsigned int>(pIn - pSource);
    bytes = static_cast<unsigned int>(pOut - pTarget);
}

// LengthOfUtf16FromUtf8's blocks: adds the units of the bytes from
// pSource[pos], 16 at a time, to units, as long as every lead byte in a block
// starts a sequence of its own (none is taken along by the lead before it, as
// C3 is in C2 C3 A9). Then every byte that no lead takes along is one unit.
// Ends at a sequence boundary, or at the count.
inline void CountUtf16Blocks(unsigned char const* pSource, unsigned int& pos, unsigned int count,
                             unsigned int& units)
{
    assert(pos < count);
    __m128i const zero = _mm_setzero_si128();
    __m128i lastLeads = zero, lastLeads3 = zero;   // of the block before
    while (count - pos >= 16) {
        // Up to 255 blocks: the byte lanes count the bytes taken along.
        unsigned int const blocks = (count - pos) / 16 < 255 ? (count - pos) / 16 : 255;
        __m128i taken = zero;
        unsigned int k = 0;
        for (; k < blocks; ++k) {
            __m128i const bytes = Load(pSource + pos);
            __m128i const belowEnd = _mm_cmplt_epi8(bytes, EachByte(kLeadsEnd));
            __m128i const leads = _mm_and_si128(_mm_cmpgt_epi8(bytes, EachByte(kTwoByteLeads - 1)), belowEnd);
            __m128i const leads3 = _mm_and_si128(_mm_cmpgt_epi8(bytes, EachByte(kThreeByteLeads - 1)), belowEnd);
            __m128i const takes = _mm_or_si128(
                _mm_or_si128(_mm_slli_si128(leads, 1), _mm_srli_si128(lastLeads, 15)),
                _mm_or_si128(_mm_slli_si128(leads3, 2), _mm_srli_si128(lastLeads3, 14)));
            if (_mm_movemask_epi8(_mm_and_si128(takes, leads)) != 0)
                break;
            taken = _mm_sub_epi8(taken, takes);
            lastLeads = leads;
            lastLeads3 = leads3;
            pos += 16;
        }
        units += 16 * k - SumOfLanes(_mm_sad_epu8(taken, zero));
        if (k != blocks)
            break;
    }
    // The first one or two bytes here may belong to the last block's last
    // sequence, whose unit is counted.
    auto const carried = static_cast<unsigned int>(_mm_movemask_epi8(
        _mm_or_si128(_mm_srli_si128(lastLeads, 15), _mm_srli_si128(lastLeads3, 14))));
    unsigned int const skip = (carried & 1u) + ((carried >> 1) & 1u);
    pos = skip < count - pos ? pos + skip : count;
}

// Four three-byte sequences at p, p + 3, p + 6 and p + 9, one in each 32-bit
// lane (lead byte lowest; the fourth byte belongs to the next sequence).
inline __m128i FourSequences(unsigned char const* p)
{
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(Load(p), Load(p + 3)),
                              _mm_unpacklo_epi32(Load(p + 6), Load(p + 9)));
}

// The units of such lanes, sign-extended from 16 bits for _mm_packs_epi32.
inline __m128i ThreeByteUnits(__m128i lanes)
{
    __m128i const units = _mm_or_si128(
        _mm_or_si128(_mm_slli_epi32(_mm_and_si128(lanes, _mm_set1_epi32(0x0F)), 12),
                     _mm_and_si128(_mm_srli_epi32(lanes, 2), _mm_set1_epi32(0x1FC0))),
        _mm_and_si128(_mm_srli_epi32(lanes, 16), _mm_set1_epi32(0x7F)));
    return _mm_srai_epi32(_mm_slli_epi32(units, 16), 16);
}

// MemcpyUtf16FromUtf8's blocks from pSource[pos], written at pTarget[units],
// in rounds of three kinds of text, each left where it does not apply: ASCII
// 16 bytes at a time; ASCII with a few two-byte sequences; three-byte
// sequences with ASCII runs among them. Stops where a round gets nowhere; the
// scalar step takes the next byte. Blocks may write units past what they
// decode, written over next; room: as for lxistr::DecodeUtf8.
inline void DecodeUtf8Blocks(unsigned short* pTarget, unsigned int room, unsigned int& units,
                             unsigned char const* pSource, unsigned int& pos, unsigned int count)
{
    assert(pos < count);
    unsigned short* pOut = pTarget + units;
    unsigned char const* pIn = pSource + pos;
    unsigned char const* const pEnd = pSource + count;
    // Whether n units may be written at pOut: the room holds them, or the
    // bytes left decode to n units at least (none takes more than 3 bytes).
    auto const writable = [&](std::ptrdiff_t n) {
        return pEnd - pIn >= 3 * n || (pOut - pTarget) + n <= static_cast<std::ptrdiff_t>(room);
    };
    __m128i const zero = _mm_setzero_si128();
    for (unsigned char const* pRound = nullptr; pRound != pIn;) {
        pRound = pIn;
        while (pEnd - pIn >= 16 && writable(16)) {
            __m128i const bytes = Load(pIn);
            Store(pOut, _mm_unpacklo_epi8(bytes, zero));
            Store(pOut + 8, _mm_unpackhi_epi8(bytes, zero));
            auto const high = static_cast<unsigned int>(_mm_movemask_epi8(bytes));
            if (high != 0) {
                unsigned int const run = static_cast<unsigned int>(__builtin_ctz(high));
                pIn += run;
                pOut += run;
                break;
            }
            pIn += 16;
            pOut += 16;
        }
        // ASCII with two-byte sequences: 16 bytes at a time, the same steps
        // whether they hold none, one or two sequences (no branch depends on
        // it), until four blocks in a row held none. A lead byte C0..DF takes
        // the next byte, also the first one of the next block; the units
        // after its unit are widened again and written one place on. A block
        // reads up to 35 bytes and writes up to 34 units.
        for (unsigned int plainBlocks = 0; plainBlocks < 4 && pEnd - pIn >= 35 && writable(34);) {
            __m128i const bytes = Load(pIn);
            Store(pOut, _mm_unpacklo_epi8(bytes, zero));
            Store(pOut + 8, _mm_unpackhi_epi8(bytes, zero));
            auto const high = static_cast<unsigned int>(_mm_movemask_epi8(bytes));
            auto const leads = static_cast<unsigned int>(_mm_movemask_epi8(_mm_and_si128(
                _mm_cmpgt_epi8(bytes, EachByte(kTwoByteLeads - 1)), _mm_cmplt_epi8(bytes, EachByte(kThreeByteLeads)))));
            unsigned int const taken = leads << 1;
            // The first two leads, 17 where there is none.
            unsigned int const first = static_cast<unsigned int>(__builtin_ctz(leads | 0x20000u));
            unsigned int const afterFirst = leads & ~(1u << first);
            unsigned int const second = static_cast<unsigned int>(__builtin_ctz(afterFirst | 0x20000u));
            // Every byte from 0x80 a lead or taken by one, no lead taken, two
            // leads at most; else the ASCII run up to the first byte from
            // 0x80, and its sequence too when that starts with a lead C0..DF.
            if (((high & ~(leads | taken)) | (leads & taken) | (afterFirst & ~(1u << second))) != 0) {
                unsigned int const run = static_cast<unsigned int>(__builtin_ctz(high | 0x10000u));
                bool const lead = run < 16 && ((leads >> run) & 1u) != 0;
                if (lead)
                    pOut[run] = TwoByteUnit(pIn + run);
                pIn += lead ? run + 2 : run;
                pOut += lead ? run + 1 : run;
                if (!lead)
                    break;
                plainBlocks = 0;
                continue;
            }
            unsigned int const has1 = first < 16 ? 1u : 0u;
            unsigned int const has2 = second < 16 ? 1u : 0u;
            pOut[first] = TwoByteUnit(pIn + first);
            __m128i const after1 = Load(pIn + first + 2);
            Store(pOut + first + 1, _mm_unpacklo_epi8(after1, zero));
            Store(pOut + first + 9, _mm_unpackhi_epi8(after1, zero));
            unsigned short* const pSecond = pOut + second - has1;
            *pSecond = TwoByteUnit(pIn + second);
            __m128i const after2 = Load(pIn + second + 2);
            Store(pSecond + 1, _mm_unpacklo_epi8(after2, zero));
            Store(pSecond + 9, _mm_unpackhi_epi8(after2, zero));
            unsigned int const spill = (leads >> 15) & 1u;   // a lead in the last byte
            pIn += 16 + spill;
            pOut += 16 + spill - has1 - has2;
            plainBlocks = (plainBlocks + 1) * (high == 0 ? 1u : 0u);
        }
        // Three-byte sequences, 8 at a time, with the short ASCII runs among
        // them (line ends, digits). A block reads up to 37 bytes and writes 8
        // units, or 16 for an ASCII run.
        while (pEnd - pIn >= 37 && writable(16)) {
            __m128i const lanes1 = FourSequences(pIn), lanes2 = FourSequences(pIn + 12);
            __m128i const leadMask = _mm_set1_epi32(0xF0), leadE = _mm_set1_epi32(kThreeByteLeads);
            auto const leadsOk = static_cast<unsigned int>(
                _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(lanes1, leadMask), leadE)) |
                (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(lanes2, leadMask), leadE)) << 16));
            if (leadsOk == 0xFFFFFFFFu) {
                Store(pOut, _mm_packs_epi32(ThreeByteUnits(lanes1), ThreeByteUnits(lanes2)));
                pIn += 24;
                pOut += 8;
                continue;
            }
            unsigned int const sequences = static_cast<unsigned int>(__builtin_ctz(~leadsOk)) / 4;
            if (sequences != 0) {
                Store(pOut, _mm_packs_epi32(ThreeByteUnits(lanes1), ThreeByteUnits(lanes2)));
                pIn += std::size_t{3} * sequences;
                pOut += sequences;
                continue;
            }
            __m128i const bytes = Load(pIn);
            auto const high = static_cast<unsigned int>(_mm_movemask_epi8(bytes));
            unsigned int const asciiRun = static_cast<unsigned int>(__builtin_ctz(high | 0x10000u));
            if (asciiRun == 0 || asciiRun == 16)
                break;
            Store(pOut, _mm_unpacklo_epi8(bytes, zero));
            Store(pOut + 8, _mm_unpackhi_epi8(bytes, zero));
            pIn += asciiRun;
            pOut += asciiRun;
        }
    }
    pos = static_cast<unsigned int>(pIn - pSource);
    units = static_cast<unsigned int>(pOut - pTarget);
}

#endif

// UTF-16 to UTF-8 over count units: the bytes, also written at pTarget when kWrite.
template <bool kWrite>
unsigned int WalkUtf16ToUtf8(unsigned char* pTarget, unsigned short const* pSource, unsigned int count)
{
    unsigned int bytes = 0;
    for (unsigned int i = 0; i < count;) {
#if LXIBASE_SSE2
        if (count - i >= 8) {
            if constexpr (kWrite)
                EncodeUtf8Blocks(pTarget, bytes, pSource, i, count);
            else
                CountUtf8Blocks(pSource, i, count, bytes);
            if (i == count)
                break;
        }
#endif
        unsigned int const unit = pSource[i++];
        unsigned int const size = Utf8Bytes(unit);
        if constexpr (kWrite)
            PutUtf8(pTarget + bytes, unit, size);
        bytes += size;
    }
    return bytes;
}

// UTF-8 to UTF-16 over count bytes: the units, also written at pTarget when
// kWrite (room as for lxistr::DecodeUtf8).
template <bool kWrite>
unsigned int WalkUtf8ToUtf16(unsigned short* pTarget, unsigned int room, unsigned char const* pSource,
                             unsigned int count)
{
    unsigned int units = 0;
    for (unsigned int pos = 0; pos < count;) {
#if LXIBASE_SSE2
        if (count - pos >= 16) {
            if constexpr (kWrite)
                DecodeUtf8Blocks(pTarget, room, units, pSource, pos, count);
            else
                CountUtf16Blocks(pSource, pos, count, units);
            if (pos == count)
                break;
        }
#endif
        unsigned int const bytes = SequenceBytes(pSource[pos], count - pos);
        if constexpr (kWrite)
            pTarget[units] = SequenceUnit(pSource + pos, bytes);
        ++units;
        pos += bytes;
    }
    static_cast<void>(room);
    return units;
}

}  // namespace

unsigned int lxistr::DecodeUtf8(unsigned short* pTarget, unsigned int room, unsigned char const* pSource,
                                unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return 0;
    return WalkUtf8ToUtf16<true>(pTarget, room, pSource, count);
}

unsigned int CStrUtil::StrlenUtf16(unsigned short const* pText)
{
    if (pText == nullptr)
        return 0;
    unsigned int n = 0;
    while (pText[n] != s_UtfNulChar)
        ++n;
    return n;
}

unsigned int CStrUtil::StrlenUtf16(unsigned short const* pText, unsigned int limit)
{
    if (pText == nullptr)
        return 0;
    unsigned int n = 0;
    while (n < limit && pText[n] != s_UtfNulChar)
        ++n;
    return n;
}

void CStrUtil::MemcpyUtf16FromAscii(unsigned short* pTarget, char const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = static_cast<unsigned char>(pSource[i]);
}

void CStrUtil::MemcpyAsciiFromUtf16(char* pTarget, unsigned short const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = IsASCIICharacter(pSource[i]) ? static_cast<char>(pSource[i]) : s_replaceChar;
}

void CStrUtil::MemcpyWCharFromUtf16(wchar_t* pTarget, unsigned short const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
#pragma GCC unroll 4
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = static_cast<wchar_t>(pSource[i]);
}

void CStrUtil::MemcpyUtf16FromWChar(unsigned short* pTarget, wchar_t const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    unsigned int i = 0;
#if LXIBASE_SSE2
    // 8 values at a time: "?" for those with an upper bit set, then the low
    // 16 bits of each (sign-extended, which _mm_packs_epi32 keeps exact).
    __m128i const zero = _mm_setzero_si128();
    __m128i const replacement = _mm_set1_epi32(s_replaceChar);
    for (; count - i >= 8; i += 8) {
        __m128i halves[2] = {Load(pSource + i), Load(pSource + i + 4)};
        bool const wide =
            _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(_mm_or_si128(halves[0], halves[1]), 16), zero)) != 0xFFFF;
        for (__m128i& values : halves) {
            if (wide) {
                __m128i const fits = _mm_cmpeq_epi32(_mm_srli_epi32(values, 16), zero);
                values = _mm_or_si128(_mm_and_si128(fits, values), _mm_andnot_si128(fits, replacement));
            }
            values = _mm_srai_epi32(_mm_slli_epi32(values, 16), 16);
        }
        Store(pTarget + i, _mm_packs_epi32(halves[0], halves[1]));
    }
#endif
    for (; i < count; ++i) {
        // wchar_t is 32 bits here; any upper bit set means beyond the BMP.
        // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c): a wchar_t, taken as its 32 bits
        auto const value = static_cast<unsigned int>(pSource[i]);
        pTarget[i] = value <= 0xFFFFu ? static_cast<unsigned short>(value)
                                      : static_cast<unsigned short>(s_replaceChar);
    }
}

void CStrUtil::MemcpyUtf8FromUtf16(unsigned char* pTarget, unsigned short const* pSource,
                                   unsigned int count)
{
    if (pTarget != nullptr && pSource != nullptr)
        WalkUtf16ToUtf8<true>(pTarget, pSource, count);
}

void CStrUtil::MemcpyUtf16FromUtf8(unsigned short* pTarget, unsigned char const* pSource,
                                   unsigned int count)
{
    lxistr::DecodeUtf8(pTarget, 0, pSource, count);
}

unsigned int CStrUtil::LengthOfUtf8FromUtf16(unsigned short const* pSource, unsigned int count)
{
    return pSource != nullptr ? WalkUtf16ToUtf8<false>(nullptr, pSource, count) : 0u;
}

unsigned int CStrUtil::LengthOfUtf16FromUtf8(unsigned char const* pSource, unsigned int count)
{
    return pSource != nullptr ? WalkUtf8ToUtf16<false>(nullptr, 0, pSource, count) : 0u;
}

// Whitespace, boolean and integer helpers.

const wchar_t CStrUtil::s_whiteSpaceChars[7] = {L' ', L'\t', L'\n', L'\v', L'\f', L'\r', 0};

// After CStr::s_emptyString and before the runtime's strings; destroyed in
// the reverse order.
CStr CStrUtil::s_sTrue __attribute__((init_priority(1001))) = CStr("true");
CStr CStrUtil::s_sTrueAlt1 __attribute__((init_priority(1001))) = CStr("TRUE");
CStr CStrUtil::s_sTrueAlt2 __attribute__((init_priority(1001))) = CStr("True");
CStr CStrUtil::s_sTrueAlt3 __attribute__((init_priority(1001))) = CStr("ON");
CStr CStrUtil::s_sTrueAlt4 __attribute__((init_priority(1001))) = CStr("On");
CStr CStrUtil::s_sTrueAlt5 __attribute__((init_priority(1001))) = CStr("on");
CStr CStrUtil::s_sTrueAlt6 __attribute__((init_priority(1001))) = CStr("YES");
CStr CStrUtil::s_sTrueAlt7 __attribute__((init_priority(1001))) = CStr("Yes");
CStr CStrUtil::s_sTrueAlt8 __attribute__((init_priority(1001))) = CStr("yes");
CStr CStrUtil::s_sFalse __attribute__((init_priority(1001))) = CStr("false");

bool CStrUtil::IsWhiteSpace(unsigned short unit, wchar_t const* pSet)
{
    // Compared as unsigned 32-bit values: an element above 0xFFFF (or a
    // negative one) never matches, and the terminator stops before unit 0.
    for (wchar_t const* p = pSet != nullptr ? pSet : s_whiteSpaceChars; *p != 0; ++p) {
        if (static_cast<unsigned int>(*p) == unit)
            return true;
    }
    return false;
}

namespace {

// The scans' common walk over count units, from the first or from the last.
unsigned short const* ScanWhiteSpace(unsigned short const* pText, unsigned int count,
                                     wchar_t const* pSet, bool wanted, bool reverse)
{
    if (pText == nullptr)
        return nullptr;
    for (unsigned int n = 0; n < count; ++n) {
        unsigned int const i = reverse ? count - 1 - n : n;
        if (CStrUtil::IsWhiteSpace(pText[i], pSet) == wanted)
            return pText + i;
    }
    return nullptr;
}

}  // namespace

unsigned short const* CStrUtil::ScanWhiteSpaceForward(unsigned short const* pText,
                                                      unsigned int count, wchar_t const* pSet,
                                                      bool wanted)
{
    return ScanWhiteSpace(pText, count, pSet, wanted, false);
}

unsigned short const* CStrUtil::ScanWhiteSpaceReverse(unsigned short const* pText,
                                                      unsigned int count, wchar_t const* pSet,
                                                      bool wanted)
{
    return ScanWhiteSpace(pText, count, pSet, wanted, true);
}

CStr const& CStrUtil::ConvertBoolean(bool value)
{
    return value ? s_sTrue : s_sFalse;
}

bool CStrUtil::ConvertToBoolean(CStr const& text)
{
    static CStr const* const s_apTrueWords[] = {&s_sTrue,     &s_sTrueAlt1, &s_sTrueAlt2,
                                                &s_sTrueAlt3, &s_sTrueAlt4, &s_sTrueAlt5,
                                                &s_sTrueAlt6, &s_sTrueAlt7, &s_sTrueAlt8};
    for (CStr const* pWord : s_apTrueWords) {
        if (text.Equals(*pWord))
            return true;
    }
    return false;
}

bool CStrUtil::ConvertToInteger(CStr const& text, int& value)
{
    CStrA copy(text);
    char const* const pStart = copy.GetDataA();
    // strtol with base 0 reads exactly what the scanf "%i" conversion reads,
    // but reports a number beyond the range of long instead of leaving the
    // result undefined; anything beyond int is refused too. The caller's
    // errno is kept.
    int const savedErrno = errno;
    char* pEnd = nullptr;
    errno = 0;
    long const number = std::strtol(pStart, &pEnd, 0);
    bool const overflow = errno == ERANGE;
    errno = savedErrno;
    if (pEnd == pStart || overflow || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}
