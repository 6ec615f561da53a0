#include "Corpus.h"

#include <benchmark/benchmark.h>
#include <unicode/uversion.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace lxibench {

namespace {

constexpr std::size_t kCorpusBytes = 1u << 20;

// xorshift32: the same texts on every machine and every run.
class CRandom
{
public:
    unsigned int Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    unsigned int Below(unsigned int n) { return Next() % n; }
    template <typename T, std::size_t N>
    T const& Pick(T const (&items)[N])
    {
        return items[Below(static_cast<unsigned int>(N))];
    }

private:
    unsigned int m_state = 0x2545F491u;
};

// A command line that is common in the ASCII corpus; the prefix needles
// share all but their last unit with it.
char const kCommonLine[] =
    ":CONF:VOLT:DC 10,0.0001;:SAMP:COUN 100;:TRIG:SOUR BUS;:INIT;*TRG;:FETC?";
// The rare needles: '#' never occurs in the generated texts; the unit after it
// is a letter of its own for each needle.
char const kRareLine[] =
    "#9000001024:TRAC:DATA 0.001234,0.002345,0.003456,0.004567,0.005678,0.006789";

void AppendAsciiLine(std::string& out, CRandom& random)
{
    static char const* const s_apCommands[] = {
        "MEAS:VOLT:DC? 10,0.001", "MEAS:CURR:AC? 1,0.0001", "SENS:VOLT:DC:NPLC 10",
        "SENS:CURR:AC:RANG:AUTO ON", "TRIG:SOUR IMM;:TRIG:DEL 0.001", "SYST:ERR?", "*IDN?",
        "*RST;*CLS", "READ?", "CALC:FUNC AVER;:CALC:STAT ON", "SOUR:VOLT 12.5;:OUTP ON",
        "FORM:DATA ASC", "DISP:TEXT \"MEASURING\"", "SYST:COMM:LAN:IPAD?"};
    static char const* const s_apMessages[] = {
        "Resize(): malloc() failed", "HiSLIP: client connected",
        "LAN event: trigger LAN0 received", "mDNS: service announced",
        "Web server: GET /lxi/identification", "Database item (412) not found!",
        "Module manager: all modules started"};
    static char const* const s_apFiles[] = {"src/Str.cpp", "src/HiSlipServer.cpp",
                                            "src/WebServer.cpp", "src/ModuleManager.cpp"};
    char aLine[160];
    switch (random.Below(8)) {
    case 0:
    case 1:
        std::snprintf(aLine, sizeof aLine, "%s\n", random.Pick(s_apCommands));
        break;
    case 2:
        std::snprintf(aLine, sizeof aLine, "%+.8E\n",
                      (random.Below(2000000) - 1000000.0) / 65536.0);
        break;
    case 3:
        std::snprintf(aLine, sizeof aLine, "%s\n", kCommonLine);
        break;
    case 4:
        std::snprintf(aLine, sizeof aLine, "ACME METERS,XM-100,AM%08u,A.02.%02u\n",
                      random.Below(100000000), random.Below(20));
        break;
    case 5:
        std::snprintf(aLine, sizeof aLine, "%s\n",
                      random.Below(4) == 0 ? "-113,\"Undefined header\"" : "+0,\"No error\"");
        break;
    default:
        std::snprintf(aLine, sizeof aLine, "2024-05-14 08:%02u:%02u %s in line %u, file: %s\n",
                      random.Below(60), random.Below(60), random.Pick(s_apMessages),
                      random.Below(2000), random.Pick(s_apFiles));
        break;
    }
    out += aLine;
}

void AppendWesternLine(std::string& out, CRandom& random)
{
    static char const* const s_apWords[] = {
        "der", "die", "und", "für", "über", "Messgerät", "Spannung", "Größe", "Prüfung",
        "schließen", "Genauigkeit", "wird", "nach", "Kalibrierung", "le", "la", "de", "des",
        "pour", "température", "élevée", "mesure", "déclenchement", "numéro", "réseau",
        "système", "erreur", "à", "être", "fenêtre", "el", "los", "con", "señal", "corriente",
        "medición", "configuración", "año", "también", "dirección", "instrument", "data",
        "mode", "canal", "Kanal", "valeur", "Wert", "valor"};
    unsigned int const words = 6 + random.Below(10);
    for (unsigned int i = 0; i < words; ++i) {
        if (i != 0)
            out += random.Below(8) == 0 ? ", " : " ";
        out += random.Pick(s_apWords);
    }
    out += ".\n";
}

void AppendCjkLine(std::string& out, CRandom& random)
{
    // Common characters of instrument manuals, each 3 bytes in UTF-8.
    static char const* const s_apChars[] = {
        "測", "定", "電", "圧", "流", "周", "波", "数", "抵", "抗", "設", "値", "範", "囲",
        "自", "動", "手", "開", "始", "停", "止", "誤", "差", "校", "正", "温", "度", "接",
        "続", "通", "信", "網", "絡", "地", "址", "服", "務", "器", "端", "口", "錯", "記",
        "録", "時", "間", "日", "付", "の", "を", "に", "は", "が", "で", "と", "し", "た",
        "て", "る", "い", "ま", "す", "で", "ト", "リ", "ガ", "ー", "、"};
    unsigned int const chars = 12 + random.Below(30);
    for (unsigned int i = 0; i < chars; ++i)
        out += random.Pick(s_apChars);
    out += "。\n";
}

std::u16string DecodeWithIcu(std::string const& utf8)
{
    std::u16string utf16(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(&utf16[0]), static_cast<int32_t>(utf16.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "ICU cannot decode the corpus: %s\n", u_errorName(status));
        std::exit(1);
    }
    utf16.resize(static_cast<std::size_t>(length));
    return utf16;
}

stCorpus MakeCorpus(enumCorpus kind)
{
    stCorpus corpus;
    corpus.pName = GetCorpusName(kind);
    CRandom random;
    for (unsigned int line = 0; corpus.utf8.size() < kCorpusBytes; ++line) {
        switch (kind == CORPUS_MIXED ? line % 3 : static_cast<unsigned int>(kind)) {
        case CORPUS_ASCII:
            AppendAsciiLine(corpus.utf8, random);
            break;
        case CORPUS_WESTERN:
            AppendWesternLine(corpus.utf8, random);
            break;
        default:
            AppendCjkLine(corpus.utf8, random);
            break;
        }
    }
    corpus.utf16 = DecodeWithIcu(corpus.utf8);
    return corpus;
}

std::string CpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.compare(0, 10, "model name") == 0)
            return line.substr(line.find(':') + 2);
    }
    return "unknown";
}

