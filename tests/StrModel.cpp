#include "StrModel.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "AllocHook.h"
#include "LxiOSALRuntime.h"
#include "StrW.h"

namespace lxitest {

namespace {

unsigned int const NOT_FOUND = CStr::NOT_FOUND;

// The unit at i of a terminated text: index length reads the terminator.
char16_t At(std::u16string const& text, std::size_t i)
{
    return i < text.size() ? text[i] : u'\0';
}

// Where a walk over two terminated texts stops: first 0 or first difference.
std::size_t Walk(std::u16string const& a, std::size_t from, std::u16string const& b)
{
    std::size_t i = 0;
    while (At(a, from + i) != 0 && At(b, i) != 0 && At(a, from + i) == At(b, i))
        ++i;
    return i;
}

// First occurrence at or after start, which the caller keeps within the
// text. The search sees the units from start up to the next 0 (and the
// pattern holds none).
unsigned int Search(std::u16string const& text, std::u16string const& pattern, std::size_t start)
{
    std::size_t const found = text.find(pattern, start);
    if (found == std::u16string::npos || std::count(text.begin() + start, text.begin() + found, u'\0') != 0)
        return NOT_FOUND;
    return static_cast<unsigned int>(found);
}

}  // namespace

bool CStrModel::AllocationFails()
{
    bool const fails = m_failAllocation;
    m_failAllocation = false;
    return fails;
}

void CStrModel::Reset()
{
    bool const fail = m_failAllocation;
    *this = CStrModel();
    m_failAllocation = fail;
}

unsigned int CStrModel::GetBuffSize() const
{
    if (m_extra)
        return m_record;
    return m_buffer != Buffer::None ? GetLength() : 0u;
}

unsigned int CStrModel::FindNextPower(unsigned int n)
{
    unsigned long long power = 1;
    while (power < n + 4ull)
        power *= 2;
    return n == 0 ? 0u : static_cast<unsigned int>(std::min(power, 0x80000000ull));
}

void CStrModel::MarkExtraBuffer(unsigned int capacity)
{
    m_extra = m_buffer != Buffer::None && capacity >= GetLength() + 5ull;
    m_record = m_extra ? capacity : 0u;
}

unsigned int CStrModel::Resize(unsigned int length, bool force)
{
    unsigned int target = std::max(length, GetLength());
    unsigned int const current = GetBuffSize();
    if (target > CStr::LENGTH_MASK)
        return current;
    if (m_timeEfficient)
        target = FindNextPower(target);
    if ((current >= target && !force) || current == target) {
        MarkExtraBuffer(current);
        return current;
    }
    if (AllocationFails())
        return current;   // the old buffer and text stay
    // A reallocated or new block: the text is the same, the buffer is ours.
    m_buffer = Buffer::Owned;
    m_pData = nullptr;   // not known until seen
    m_blockCapacity = target;
    MarkExtraBuffer(target);
    return target;
}

void CStrModel::SetTimeEfficient(bool on, bool resize)
{
    m_timeEfficient = on;
    if (resize && m_buffer != Buffer::None)
        Resize(GetBuffSize(), false);
}

void CStrModel::Attach(unsigned short const* pBuffer, unsigned int capacity, bool emptyStart, bool own)
{
    bool const reuse = m_buffer == Buffer::Owned && pBuffer == m_pData && capacity != 0;
    bool const timeEfficient = m_timeEfficient;
    Reset();
    m_timeEfficient = timeEfficient;
    if (pBuffer == nullptr || capacity == 0)
        return;
    m_buffer = own || reuse ? Buffer::Owned : Buffer::Attached;
    m_pData = pBuffer;
    m_blockCapacity = capacity;
    while (!emptyStart && m_text.size() < capacity && pBuffer[m_text.size()] != 0)
        m_text += static_cast<char16_t>(pBuffer[m_text.size()]);
    MarkExtraBuffer(capacity);
}

void CStrModel::Store(std::u16string const& text)
{
    unsigned int const n = static_cast<unsigned int>(text.size());
    unsigned int const capacity = Resize(n, false);
    if (capacity < n)
        return;   // the allocation failed
    m_text = text;
    MarkExtraBuffer(capacity);
}

void CStrModel::Keep(std::u16string const& text)
{
    unsigned int const capacity = GetBuffSize();
    m_text = text;
    MarkExtraBuffer(capacity);
}

void CStrModel::SetChar(unsigned int index, char16_t unit)
{
    if (index < GetLength() && unit != 0)
        m_text[index] = unit;
}

bool CStrModel::Equals(CStrModel const& other) const
{
    if (&other == this || (GetLength() == other.GetLength() && m_text.empty()))
        return true;
    std::size_t const i = Walk(m_text, 0, other.m_text);
    return GetLength() == other.GetLength() && At(m_text, i) == At(other.m_text, i);
}

bool CStrModel::StartsWith(CStrModel const& prefix) const
{
    if (&prefix == this || (GetLength() >= prefix.GetLength() && prefix.m_text.empty()))
        return true;
    return GetLength() >= prefix.GetLength() && !m_text.empty() && At(prefix.m_text, Walk(m_text, 0, prefix.m_text)) == 0;
}

bool CStrModel::EndsWith(CStrModel const& suffix) const
{
    if (&suffix == this || (GetLength() >= suffix.GetLength() && suffix.m_text.empty()))
        return true;
    if (GetLength() < suffix.GetLength() || m_text.empty())
        return false;
    std::size_t const from = m_text.size() - suffix.m_text.size();
    std::size_t const i = Walk(m_text, from, suffix.m_text);
    return At(m_text, from + i) == At(suffix.m_text, i);
}

unsigned int CStrModel::FindNext(CStrModel const& pattern, unsigned int start) const
{
    std::u16string const p = UpToNul(pattern.m_text);
    if (p.empty())
        return start;
    return GetLength() <= start ? NOT_FOUND : Search(m_text, p, start);
}

unsigned int CStrModel::Count(CStrModel const& pattern, unsigned int start) const
{
    std::u16string const p = UpToNul(pattern.m_text);
    if (GetLength() <= start)
        return 0;
    if (p.empty())
        return GetLength() - start + 1;
    unsigned int count = 0;
    for (unsigned int at = Search(m_text, p, start); at != NOT_FOUND; at = Search(m_text, p, at + p.size()))
        ++count;
    return count;
}

void CStrModel::Insert(CStrModel const& text, unsigned int index)
{
    if (text.m_buffer == Buffer::None)
        return;
    std::size_t const at = std::min<std::size_t>(index, m_text.size());
    Store(m_text.substr(0, at) + text.m_text + m_text.substr(at));
}

void CStrModel::CopyRange(CStrModel const& source, unsigned int index, unsigned int count)
{
    if (index >= source.GetLength() || count == 0)
        Keep(u"");
    else
        Store(source.m_text.substr(index, count));
}

void CStrModel::ReplaceRange(unsigned int index, unsigned int count, CStrModel const& text)
{
    std::size_t const a = std::min<std::size_t>(index, m_text.size());
    std::u16string const result = m_text.substr(0, a) + text.m_text + m_text.substr(a + std::min<std::size_t>(count, m_text.size() - a));
    if (result.size() > m_text.size())   // only growth takes Resize
        Store(result);
    else
        Keep(result);
}

void CStrModel::Replace(CStrModel const& pattern, CStrModel const& replacement, unsigned int start, bool all)
{
    std::u16string const p = UpToNul(pattern.m_text);
    if (p.empty() || GetLength() <= start)
        return;
    std::vector<unsigned int> matches;
    for (unsigned int at = Search(m_text, p, start); at != NOT_FOUND && (all || matches.empty());
         at = Search(m_text, p, at + p.size()))
        matches.push_back(at);
    if (matches.empty() || AllocationFails())   // the position list is the first block taken
        return;
    std::u16string result;
    std::size_t from = 0;
    for (unsigned int at : matches) {
        result += m_text.substr(from, at - from) + UpToNul(replacement.m_text);
        from = at + p.size();
    }
    if (result.size() + (m_text.size() - from) <= CStr::LENGTH_MASK)
        Store(result + m_text.substr(from));
}

void CStrModel::Cut(unsigned int index, unsigned int count)
{
    if (m_buffer != Buffer::None)
        Keep(index >= GetLength() || count == 0 ? std::u16string() : m_text.substr(index, count));
}

void CStrModel::TrimPrivate(bool start, bool end, wchar_t const* pSet)
{
    static wchar_t const aDefault[] = {L' ', L'\t', L'\n', L'\v', L'\f', L'\r', 0};
    auto const isWhite = [pSet](char16_t unit) {
        for (wchar_t const* p = pSet != nullptr ? pSet : aDefault; *p != 0; ++p) {
            if (static_cast<unsigned int>(*p) == unit)
                return true;
        }
        return false;
    };
    if (m_buffer == Buffer::None)
        return;
    std::size_t first = 0, last = m_text.size();
    while (first < last && isWhite(m_text[first]))
        ++first;
    while (last > first && isWhite(m_text[last - 1]))
        --last;
    if (first == last)   // whitespace only, whichever ends were asked for
        Keep(u"");
    else
        Keep(m_text.substr(start ? first : 0, (end ? last : m_text.size()) - (start ? first : 0)));
}

void CStrModel::Format(std::optional<std::u16string> const& output)
{
    // Tried in 32, 64, ... 32,768 characters with the terminator: beyond the
    // local 32 each try needs a heap block, and beyond the last it fails.
    bool const fits = output && output->size() < 32768;
    if ((!fits || output->size() >= 32) && AllocationFails())
        return;
    if (fits)
        Store(*output);
}

std::u16string CStrModel::FromUtf8(unsigned char const* pBytes, unsigned int count)
{
    std::u16string out;
    for (unsigned int i = 0; i < count;) {
        unsigned int const b = pBytes[i];
        // A continuation byte gives its low 7 bits; one missing at the count gives 0.
        auto const next = [&](unsigned int k) { return i + k < count ? pBytes[i + k] & 0x7Fu : 0u; };
        if (b >= 0xC0u && b <= 0xDFu) {
            out += char16_t(((b & 0x1Fu) << 6) | next(1));
            i += 2;
        } else if (b >= 0xE0u && b <= 0xEFu) {
            out += char16_t(((b & 0x0Fu) << 12) | (next(1) << 6) | next(2));
            i += 3;
        } else {
            out += b < 0x80u ? char16_t(b) : u'?';
            i += 1;
        }
    }
    return out;
}

std::u16string CStrModel::FromWide(std::wstring const& text)
{
    std::u16string out;
    for (wchar_t c : text)
        out += static_cast<unsigned int>(c) <= 0xFFFFu ? char16_t(c) : u'?';
    return out;
}

// The run.

namespace {

unsigned short const* Units16(std::u16string const& text)
{
    return reinterpret_cast<unsigned short const*>(text.c_str());
}

std::u16string Text(CStr const& s)
{
    return s.GetData() != nullptr ? std::u16string(reinterpret_cast<char16_t const*>(s.GetData()), s.GetLength())
                                  : std::u16string();
}

std::u16string Widen(std::string const& bytes)
{
    std::u16string out;
    for (char c : bytes)
        out += static_cast<unsigned char>(c);
    return out;
}

std::string Show(std::u16string const& text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 80; ++i) {
        char aHex[8];
        std::snprintf(aHex, sizeof aHex, "\\x%X", static_cast<unsigned int>(text[i]));
        out += text[i] >= 0x20 && text[i] < 0x7F ? std::string(1, static_cast<char>(text[i])) : aHex;
    }
    return out + (text.size() > 80 ? "...\"" : "\"") + " (" + std::to_string(text.size()) + ")";
}

void FormatV(CStr& s, wchar_t const* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    s.Format(pFormat, args);
    va_end(args);
}

}  // namespace

