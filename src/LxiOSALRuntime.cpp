#include "LxiOSALRuntime.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ErrorHandler.h"
#include "LxiThreadObject.h"
#include "StrA.h"
#include "StrUtil.h"
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
        // A closed or failing stream loses the text silently.
        static_cast<void>(std::fwprintf(pStream, L"%ls", wide.GetDataW()));
        static_cast<void>(std::fflush(pStream));
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
            static_cast<void>(std::fwrite(aChunk, 1, used, pStream));
            used = 0;
        }
    }
    if (used != 0)
        static_cast<void>(std::fwrite(aChunk, 1, used, pStream));
    funlockfile(pStream);
    static_cast<void>(std::fflush(pStream));
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
    static_cast<void>(std::strftime(aBuffer, sizeof(aBuffer), "%Y-%m-%d %H:%M:%S", &local));   // 19 characters always fit
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

// ---- Files ----------------------------------------------------------------

char const* const CLxiOSALRuntime::s_readMode = "rb";
char const* const CLxiOSALRuntime::s_writeMode = "wb";
char const* const CLxiOSALRuntime::s_appendMode = "ab";
char const* const CLxiOSALRuntime::s_readUpdateMode = "rb+";
char const* const CLxiOSALRuntime::s_writeUpdateMode = "wb+";
char const* const CLxiOSALRuntime::s_appendUpdateMode = "ab+";
const unsigned char CLxiOSALRuntime::s_ByteOrderMarkUtf16[2] = {0xFF, 0xFE};
const unsigned char CLxiOSALRuntime::s_ByteOrderMarkUtf8[3] = {0xEF, 0xBB, 0xBF};
const unsigned int CLxiOSALRuntime::s_ByteOrderMarkUtf8Length = 3;

namespace {

struct stMarkKind
{
    wchar_t const* pFailureText;    // stderr notice, "%ls" takes the path
    unsigned char const* pMark;
    unsigned int itemSize;          // the mark goes out as items of this size
    unsigned int itemCount;
};

// The size of an open file: fstat, else the stream's end position; -1 when
// neither works.
long long FileSize(std::FILE* pFile)
{
    struct stat info {};
    if (fstat(fileno(pFile), &info) == 0)
        return static_cast<long long>(info.st_size);
    if (std::fseek(pFile, 0, SEEK_END) != 0)
        return -1;
    return static_cast<long long>(std::ftell(pFile));
}

// The 8-bit copy of a non-empty path is empty only when its block could not
// be had. The system must not see "" then: fopen fails on it for the wrong
// reason and remove reports it as an absent file, that is, success.
bool CopyFailed(CStrA const& copy, CStr const& text)
{
    return copy.IsEmpty() && text.GetChar(0) != 0;
}

// A failed mark write is not reported: the error log itself is opened
// through here, so reporting it would recurse.
std::FILE* OpenWithMark(CStr const& path, char const* pMode, stMarkKind const& kind)
{
    std::FILE* pFile = CLxiOSALRuntime::FileOpen(path, pMode);
    if (pFile == nullptr) {
        CStr notice;
        notice.Format(kind.pFailureText, CStrW(path).GetDataW());
        // A path too long to format, or a wide copy that found no memory:
        // the notice still carries the whole path.
        if (notice.GetLength() != std::wcslen(kind.pFailureText) - 3 + path.GetLength())
            notice.Assign(kind.pFailureText).Replace(CStr(L"%ls"), path, 0, false);
        CLxiOSALRuntime::WriteToStdErr(notice);
        return nullptr;
    }
    unsigned int const markBytes = kind.itemSize * kind.itemCount;
    if (std::strcmp(pMode, "wb") == 0) {
        CLxiOSALRuntime::FileWrite(kind.pMark, kind.itemSize, kind.itemCount, pFile);
    } else if (std::strcmp(pMode, "ab+") == 0) {
        // An unknown size gets no mark: one in mid-file would corrupt it.
        if (FileSize(pFile) == 0)
            CLxiOSALRuntime::FileWrite(kind.pMark, kind.itemSize, kind.itemCount, pFile);
    } else if (std::strcmp(pMode, "rb") == 0) {
        unsigned char aHead[4] = {0};
        CLxiOSALRuntime::FileRead(aHead, kind.itemSize, kind.itemCount, pFile);
        if (std::memcmp(aHead, kind.pMark, markBytes) != 0)
            static_cast<void>(std::fseek(pFile, 0, SEEK_SET));   // a stream that cannot seek reads on
    }
    return pFile;
}

}  // namespace

std::FILE* CLxiOSALRuntime::FileOpen(char const* pPath, char const* pMode)
{
    return std::fopen(pPath, pMode);
}

std::FILE* CLxiOSALRuntime::FileOpen(CStr const& path, char const* pMode)
{
    CStrA const pathA(path);
    if (CopyFailed(pathA, path)) {
        errno = ENOMEM;
        return nullptr;
    }
    return FileOpen(pathA.GetDataA(), pMode);
}

