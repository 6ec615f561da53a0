// A short tour of lxibase as a module of the stack would use it.
#include <cstdio>
#include <initializer_list>

#include "LxiOSALRuntime.h"
#include "Str.h"
#include "StrA.h"
#include "StrUtil.h"
#include "StrW.h"

namespace {

void Show(char const* pWhat, CStr const& text)
{
    CStrA narrow(text);
    std::printf("%-34s \"%s\"  (%u units, capacity %u)\n", pWhat, narrow.GetDataA(),
                text.GetLength(), text.GetBuffSize());
}

}  // namespace

int main()
{
    std::printf("lxibase demo\n\n");

    // Text from the three encodings a module meets at its edges.
    CStr sScpi("*IDN?");
    CStr sWide(L"MEAS:VOLT:DC? 10,0.001");
    CStr sUtf8(reinterpret_cast<unsigned char const*>("Temp 23.5 \xC2\xB0""C, Gr\xC3\xB6\xC3\x9F""e"));
    Show("8-bit text", sScpi);
    Show("wide text", sWide);
    Show("UTF-8 text (non-ASCII shows as ?)", sUtf8);

    // A record-style string living in its owner's 32-unit array.
    unsigned short aName[32];
    CStr sName(aName, 31, true, false);
    sName.Assign("Keysight 34461A");
    std::printf("inline buffer used: %s\n", sName.GetData() == aName ? "yes" : "no");
    Show("inline string", sName);
    sName.Assign("a description far longer than thirty-one units");
    std::printf("after a long text, inline buffer used: %s\n",
                sName.GetData() == aName ? "yes" : "no");

    // UTF-8 out again, the way a web page or a peer would want it.
    unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(sUtf8.GetData(), sUtf8.GetLength());
    unsigned char aUtf8[64] = {0};
    if (bytes < sizeof(aUtf8))
        CStrUtil::MemcpyUtf8FromUtf16(aUtf8, sUtf8.GetData(), sUtf8.GetLength());
    std::printf("back to UTF-8: %u bytes\n", bytes);

    // Time-efficient strings grow by powers of two instead of fitting exactly.
    CStr sExact(0u, false);
    CStr sFast(0u, true);
    for (char const* pText : {"a", "abcde", "abcdefghijklm", "abcdefghijklmnopqrstuvwxyzabc"}) {
        sExact.Assign(pText);
        sFast.Assign(pText);
        std::printf("length %2u: exact capacity %2u, time-efficient capacity %2u\n",
                    sExact.GetLength(), sExact.GetBuffSize(), sFast.GetBuffSize());
    }

    // Clocks and the console.
    CStr sStamp;
    CLxiOSALRuntime::GetTimeStamp(sStamp);
    Show("time stamp", sStamp);
    std::printf("ms since the epoch: %lld\n", CLxiOSALRuntime::GetOSCurrentTime());
    CLxiOSALRuntime::WriteToStdOut(CStr(L"console: 100% of this line arrives\n"));
    std::printf("done\n");
    return 0;
}