CStrModelRun::CStrModelRun(Chooser choose) : m_choose(std::move(choose))
{
    for (unsigned int capacity : {31u, 0u, 3u, 5u, 6u, 12u, 40u}) {
        m_buffers.emplace_back(new unsigned short[capacity + 1]());
        m_capacities.push_back(capacity);
    }
    m_str.emplace();
}

unsigned int CStrModelRun::Length()
{
    unsigned int const kind = Choose(8);
    if (kind < 3)
        return Choose(8);
    if (kind < 5)
        return 24 + Choose(10);   // around the 26 and 31 of the inline array
    return Choose(kind < 7 ? 70 : 300);
}

char16_t CStrModelRun::Unit(bool zero)
{
    unsigned int const k = Choose(16);
    if (k < 12)
        return u"ab \tx"[k % 5];
    return k == 15 && zero ? u'\0' : static_cast<char16_t>(1 + Choose(0xFFFF));
}

std::u16string CStrModelRun::Units(unsigned int count, bool zero)
{
    std::u16string text;
    while (text.size() < count)
        text += Unit(zero);
    return text;
}

std::string CStrModelRun::Bytes(bool zero, bool utf8)
{
    static unsigned char const aLeads[] = {0xC2, 0xDF, 0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xFF};
    std::string bytes;
    for (unsigned int n = Length(); bytes.size() < n;) {
        unsigned int const k = Choose(4);
        unsigned int const byte = !utf8 || k == 3 ? Choose(256) : k == 0 ? 'a' : k == 1 ? 0x80 + Choose(64) : aLeads[Choose(8)];
        bytes += static_cast<char>(byte == 0 && !zero ? 1u : byte);
    }
    return bytes;
}

