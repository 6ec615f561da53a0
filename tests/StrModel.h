// Reference model of CStr, for the randomized sequence test and the fuzzer.
//
// CStrModel keeps the text as a plain std::u16string next to the storage
// state that decides what a CStr reports: which buffer is in use, the three
// flags and the capacity record. Each operation is written out from the rules
// of the class (room only through Resize, the record behind the terminator
// exactly when capacity >= length + 5, clamped ranges, searches that stop at
// a 0), not from Str.cpp. Where CStr settles what the rules leave open, the
// model does the same: Resize refuses a length beyond 29 bits, a failed
// allocation keeps the old text (unless the room already there holds the new
// one, as when a time-efficient string misses its next power of two),
// attaching the block the string owns keeps it owned, and Replace gives up
// when the result would not fit 29 bits.
//
// CStrModelRun drives one CStr and one model with the same operations, drawn
// by a chooser (a seeded generator in the unit test, the input bytes in the
// fuzzer), and compares the two after every step.
#ifndef LXIBASE_TESTS_STRMODEL_H
#define LXIBASE_TESTS_STRMODEL_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Str.h"

namespace lxitest {

class CStrModel
{
public:
    enum class Buffer { None, Attached, Owned };

    std::u16string m_text;
    Buffer m_buffer = Buffer::None;
    unsigned short const* m_pData = nullptr;   // the caller's buffer; an owned block as last seen
    unsigned int m_blockCapacity = 0;          // units the buffer holds before its terminator
    bool m_extra = false;                      // FLAG_EXTRA_BUFFER
    unsigned int m_record = 0;                 // the capacity record, when m_extra
    bool m_timeEfficient = false;              // FLAG_TIME_EFFICIENT
    bool m_failAllocation = false;             // the next allocation fails (cleared when taken)

    void Reset();                              // as CStr(): no buffer, flags clear
    unsigned int GetLength() const { return static_cast<unsigned int>(m_text.size()); }
    unsigned int GetBuffSize() const;
    static unsigned int FindNextPower(unsigned int n);
    void MarkExtraBuffer(unsigned int capacity);
    unsigned int Resize(unsigned int length, bool force);
    void Compact() { Resize(GetLength(), true); }
    void SetTimeEfficient(bool on, bool resize);
    void Attach(unsigned short const* pBuffer, unsigned int capacity, bool emptyStart, bool own);

    void Store(std::u16string const& text);    // a new text after Resize for its length
    void Keep(std::u16string const& text);     // a new text within the present capacity
    void Assign(CStrModel const& other) { if (&other != this) Store(other.m_text); }
    void SetChar(unsigned int index, char16_t unit);

    bool Equals(CStrModel const& other) const;
    bool StartsWith(CStrModel const& prefix) const;
    bool EndsWith(CStrModel const& suffix) const;
    unsigned int FindNext(CStrModel const& pattern, unsigned int start) const;
    unsigned int Count(CStrModel const& pattern, unsigned int start) const;

    void Append(CStrModel const& text) { Insert(text, GetLength()); }   // the same steps at the end
    void Insert(CStrModel const& text, unsigned int index);
    void CopyRange(CStrModel const& source, unsigned int index, unsigned int count);
    void ReplaceRange(unsigned int index, unsigned int count, CStrModel const& text);
    void Replace(CStrModel const& pattern, CStrModel const& replacement, unsigned int start,
                 bool all);
    void Cut(unsigned int index, unsigned int count);
    void TrimPrivate(bool start, bool end, wchar_t const* pSet);
    void Format(std::optional<std::u16string> const& output);   // nullopt: vswprintf fails

    static std::u16string FromUtf8(unsigned char const* pBytes, unsigned int count);
    static std::u16string FromWide(std::wstring const& text);   // "?" beyond U+FFFF
    static std::u16string UpToNul(std::u16string const& text) { return text.substr(0, text.find(u'\0')); }

private:
    bool AllocationFails();
};

class CStrModelRun
{
public:
    using Chooser = std::function<unsigned int(unsigned int)>;   // a number below n (n >= 2)

    explicit CStrModelRun(Chooser choose);
    // One operation on the string and the model; "" when both agree after it,
    // else what differs.
    std::string Step();

private:
    unsigned int Choose(unsigned int n) { return n <= 1 ? 0u : m_choose(n) % n; }
    unsigned int Length();
    char16_t Unit(bool zero);
    std::u16string Units(unsigned int count, bool zero);
    std::string Bytes(bool zero, bool utf8);
    std::wstring Wide(bool zero);
    unsigned int Index();
    void MakeSource(CStr& source, CStrModel& model);
    void ChooseBuffer(bool self, unsigned short*& pBuffer, unsigned int& capacity, bool& emptyStart,
                      bool& own);
    std::string Apply(std::function<void()> const& onModel, std::function<void()> const& onStr);
    std::string Compare();

    Chooser m_choose;
    std::vector<std::unique_ptr<unsigned short[]>> m_buffers;   // callers' buffers; [0] inline
    std::vector<unsigned int> m_capacities;
    std::optional<CStr> m_str;                 // after the buffers, which outlive it
    CStrModel m_model;
    bool m_fail = false;                       // this step's first allocation fails
    std::string m_op;                          // this step, for messages
    std::string m_want, m_got;                 // results of the model and of the string
};

}  // namespace lxitest

#endif