std::FILE* CLxiOSALRuntime::FileOpenUtf16(CStr const& path, char const* pMode)
{
    static const stMarkKind s_kind = {L"FileOpenUtf16: the file %ls failed to open!\n",
                                      s_ByteOrderMarkUtf16, 2, 1};
    return OpenWithMark(path, pMode, s_kind);
}

std::FILE* CLxiOSALRuntime::FileOpenUtf8(CStr const& path, char const* pMode)
{
    static const stMarkKind s_kind = {L"FileOpenUtf8: the file %ls failed to open!\n",
                                      s_ByteOrderMarkUtf8, 1, s_ByteOrderMarkUtf8Length};
    return OpenWithMark(path, pMode, s_kind);
}

short CLxiOSALRuntime::FileClose(std::FILE* pFile)
{
    return std::fclose(pFile) == 0 ? 0 : -1;
}

short CLxiOSALRuntime::FileFlush(std::FILE* pFile)
{
    return std::fflush(pFile) == 0 ? 0 : -1;
}

unsigned int CLxiOSALRuntime::FileRead(void* pBuffer, unsigned int itemSize, unsigned int itemCount,
                                       std::FILE* pFile)
{
    return static_cast<unsigned int>(std::fread(pBuffer, itemSize, itemCount, pFile));
}

unsigned int CLxiOSALRuntime::FileWrite(void const* pData, unsigned int itemSize,
                                        unsigned int itemCount, std::FILE* pFile)
{
    return static_cast<unsigned int>(std::fwrite(pData, itemSize, itemCount, pFile));
}

bool CLxiOSALRuntime::FileWrite(CStr const& text, std::FILE* pFile)
{
    unsigned int const length = text.GetLength();
    if (length == 0)
        return true;
    return FileWrite(text.GetData(), 2, length, pFile) == length;
}

bool CLxiOSALRuntime::FileWrite(CStr const& first, CStr const& second, std::FILE* pFile)
{
    // An empty first text writes nothing, and the second is still written.
    return FileWrite(first, pFile) && FileWrite(second, pFile);
}

short CLxiOSALRuntime::FileRemove(char const* pPath)
{
    int const result = std::remove(pPath);
    if (result == 0 || errno == ENOENT)
        return 0;
    return static_cast<short>(result);
}

short CLxiOSALRuntime::FileRemove(CStr const& path)
{
    CStrA const pathA(path);
    if (CopyFailed(pathA, path)) {
        errno = ENOMEM;
        return -1;
    }
    return FileRemove(pathA.GetDataA());
}

// ---- Threads --------------------------------------------------------------

namespace {

// Runs the life cycle of one thread object. After the last store the object
// may already be destroyed or restarted, so nothing touches it afterwards.
void* threadFunction(void* pArgument)
{
    auto& thread = *static_cast<CLxiThreadObject*>(pArgument);
    thread.SetThreadState(LXI_THRD_STARTUP);
    thread.Startup();
    thread.SetThreadState(LXI_THRD_RUNNING);
    while (thread.GetThreadState() == LXI_THRD_RUNNING) {
        thread.Execute();
        thread.WaitForNextExecution();
    }
    thread.SetThreadState(LXI_THRD_SHUTDOWN);
    thread.Shutdown();
    thread.SetThreadState(LXI_THRD_TERMINATED);
    return nullptr;
}

constexpr unsigned int kPollMs = 10;

}  // namespace

bool CLxiOSALRuntime::CreateThread(CLxiThreadObject& thread)
{
    // Detached: nobody joins, and an ended thread leaves nothing behind.
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t id;
    int const result = pthread_create(&id, &attributes, threadFunction, &thread);
    pthread_attr_destroy(&attributes);
    return result == 0;
}

void CLxiOSALRuntime::RequestStopThread(CLxiThreadObject& thread)
{
    if (thread.GetThreadState() == LXI_THRD_RUNNING)
        thread.SetThreadState(LXI_THRD_STOP_REQUESTED);
}

bool CLxiOSALRuntime::StopThreadAndWaitForTermination(CLxiThreadObject& thread, unsigned int timeoutMs)
{
    for (unsigned int waited = 0;
         thread.GetThreadState() != LXI_THRD_TERMINATED && waited < timeoutMs; waited += kPollMs) {
        RequestStopThread(thread);
        Sleep(kPollMs);
        if (timeoutMs - waited < kPollMs)
            break;   // the next step would wrap past the timeout
    }
    return thread.GetThreadState() == LXI_THRD_TERMINATED;
}

// ---- Modules and processes -----------------------------------------------