std::wstring CStrModelRun::Wide(bool zero)
{
    std::wstring wide;
    for (unsigned int n = Length(); wide.size() < n;)
        wide += Choose(8) == 0 ? wchar_t(0x10000 + Choose(0x100000)) : wchar_t(Unit(zero));
    return wide;
}

unsigned int CStrModelRun::Index()
{
    return Choose(8) == 0 ? 0xFFFFFFFFu : Choose(m_model.GetLength() + 3);
}

// Another string for the editing and search operations, the same in both.
void CStrModelRun::MakeSource(CStr& source, CStrModel& model)
{
    unsigned int const kind = Choose(6), L = m_model.GetLength(), at = Choose(L + 1);
    if (kind == 0)
        return;   // no buffer
    std::u16string const text = kind == 1 ? std::u16string()
                                : kind < 4 ? Units(Length(), Choose(4) == 0)
                                           : m_model.m_text.substr(at, Choose(std::min(L - at, 40u) + 1));
    unsigned int const room = kind == 1 ? Choose(8) : 0u;   // an empty text with a buffer
    source.Resize(room, false);
    model.Resize(room, false);
    source.Assign(Units16(text), static_cast<unsigned int>(text.size()));
    model.Store(text);
    if (Choose(4) == 0) {
        source.SetTimeEfficient(true, true);
        model.SetTimeEfficient(true, true);
    }
}