// What the results table needs besides the library's own context.
int AddContext()
{
    benchmark::AddCustomContext("cpu_model", CpuModel());
#if defined(__clang__)
    benchmark::AddCustomContext("compiler", "clang++ " __clang_version__);
#else
    benchmark::AddCustomContext("compiler", "g++ " __VERSION__);
#endif
    benchmark::AddCustomContext("flags", LXIBENCH_FLAGS);
    benchmark::AddCustomContext("icu", U_ICU_VERSION);
    return 0;
}

int const s_contextAdded = AddContext();

std::u16string Widen(char const* pAscii, std::size_t count)
{
    return std::u16string(pAscii, pAscii + count);
}

}  // namespace

char const* GetCorpusName(enumCorpus kind)
{
    static char const* const s_apNames[CORPUS_COUNT] = {"ascii", "western", "cjk", "mixed"};
    return s_apNames[kind];
}

stCorpus const& GetCorpus(enumCorpus kind)
{
    static stCorpus const s_corpora[CORPUS_COUNT] = {
        MakeCorpus(CORPUS_ASCII), MakeCorpus(CORPUS_WESTERN), MakeCorpus(CORPUS_CJK),
        MakeCorpus(CORPUS_MIXED)};
    return s_corpora[kind];
}

std::vector<stNeedle> const& GetNeedles()
{
    static_assert(sizeof kCommonLine > 64 && sizeof kRareLine > 64, "needles need 64 units");
    static std::vector<stNeedle> const s_needles = [] {
        std::vector<stNeedle> needles;
        char16_t tag = u'A';   // keeps the rare needles apart: no one is part of another
        for (unsigned int length : {4u, 16u, 64u}) {
            std::string const suffix = std::to_string(length);
            std::u16string rare = Widen(kRareLine, length);
            rare[1] = tag++;
            needles.push_back({"rare" + suffix, rare});
            needles.push_back({"prefix" + suffix, Widen(kCommonLine, length - 1) + u"!"});
        }
        return needles;
    }();
    return s_needles;
}

std::u16string const& GetSearchText()
{
    static std::u16string const s_text = [] {
        std::u16string const& source = GetCorpus(CORPUS_ASCII).utf16;
        std::u16string text;
        text.reserve(source.size() + 4096);
        std::size_t from = 0;
        for (unsigned int copy = 1; copy <= NEEDLE_COPIES; ++copy) {
            // The line start nearest to copy / NEEDLE_COPIES of the text.
            std::size_t const at = source.find(u'\n', source.size() * copy / NEEDLE_COPIES - 200) + 1;
            text.append(source, from, at - from);
            for (stNeedle const& needle : GetNeedles())
                text.append(needle.text).append(u"\n");
            from = at;
        }
        text.append(source, from, std::u16string::npos);
        return text;
    }();
    return s_text;
}

}  // namespace lxibench
