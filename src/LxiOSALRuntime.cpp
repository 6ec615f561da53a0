#include "LxiOSALRuntime.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <unistd.h>

#include "StrW.h"

// After CStr::s_emptyString and the boolean words of CStrUtil; destroyed in
// the reverse order, s_PathSeparator first.
CStr CLxiOSALRuntime::s_sSpace __attribute__((init_priority(1002))) = CStr(" ");
CStr CLxiOSALRuntime::s_PathSeparator __attribute__((init_priority(1003))) = CStr("/");

namespace {

// usleep takes a 32-bit microsecond count, so one call covers at most this.
constexpr unsigned int kMaxSleepChunkMs = 1000000u;

// Writes the text without losing any of it. A stream the host already made
// wide gets the wide functions. Any other stream gets the text converted by
// the current locale (a character it cannot express becomes "?") as plain
// bytes: wide output would orient a byte stream and swallow the host's later
// printf output, or stop at the first non-ASCII character in the "C" locale.
void WriteText(std::FILE* pStream, CStr const& text)
{
    if (std::fwide(pStream, 0) > 0) {
        CStrW wide(text);
        std::fwprintf(pStream, L"%ls", wide.GetDataW());
        std::fflush(pStream);
        return;
    }

    constexpr std::size_t kChunk = 256;
    char aChunk[kChunk + MB_LEN_MAX];
    std::size_t used = 0;
    std::mbstate_t state{};
    unsigned short const* pText = text.GetData();
    unsigned int const length = text.GetLength();

    flockfile(pStream);   // keeps one text together when it spans chunks
    for (unsigned int i = 0; i < length && pText[i] != 0; ++i) {
        std::size_t const n = std::wcrtomb(aChunk + used, static_cast<wchar_t>(pText[i]), &state);
        if (n == static_cast<std::size_t>(-1)) {
            aChunk[used++] = '?';
            state = std::mbstate_t{};
        } else {
            used += n;
        }
        if (used >= kChunk) {
            std::fwrite(aChunk, 1, used, pStream);
            used = 0;
        }
    }
    if (used != 0)
        std::fwrite(aChunk, 1, used, pStream);
    funlockfile(pStream);
    std::fflush(pStream);
}

}  // namespace

void* CLxiOSALRuntime::Malloc(unsigned int size)
{
    return std::malloc(size);
}

void CLxiOSALRuntime::Free(void* pBlock)
{
    std::free(pBlock);
}

void* CLxiOSALRuntime::Realloc(void* pBlock, unsigned int size)
{
    // realloc(p, 0) may free p and return null, which callers would take for
    // a failure with p still valid. Ask for one byte instead.
    return std::realloc(pBlock, size != 0 ? size : 1u);
}

void CLxiOSALRuntime::Sleep(unsigned int milliseconds)
{
    // Long sleeps are served in pieces rather than wrapping the microseconds.
    do {
        unsigned int const chunk = milliseconds < kMaxSleepChunkMs ? milliseconds : kMaxSleepChunkMs;
        usleep(static_cast<useconds_t>(chunk) * 1000u);
        milliseconds -= chunk;
    } while (milliseconds != 0);
}

void CLxiOSALRuntime::GetTimeStamp(CStr& stamp)
{
    std::time_t const now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char aBuffer[32] = {0};
    std::strftime(aBuffer, sizeof(aBuffer), "%Y-%m-%d %H:%M:%S", &local);
    stamp.Assign(aBuffer);
}

long long CLxiOSALRuntime::GetOSCurrentTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // Nearest millisecond, halves up: the same as round(ns / 1e6) for
    // 0 <= ns < 1e9, without pulling in libm.
    return static_cast<long long>(now.tv_sec) * 1000LL +
           (static_cast<long long>(now.tv_nsec) + 500000LL) / 1000000LL;
}

void CLxiOSALRuntime::WriteToStdErr(CStr const& text)
{
    WriteText(stderr, text);
}

void CLxiOSALRuntime::WriteToStdOut(CStr const& text)
{
    WriteText(stdout, text);
}