// A buffer for Attach: the inline array, another caller's buffer, a new heap
// block handed over, null, or (self) the string's own buffer.
void CStrModelRun::ChooseBuffer(bool self, unsigned short*& pBuffer, unsigned int& capacity, bool& emptyStart,
                                bool& own)
{
    emptyStart = Choose(2) == 0;
    own = false;
    unsigned int const kind = Choose(self ? 5 : 4);
    unsigned int const i = kind == 0 ? 0u : Choose(static_cast<unsigned int>(m_buffers.size()));
    pBuffer = kind == 3 ? nullptr : m_buffers[i].get();
    capacity = kind == 0 ? 31u : Choose(m_capacities[i] + 1);
    if (kind == 4) {
        pBuffer = m_str->GetData();
        capacity = m_str->GetLength() + Choose(m_str->GetBuffSize() - m_str->GetLength() + 1);   // stays terminated
        own = m_model.m_buffer == CStrModel::Buffer::Owned && Choose(2) == 0;
        return;
    }
    if (kind == 2) {
        capacity = 1 + Choose(40);
        pBuffer = static_cast<unsigned short*>(CLxiOSALRuntime::Malloc((capacity + 1) * 2));
        own = true;
    }
    if (emptyStart || pBuffer == nullptr)
        return;
    if (kind == 2 || Choose(3) != 0) {   // else the buffer keeps what it holds
        std::u16string const text = Units(Choose(capacity + 1), true);
        std::memcpy(pBuffer, text.c_str(), (text.size() + 1) * 2);
    }
    pBuffer[capacity] = 0;   // the caller's duty when the text fills the capacity
}

std::string CStrModelRun::Apply(std::function<void()> const& onModel, std::function<void()> const& onStr)
{
    m_want.clear();
    m_got.clear();
    if (m_fail) {
        m_model.m_failAllocation = true;
        FailAllocation(1);
    }
    onModel();
    onStr();
    bool const injected = FailureInjected();
    FailAllocation(0);
    std::string error;
    if (m_fail && injected == m_model.m_failAllocation)
        error = injected ? "allocated where the model does not" : "did not allocate where the model does";
    else if (m_want != m_got)
        error = "result " + m_got + ", model " + m_want;
    else
        error = Compare();
    m_model.m_failAllocation = false;
    return error.empty() ? error : m_op + ": " + error;
}