namespace {

// False for a shared object of this machine's word size whose loadable
// segments reach past the end of its file: dlopen would map them and die
// of SIGBUS on the first touch. Anything else is left to dlopen to judge.
bool SegmentsInsideFile(char const* pPath)
{
    std::FILE* pFile = CLxiOSALRuntime::FileOpen(pPath, CLxiOSALRuntime::s_readMode);
    if (pFile == nullptr)
        return true;
    bool inside = true;
    ElfW(Ehdr) header{};
    struct stat info {};
    if (fstat(fileno(pFile), &info) == 0 &&
        CLxiOSALRuntime::FileRead(&header, sizeof(header), 1, pFile) == 1 &&
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
        header.e_ident[EI_CLASS] == (__ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32) &&
        header.e_phentsize == sizeof(ElfW(Phdr))) {
        auto const size = static_cast<unsigned long long>(info.st_size);
        inside = header.e_phoff <= size &&
                 std::fseek(pFile, static_cast<long>(header.e_phoff), SEEK_SET) == 0;
        for (unsigned int i = 0; inside && i < header.e_phnum; ++i) {
            ElfW(Phdr) segment{};
            inside = CLxiOSALRuntime::FileRead(&segment, sizeof(segment), 1, pFile) == 1 &&
                     (segment.p_type != PT_LOAD ||
                      (segment.p_filesz <= size && segment.p_offset <= size - segment.p_filesz));
        }
    }
    CLxiOSALRuntime::FileClose(pFile);
    return inside;
}

}  // namespace

bool CLxiOSALRuntime::LoadDynLibrary(CStr const& path, ILxiModuleCtrlIfc*& pInterface)
{
    // An empty name (no text, or a copy that found no memory) would give
    // dlopen the program itself, and its global scope somebody else's entry.
    CStrA const pathA(path);
    if (pathA.IsEmpty())
        return false;
    // A name without "/" is searched for by dlopen; one with it is the file.
    if (std::strchr(pathA.GetDataA(), '/') != nullptr && !SegmentsInsideFile(pathA.GetDataA()))
        return false;
    // RTLD_NOW: every symbol resolved at load; the module's symbols stay local.
    void* pHandle = dlopen(pathA.GetDataA(), RTLD_NOW);
    if (pHandle == nullptr)
        return false;
    void* pSymbol = dlsym(pHandle, "GetILxiModuleCtrlIfc");
    if (pSymbol == nullptr)
        return false;
    using EntryFunction = bool (*)(ILxiModuleCtrlIfc*&);
    return reinterpret_cast<EntryFunction>(pSymbol)(pInterface);
}

bool CLxiOSALRuntime::StartExecutable(CStr const& program, CStr const& arguments, CStr const& /*unused*/)
{
    unsigned short aLine[32];
    CStr line(aLine, 31, true, false);
    line.Assign(program).Append(s_sSpace).Append(arguments);
    // A line cut short by a failed allocation must not run.
    if (line.GetLength() != program.GetLength() + 1 + arguments.GetLength())
        return false;
    // A blank line starts nothing, yet the shell would report success.
    if (CStrUtil::ScanWhiteSpaceForward(line.GetData(), line.GetLength(), nullptr, false) == nullptr)
        return false;
    CStrA command(line);
    if (command.IsEmpty())
        return false;
    return std::system(command.GetDataA()) == 0;   // NOLINT(cert-env33-c): programs run through the shell by contract
}

void CLxiOSALRuntime::GetApplicationPath(CStr& path)
{
    CStr link;
    link.Format(L"/proc/%d/exe", static_cast<int>(getpid()));
    CStrA linkA(link);

    // Grow the buffer until the whole target fits with room to spare: a
    // result that fills the buffer may have been cut.
    char aLocal[260];
    char* pBuffer = aLocal;
    std::size_t size = sizeof(aLocal);
    for (;;) {
        ssize_t const n = readlink(linkA.GetDataA(), pBuffer, size);
        if (n >= 0 && static_cast<std::size_t>(n) < size) {
            path.Assign(pBuffer, static_cast<unsigned int>(n));
            break;
        }
        if (n < 0 || size > (1u << 24))
            break;   // unreadable: the caller's text stays
        size *= 2;
        void* pGrown = pBuffer == aLocal ? Malloc(static_cast<unsigned int>(size))
                                         : Realloc(pBuffer, static_cast<unsigned int>(size));
        if (pGrown == nullptr)
            break;
        pBuffer = static_cast<char*>(pGrown);
    }
    if (pBuffer != aLocal)
        Free(pBuffer);

    unsigned int last = 0;
    for (unsigned int found = path.FindNext(s_PathSeparator, last + 1);
         static_cast<int>(found) >= 0; found = path.FindNext(s_PathSeparator, last + 1))
        last = found;
    path.Cut(0, last);
}

void CLxiOSALRuntime::SetCurrentDirectoryToGivenPath(CStr const& path)
{
    if (chdir(CStrA(path).GetDataA()) == -1)
        CErrorHandler::LogMsg(L"../src/LxiOSALRuntime.cpp", __LINE__, true,
                              LXI_ERR_SET_CURRENT_DIRECTORY_FAILED);
}

void CLxiOSALRuntime::SetWorkingDirectory()
{
    CStr path;
    GetApplicationPath(path);
    SetCurrentDirectoryToGivenPath(path);
}
