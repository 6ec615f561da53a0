// Internal to the library (not installed): what CStr and CStrUtil share
// beyond the public headers.
//
// Vector blocks: with SSE2 (every x86-64) the fast paths take 16 bytes at a
// time; elsewhere, or with LXIBASE_PORTABLE defined, only their scalar loops
// run. Each fast function runs its vector blocks first and then the one
// scalar loop that also finishes the tail, so the scalar code runs on every
// target, for short inputs at least.
#ifndef LXIBASE_STRWALKS_H
#define LXIBASE_STRWALKS_H

#if defined(__SSE2__) && !defined(LXIBASE_PORTABLE)
#include <emmintrin.h>
#define LXIBASE_SSE2 1
#else
#define LXIBASE_SSE2 0
#endif

namespace lxistr {

// MemcpyUtf16FromUtf8 for a target known to have room for `room` units
// (0: only for the decoded length): the same units, and their number. With
// more room than the decoded length the vector blocks may write up to 16
// units beyond what they decode, within that room.
unsigned int DecodeUtf8(unsigned short* pTarget, unsigned int room, unsigned char const* pSource,
                        unsigned int count);

}  // namespace lxistr

#endif