std::string CStrModelRun::Compare()
{
    CStr const& s = *m_str;
    CStrModel& m = m_model;
    unsigned short const* const p = s.GetData();
    unsigned int const L = s.GetLength();
    if (Text(s) != m.m_text)
        return "text " + Show(Text(s)) + ", model " + Show(m.m_text);
    if (s.GetBuffSize() != m.GetBuffSize())
        return "GetBuffSize " + std::to_string(s.GetBuffSize()) + ", model " + std::to_string(m.GetBuffSize());
    if (s.IsTimeEfficient() != m.m_timeEfficient)
        return "IsTimeEfficient";
    if ((p == nullptr) != (m.m_buffer == CStrModel::Buffer::None))
        return p == nullptr ? "no buffer" : "a buffer where the model has none";
    if (m.m_buffer == CStrModel::Buffer::Attached && p != m.m_pData)
        return "left the caller's buffer";
    if (m.m_buffer == CStrModel::Buffer::Owned) {
        for (auto const& pBuffer : m_buffers) {
            if (p == pBuffer.get())
                return "took a caller's buffer as its own";
        }
        m.m_pData = p;
    }
    if (m.GetBuffSize() > m.m_blockCapacity)
        return "model: capacity beyond the block";
    if (p != nullptr && (p[L] != 0 || s.GetChar(L) != 0))
        return "no terminator at the length";
    if (!m.m_extra)
        return "";
    auto const* pRecord = reinterpret_cast<unsigned char const*>(p + L + 1);
    unsigned int const record = (unsigned(pRecord[0]) << 24) | (unsigned(pRecord[1]) << 16) |
                                (unsigned(pRecord[2]) << 8) | pRecord[3];
    return record == m.m_record ? "" : "capacity record " + std::to_string(record) + ", model " + std::to_string(m.m_record);
}

