#include "StrCheck.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "LxiOSALRuntime.h"
#include "StrW.h"
#include "TestUtil.h"

namespace lxitest {

namespace {

unsigned short const* Data16(Units const& text) { return reinterpret_cast<unsigned short const*>(text.c_str()); }

template <typename Char>   // 8-bit text as Latin-1, wide text with "?" beyond 16 bits
Units Widen(Char const* pText, std::size_t count)
{
    Units out;
    for (std::size_t i = 0; i < count; ++i) {
        auto const value = sizeof(Char) == 1 ? static_cast<unsigned char>(pText[i]) : static_cast<unsigned int>(pText[i]);
        out += value <= 0xFFFFu ? static_cast<char16_t>(value) : u'?';
    }
    return out;
}

bool IsWhite(char16_t unit, wchar_t const* pSet)
{
    return unit != 0 && std::wcschr(pSet != nullptr ? pSet : L" \t\n\v\f\r", unit) != nullptr;
}

}  // namespace

Units FromUtf8(unsigned char const* pBytes, unsigned int count)
{
    Units out;
    for (unsigned int i = 0; i < count;) {
        unsigned int const b = pBytes[i];
        // Continuation bytes give their low 7 bits, untested; one beyond the count gives 0.
        auto const next = [&](unsigned int k) { return i + k < count ? pBytes[i + k] & 0x7Fu : 0u; };
        unsigned int const size = b >= 0xC0u && b <= 0xDFu ? 2 : b >= 0xE0u && b <= 0xEFu ? 3 : 1;
        out += size == 2 ? char16_t(((b & 0x1Fu) << 6) | next(1))
             : size == 3 ? char16_t(((b & 0x0Fu) << 12) | (next(1) << 6) | next(2))
                         : b < 0x80u ? char16_t(b) : u'?';
        i += size;
    }
    return out;
}

std::string ToUtf8(Units const& text)
{
    std::string out;
    for (unsigned int u : text) {
        unsigned int const trail = u < 0x80u ? 0 : u < 0x800u ? 1 : 2;   // continuation bytes
        out += static_cast<char>(trail == 0 ? u : (trail == 1 ? 0xC0u : 0xE0u) | u >> (6 * trail));
        for (unsigned int k = trail; k-- > 0;)
            out += static_cast<char>(0x80u | ((u >> (6 * k)) & 0x3Fu));
    }
    return out;
}

unsigned int Find(Units const& text, Units const& pattern, unsigned int start)
{
    Units const wanted = UpToNul(pattern);
    if (wanted.empty() || start >= text.size())
        return wanted.empty() ? start : CStr::NOT_FOUND;
    std::size_t const at = UpToNul(text.substr(start)).find(wanted);
    return at == Units::npos ? CStr::NOT_FOUND : start + static_cast<unsigned int>(at);
}

Units CStrRun::Random(unsigned int count)
{
    static char16_t const aUnits[] = u"ab \tx\x7F\x80\x7FF\x800\xD83D";
    Units text;
    while (text.size() < count) {
        unsigned int const k = Choose(16);
        text += k < 10 ? aUnits[k] : k == 15 ? u'\0' : static_cast<char16_t>(1 + Choose(0xFFFF));
    }
    return text;
}

// Another string: none, empty with a buffer, random units, or a piece of the string's own text (so that
// patterns occur), sometimes time-efficient.
void CStrRun::MakeSource(CStr& source)
{
    Units const own = Text(*m_str);
    unsigned int const kind = Choose(6), at = Choose(static_cast<unsigned int>(own.size()) + 1);
    if (kind == 0)   // none
        return;
    Units const text = kind == 1 ? Units() : kind < 4 ? Random(Length()) : own.substr(at, Choose(40));
    source.Resize(kind == 1 ? Choose(8) : 0u, false);
    source.Assign(Data16(text), static_cast<unsigned int>(text.size()));
    source.SetTimeEfficient(Choose(4) == 0, true);
}

std::string CStrRun::Step()
{
    if (m_str->GetBuffSize() > 0x1000u)   // self-appends double it, self-replacements square it: start afresh
        m_str.emplace();
    CStr& s = *m_str;
    Units const before = Text(s), none;
    Units const* pOld = &before;   // the text a failed allocation may leave
    unsigned short const* const pBefore = s.GetData();
    unsigned int const capacityBefore = s.GetBuffSize();
    auto const L = static_cast<unsigned int>(before.size());
    unsigned int const op = Choose(17), kind = Choose(8);
    bool const self = Choose(8) == 0 && op != 0, flag = Choose(2) == 0;   // the string as its own source
    unsigned int const a = Choose(8) == 0 ? 0xFFFFFFFFu : Choose(L + 3), c = Choose(8) == 0 ? 0xFFFFFFFFu : Choose(L + 3);
    std::string const name = "op " + std::to_string(op) + "." + std::to_string(kind) + (self ? " self" : "");

    // The strings an operation uses are made before an allocation can fail (std:: strings bypass the hook).
    CStr other, replacement;
    if (!self)
        MakeSource(other);
    if (op == 9 && kind != 0)
        MakeSource(replacement);
    std::optional<CStrW> const copy = op == 11 ? std::optional<CStrW>(std::in_place, s) : std::nullopt;
    CStr const& source = self ? s : other;
    Units const sourceText = Text(source), pattern = UpToNul(sourceText);
    auto const size = static_cast<unsigned int>(pattern.size());
    std::string bytes;   // 8-bit or UTF-8, 0 bytes included
    for (unsigned int n = op < 2 ? Length() : 0; bytes.size() < n;)
        bytes += static_cast<char>(Choose(3) == 0 ? "\xC2\xDF\xE0\xE2\xED\xEF\xF0\xFF\x80\xBF"[Choose(10)]
                                   : Choose(2) == 0 ? 'a' : Choose(256));
    std::string const terminated = bytes.substr(0, bytes.find('\0'));
    auto const* const pUtf8 = reinterpret_cast<unsigned char const*>(bytes.data());
    auto const count8 = static_cast<unsigned int>(bytes.size());
    std::wstring wide;
    for (unsigned int n = op < 2 || op == 11 ? Length() : 0; wide.size() < n;)
        wide += Choose(8) == 0 ? wchar_t(0x10000 + Choose(0x100000)) : wchar_t(1 + Choose(0x3000));
    Units const units = Random(op == 2 || op == 12 ? Length() : 0);

    // A buffer for Attach: a caller's array, a heap block handed over, or none.
    unsigned int const buffer = op == 3 && (kind == 4 || kind == 5) ? Choose(4) : 3;
    unsigned int const capacity = buffer == 0 ? 31u : buffer == 2 ? 1 + Choose(40) : buffer == 1 ? Choose(41) : 0;
    unsigned short* pBuffer = buffer == 2 ? static_cast<unsigned short*>(CLxiOSALRuntime::Malloc((capacity + 1) * 2))
                            : buffer < 2 ? m_arrays[buffer].get() : nullptr;
    Units attached;
    if (pBuffer != nullptr) {
        Units const text = Random(Choose(capacity + 1));
        if (buffer == 2 || Choose(3) != 0)
            std::memcpy(pBuffer, text.c_str(), (text.size() + 1) * 2);
        pBuffer[capacity] = 0;   // the caller's duty when a text fills the capacity
        for (unsigned int n = 0; !flag && n < capacity && pBuffer[n] != 0; ++n)
            attached += pBuffer[n];
        if (buffer < 2 && capacity != 0) {
            m_pAttached = pBuffer;
            m_attachedCapacity = capacity;
        }
    }

    Units want = before;
    bool timeEfficient = s.IsTimeEfficient();
    std::string result, wantResult;
    FailAllocation(Choose(8) == 0 ? 1 + Choose(6) : 0);
    switch (op) {
    case 0:   // construction
        pOld = &none;
        timeEfficient = kind == 3 ? other.IsTimeEfficient() : kind >= 4 && flag;
        want = kind == 0 ? Widen(terminated.c_str(), terminated.size()) : kind == 1 ? Widen(wide.c_str(), wide.size())
             : kind == 2 ? FromUtf8(pUtf8, static_cast<unsigned int>(terminated.size())) : kind == 3 ? Text(other) : Units();
        if (kind < 3)
            kind == 0 ? m_str.emplace(terminated.c_str()) : kind == 1 ? m_str.emplace(wide.c_str()) : m_str.emplace(pUtf8);
        else
            kind == 3 ? m_str.emplace(other) : m_str.emplace(c % 50, flag);
        break;
    case 1:   // the 8-bit, wide and UTF-8 Assign forms; the counted ones take 0s too
        want = kind < 2 ? Widen(bytes.c_str(), kind == 0 ? terminated.size() : bytes.size())
             : kind < 4 ? Widen(wide.c_str(), wide.size()) : FromUtf8(pUtf8, count8);
        kind == 0 ? s.Assign(terminated.c_str()) : kind == 1 ? s.Assign(bytes.data(), count8)
        : kind == 2 ? s.Assign(wide.c_str()) : kind == 3 ? s.Assign(wide.data(), static_cast<unsigned int>(wide.size()))
                    : s.Assign(pUtf8, count8);
        break;
    case 2: {   // units, its own among them; Clear; another string
        unsigned int const at = Choose(L + 1), n = Choose(L - at + 1);
        want = kind < 3 ? units : kind < 5 ? before.substr(at, n) : kind == 5 ? Units() : sourceText;
        if (kind < 5)
            kind < 3 ? s.Assign(Data16(units), static_cast<unsigned int>(units.size()))
                     : s.Assign(pBefore != nullptr ? pBefore + at : nullptr, n);
        else
            kind == 5 ? s.Clear() : kind == 6 ? void(s = source) : void(s.Assign(source));
        break;
    }
    case 3:
        if (kind < 4) {
            unsigned int const length = kind == 0 ? 0x20000000u + Choose(2) * 0xDFFFFFFFu : Choose(100);
            unsigned int const got = s.Resize(length, flag);
            if (length > CStr::LENGTH_MASK && (got != capacityBefore || s.GetData() != pBefore))
                return name + ": Resize beyond 29 bits changed the string";
            if (length <= CStr::LENGTH_MASK && !FailureInjected() && got < std::max(length, L))
                return name + ": Resize gave " + std::to_string(got) + " for " + std::to_string(length);
        } else if (kind < 6) {
            want = attached;
            pOld = kind == 4 ? pOld : &none;
            timeEfficient = kind == 4 && timeEfficient;
            kind == 4 ? s.Attach(pBuffer, capacity, flag, buffer == 2) : void(m_str.emplace(pBuffer, capacity, flag, buffer == 2));
        } else if (kind == 6) {
            s.Compact();
            if (!FailureInjected() && !timeEfficient && s.GetBuffSize() != L)
                return name + ": Compact left capacity " + std::to_string(s.GetBuffSize());
        } else {
            timeEfficient = flag;
            s.SetTimeEfficient(flag, Choose(2) == 0);
        }
        break;
    case 4:
    case 5:
        if (source.GetData() != nullptr)
            want.insert(op == 4 ? L : std::min(a, L), sourceText);
        op == 4 ? s.Append(source) : s.Insert(source, a);
        break;
    case 6:
        want = a >= sourceText.size() || c == 0 ? Units() : sourceText.substr(a, c);
        s.CopyRange(source, a, c);
        break;
    case 7:
        want.replace(std::min(a, L), c, sourceText);
        s.ReplaceRange(a, c, source);
        break;
    case 8:
        if (pBefore != nullptr)
            want = a >= L || c == 0 ? Units() : before.substr(a, c);
        s.Cut(a, c);
        break;
    case 9: {   // the source is the pattern; the replacement may be the string
        CStr const& with = kind == 0 ? s : replacement;
        Units const withText = UpToNul(Text(with));
        if (size != 0 && a < L) {
            want.clear();
            unsigned int from = 0;
            for (unsigned int at = Find(before, pattern, a); at != CStr::NOT_FOUND;
                 at = flag ? Find(before, pattern, at + size) : CStr::NOT_FOUND) {
                want += before.substr(from, at - from) + withText;
                from = at + size;
            }
            want += before.substr(from);
        }
        s.Replace(source, with, a, flag);
        break;
    }
    case 10: {
        wchar_t const* const pSet = kind % 4 == 0 ? nullptr : kind % 4 == 1 ? L"x" : kind % 4 == 2 ? L"" : L"\t\x1F600";
        bool const start = c % 3 != 2, end = c % 3 != 1;
        std::size_t first = 0, last = L;
        while (first < last && IsWhite(before[first], pSet))
            ++first;
        while (last > first && IsWhite(before[last - 1], pSet))
            --last;
        if (pBefore != nullptr)
            want = first == last ? Units() : before.substr(start ? first : 0, (end ? last : L) - (start ? first : 0));
        start && end ? s.Trim(pSet) : start ? s.TrimLeft(pSet) : s.TrimRight(pSet);
        break;
    }
    case 11: {   // each format through swprintf here and Format there; "%s" beyond ASCII fails in the C locale
        auto const format = [&](wchar_t const* pFormat, auto... arguments) {
            static std::vector<wchar_t> out(40000);
            int const n = std::swprintf(out.data(), out.size(), pFormat, arguments...);
            if (n >= 0 && n < 32768)
                want = Widen(out.data(), static_cast<std::size_t>(n));
            s.Format(pFormat, arguments...);
        };
        int const number = static_cast<int>(Choose(2000001)) - 1000000;
        int const width = static_cast<int>(Choose(3) == 0 ? 32766 + Choose(3) : 28 + Choose(40));
        kind == 0 ? format(L"%ls|%d", wide.c_str(), number) : kind == 1 ? format(L"%s", terminated.c_str())
        : kind == 2 ? format(L"%ls", copy->GetDataW()) : kind == 3 ? void(s.Format(static_cast<wchar_t const*>(nullptr)))
                    : format(L"%*d", width, number);
        break;
    }
    case 12: {
        unsigned int const index = Choose(L + 2);
        char16_t const unit = flag || units.empty() ? u'\0' : units[0];
        if (index < L && unit != 0)
            want[index] = unit;
        s.SetChar(index, unit);
        result = std::to_string(s.GetChar(index)) + " " + std::to_string(s.GetChar(L + Choose(3)));
        wantResult = std::to_string(index < L ? want[index] : 0) + " 0";
        break;
    }
    default: {   // comparison and search, which change nothing
        unsigned int sum = 0, count = L <= a ? 0 : size == 0 ? L - a + 1 : 0, length = 0;
        for (char16_t unit : pattern)
            sum = sum * 2u + unit;
        for (unsigned int at = count != 0 || size == 0 ? CStr::NOT_FOUND : Find(before, pattern, a);
             at != CStr::NOT_FOUND; at = Find(before, pattern, at + size))
            ++count;
        bool const fits = L >= sourceText.size();
        unsigned int const checksum = s.CalcSubStrChksumAndLength(source.GetData(), length);
        auto const join = [](auto... values) { return ((std::to_string(values) + " ") + ...); };
        result = join(checksum, length, s.FindNext(source, a), s.Count(source, a), s.Equals(source), s.StartsWith(source),
                      s.EndsWith(source), s.FindNextWithChecksum(source.GetData(), std::min(a, L), sum, size));
        Units const upToNul = UpToNul(before), tail = before.substr(L - std::min<std::size_t>(L, sourceText.size()));
        wantResult = join(sum, size, Find(before, pattern, a), count, self || (L == sourceText.size() && upToNul == pattern),
                          self || (fits && upToNul.compare(0, size, pattern) == 0), self || (fits && UpToNul(tail) == pattern),
                          pBefore == nullptr || size == 0 ? CStr::NOT_FOUND : Find(before, pattern, std::min(a, L)));
    }
    }
    bool const failed = FailureInjected();
    FailAllocation(0);

    // What every string keeps, then what this step was to do.
    CStr const& now = *m_str;
    Units const text = Text(now);
    auto const length = static_cast<unsigned int>(text.size());
    unsigned short const* const pData = now.GetData();
    unsigned int const reckoned = now.GetBuffSize();
    long const block = BlockUnits(pData);
    long const room = block >= 0 ? block : pData == m_pAttached ? static_cast<long>(m_attachedCapacity) : -1;
    std::string error;
    if (pData == nullptr ? now.GetLength() + reckoned != 0 : room < 0)
        error = "length or capacity without a buffer, or a buffer of unknown origin";
    else if (pData != nullptr && (pData[length] != 0 || now.GetChar(length) != 0))
        error = "no terminator at the length";
    else if (reckoned < length || (reckoned > length && reckoned < length + 5) || static_cast<long>(reckoned) > std::max(room, 0L))
        error = "capacity " + std::to_string(reckoned) + " with length " + std::to_string(length) + " in a buffer of " +
                std::to_string(room);
    else if (result != wantResult)
        error = "results " + result + ", expected " + wantResult;
    else if (text != want && !(failed && text == *pOld))
        error = "text of " + std::to_string(length) + " units, not the " + std::to_string(want.size()) + " expected";
    else if (failed && text != want && pOld == &before && (pData != pBefore || reckoned != capacityBefore))
        error = "a failed allocation changed the buffer";
    else if (now.IsTimeEfficient() != timeEfficient)
        error = "time-efficient flag changed";
    return error.empty() ? error : name + (failed ? " (allocation failed)" : "") + ": " + error;
}

}  // namespace lxitest