std::string CStrModelRun::Step()
{
    m_fail = Choose(10) == 0;
    CStr& s = *m_str;
    CStrModel& m = m_model;
    CStr other;
    CStrModel otherModel;
    bool const self = Choose(8) == 0;   // the string as its own source
    CStr& source = self ? s : other;
    CStrModel& sourceModel = self ? m : otherModel;
    if (!self)
        MakeSource(other, otherModel);
    unsigned int const L = m.GetLength(), a = Index(), c = Index(), kind = Choose(8);
    bool const flag = Choose(2) == 0;
    m_op = "op ";

    // Self-appends and mode switches double a string: a large one is built anew.
    switch (unsigned int const op = m.GetBuffSize() > 0x10000u ? 0u : Choose(18)) {
    case 0: {   // construction; the copy takes the source's mode
        m_op += "construct " + std::to_string(kind);
        std::string const bytes = Bytes(false, kind == 3);
        std::wstring const wide = Wide(false);
        auto const* pUtf8 = reinterpret_cast<unsigned char const*>(bytes.c_str());
        unsigned short* pBuffer = nullptr;
        unsigned int capacity = 0;
        bool emptyStart = true, own = false;
        if (kind >= 6)
            ChooseBuffer(false, pBuffer, capacity, emptyStart, own);
        return Apply(
            [&] {
                m.Reset();
                m.m_timeEfficient = kind == 4 ? otherModel.m_timeEfficient : kind == 5 && flag;
                if (kind >= 1 && kind <= 4)
                    m.Store(kind == 1 ? Widen(bytes) : kind == 2 ? CStrModel::FromWide(wide)
                            : kind == 3 ? CStrModel::FromUtf8(pUtf8, static_cast<unsigned int>(bytes.size()))
                                        : otherModel.m_text);
                if (kind == 5)
                    m.Resize(a % 50, false);
                if (kind >= 6)
                    m.Attach(pBuffer, capacity, emptyStart, own);
            },
            [&] {
                switch (kind) {
                case 0: m_str.emplace(); break;
                case 1: m_str.emplace(bytes.c_str()); break;
                case 2: m_str.emplace(wide.c_str()); break;
                case 3: m_str.emplace(pUtf8); break;
                case 4: m_str.emplace(other); break;
                case 5: m_str.emplace(a % 50, flag); break;
                default: m_str.emplace(pBuffer, capacity, emptyStart, own);
                }
            });
    }
    case 1: {   // the Assign forms; the counted ones copy 0s too
        m_op += "Assign " + std::to_string(kind);
        std::string const bytes = Bytes(kind == 1 || kind == 4, kind == 4);
        std::wstring const wide = Wide(kind == 3);
        std::u16string const units = Units(Length(), true);
        auto const* pUtf8 = reinterpret_cast<unsigned char const*>(bytes.data());
        unsigned int const count = static_cast<unsigned int>(bytes.size()), at = Choose(L + 1), n = Choose(L - at + 1);
        switch (kind) {
        case 0: return Apply([&] { m.Store(Widen(bytes)); }, [&] { s.Assign(bytes.c_str()); });
        case 1: return Apply([&] { m.Store(Widen(bytes)); }, [&] { s.Assign(bytes.data(), count); });
        case 2: return Apply([&] { m.Store(CStrModel::FromWide(wide)); }, [&] { s.Assign(wide.c_str()); });
        case 3:
            return Apply([&] { m.Store(CStrModel::FromWide(wide)); },
                         [&] { s.Assign(wide.data(), static_cast<unsigned int>(wide.size())); });
        case 4: return Apply([&] { m.Store(CStrModel::FromUtf8(pUtf8, count)); }, [&] { s.Assign(pUtf8, count); });
        case 5:
            return Apply([&] { m.Store(units); },
                         [&] { s.Assign(Units16(units), static_cast<unsigned int>(units.size())); });
        case 6:   // a range of its own units
            return Apply([&] { m.Store(m.m_text.substr(at, n)); }, [&] { s.Assign(s.GetData() + at, n); });
        default:
            if (flag)
                return Apply([&] { m.Store(u""); }, [&] { s.Clear(); });
            return Apply([&] { m.Assign(sourceModel); }, [&] { s.Assign(source); });
        }
    }
    case 2: {
        unsigned short* pBuffer;
        unsigned int capacity;
        bool emptyStart, own;
        ChooseBuffer(true, pBuffer, capacity, emptyStart, own);
        m_op += "Attach(" + std::to_string(capacity) + (emptyStart ? ", empty" : "") + (own ? ", own)" : ")");
        return Apply([&] { m.Attach(pBuffer, capacity, emptyStart, own); },
                     [&] { s.Attach(pBuffer, capacity, emptyStart, own); });
    }
    case 3: {
        unsigned int const length = kind == 0 ? 0x20000000u + Choose(2) * 0xDFFFFFFFu : Choose(100);
        m_op += "Resize(" + std::to_string(length) + (flag ? ", force)" : ")");
        return Apply([&] { m_want = std::to_string(m.Resize(length, flag)); },
                     [&] { m_got = std::to_string(s.Resize(length, flag)); });
    }
    case 4:
        m_op += "Compact";
        return Apply([&] { m.Compact(); }, [&] { s.Compact(); });
    case 5:
        m_op += std::string("SetTimeEfficient(") + (flag ? "on" : "off") + (kind < 4 ? ", resize)" : ")");
        return Apply([&] { m.SetTimeEfficient(flag, kind < 4); }, [&] { s.SetTimeEfficient(flag, kind < 4); });
    case 6:
        m_op += "Append";
        return Apply([&] { m.Append(sourceModel); }, [&] { s.Append(source); });
    case 7:
        m_op += "Insert(" + std::to_string(a) + ")";
        return Apply([&] { m.Insert(sourceModel, a); }, [&] { s.Insert(source, a); });
    case 8:
        m_op += "CopyRange(" + std::to_string(a) + ", " + std::to_string(c) + ")";
        return Apply([&] { m.CopyRange(sourceModel, a, c); }, [&] { s.CopyRange(source, a, c); });
    case 9:
        m_op += "ReplaceRange(" + std::to_string(a) + ", " + std::to_string(c) + ")";
        return Apply([&] { m.ReplaceRange(a, c, sourceModel); }, [&] { s.ReplaceRange(a, c, source); });
    case 10:
        m_op += "Cut(" + std::to_string(a) + ", " + std::to_string(c) + ")";
        return Apply([&] { m.Cut(a, c); }, [&] { s.Cut(a, c); });
    case 11: {   // the source is the pattern
        CStr replacement;
        CStrModel replacementModel;
        if (kind != 0)
            MakeSource(replacement, replacementModel);
        CStr const& r = kind == 0 ? s : replacement;
        CStrModel const& rm = kind == 0 ? m : replacementModel;
        m_op += "Replace(" + Show(sourceModel.m_text) + ", " + Show(rm.m_text) + ", " + std::to_string(a) +
                (flag ? ", all)" : ")");
        return Apply([&] { m.Replace(sourceModel, rm, a, flag); }, [&] { s.Replace(source, r, a, flag); });
    }
    case 12: {
        static wchar_t const* const apSets[] = {nullptr, L"x", L"ab", L"", L"\t\x1F600"};
        wchar_t const* const pSet = apSets[Choose(5)];
        unsigned int const ends = Choose(3);   // both, start, end
        m_op += "Trim " + std::to_string(ends);
        return Apply([&] { m.TrimPrivate(ends != 2, ends != 1, pSet); },
                     [&] { ends == 0 ? s.Trim(pSet) : ends == 1 ? s.TrimLeft(pSet) : s.TrimRight(pSet); });
    }
    case 13: {   // a fixed set of formats; %s beyond ASCII fails in the C locale
        m_op += "Format " + std::to_string(kind);
        int const number = static_cast<int>(Choose(2000001)) - 1000000;
        std::u16string const digits = Widen(std::to_string(number));
        std::wstring const wide = Wide(false);
        std::string bytes;
        for (unsigned int n = Length(); bytes.size() < n;)
            bytes += static_cast<char>(Choose(20) == 0 ? 0xE9 : 'a' + Choose(26));
        std::optional<std::u16string> out;
        if (bytes.find('\xE9') == std::string::npos)
            out = Widen(bytes);
        int const width = Choose(3) == 0 ? 32766 + static_cast<int>(Choose(3)) : static_cast<int>(Choose(40));
        CStrW const copy(s);
        switch (kind) {
        case 0: return Apply([&] { m.Format(digits); }, [&] { s.Format(L"%d", number); });
        case 1:
            return Apply([&] { m.Format(CStrModel::FromWide(wide) + u"|" + digits); },
                         [&] { s.Format(L"%ls|%d", wide.c_str(), number); });
        case 2: return Apply([&] { m.Format(out); }, [&] { s.Format(L"%s", bytes.c_str()); });
        case 3:   // around the largest output, 32,767 characters
            out = std::u16string(std::max(width, 1) - 1, u' ') + u"7";
            return Apply([&] { m.Format(out); }, [&] { s.Format(L"%*d", width, 7); });
        case 4:   // its own text
            return Apply([&] { m.Format(CStrModel::UpToNul(m.m_text)); }, [&] { s.Format(L"%ls", copy.GetDataW()); });
        case 5:
            if (out)
                *out += u"-" + digits;
            return Apply([&] { m.Format(out); }, [&] { FormatV(s, L"%s-%d", bytes.c_str(), number); });
        default: return Apply([] {}, [&] { s.Format(static_cast<wchar_t const*>(nullptr)); });
        }
    }
    case 14: {
        unsigned int const index = Choose(L + 2);
        char16_t const unit = flag ? u'\0' : Unit(false);
        m_op += "SetChar(" + std::to_string(index) + ")";
        return Apply([&] { m.SetChar(index, unit); }, [&] { s.SetChar(index, unit); });
    }
    default: {   // comparison and search, which change nothing
        auto const results = [&](auto const& str, auto const& pattern) {
            return std::to_string(str.FindNext(pattern, a)) + " " + std::to_string(str.Count(pattern, a)) + " " +
                   std::to_string(str.Equals(pattern)) + std::to_string(str.StartsWith(pattern)) +
                   std::to_string(str.EndsWith(pattern));
        };
        m_op += "search " + std::to_string(op) + " for " + Show(sourceModel.m_text) + " from " + std::to_string(a);
        return Apply([&] { m_want = results(m, sourceModel); }, [&] { m_got = results(s, source); });
    }
    }
}

}  // namespace lxitest
