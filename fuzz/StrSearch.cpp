// FindNext, Count and Replace against a plain search (the reference model's)
// on fuzzed text and patterns of 0 to 80 units, so that patterns cross the
// 32 units beyond which the rolling checksum keeps only the last 32.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Str.h"
#include "StrModel.h"

namespace {

// Units from bytes: mostly "a" and "b", so that long patterns do occur; 0xFF
// takes the next two bytes as any unit, 0 included.
std::u16string Units(std::uint8_t const*& pData, std::size_t& size, std::size_t count)
{
    std::u16string units;
    for (; units.size() < count && size != 0; --size, ++pData) {
        if (*pData == 0xFF && size >= 3) {
            units += static_cast<char16_t>(pData[1] << 8 | pData[2]);
            pData += 2;
            size -= 2;
        } else {
            units += *pData < 0xF0 ? u"ab"[*pData & 1] : static_cast<char16_t>(*pData);
        }
    }
    return units;
}

void Make(std::u16string const& units, CStr& text, lxitest::CStrModel& model)
{
    text.Assign(reinterpret_cast<unsigned short const*>(units.data()), static_cast<unsigned int>(units.size()));
    model.Store(units);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    if (size < 4)
        return 0;
    unsigned int const patternLength = pData[0] % 81;
    bool const patternFromText = (pData[1] & 1) != 0, all = (pData[1] & 2) != 0;
    unsigned int const replacementLength = pData[1] >> 5, start = pData[2], at = pData[3];
    pData += 4;
    size -= 4;
    std::u16string patternUnits = Units(pData, size, patternLength);
    std::u16string const replacementUnits = Units(pData, size, replacementLength);
    std::u16string const textUnits = Units(pData, size, size);
    if (patternFromText)   // likelier to occur: a piece of the text
        patternUnits = textUnits.substr(std::min<std::size_t>(at, textUnits.size()), patternLength);

    CStr text, pattern, replacement;
    lxitest::CStrModel model, patternModel, replacementModel;
    Make(textUnits, text, model);
    Make(patternUnits, pattern, patternModel);
    Make(replacementUnits, replacement, replacementModel);
    unsigned int const found = text.FindNext(pattern, start), expected = model.FindNext(patternModel, start);
    LXIFUZZ_CHECK(found == expected, "FindNext %u, expected %u", found, expected);
    unsigned int const count = text.Count(pattern, start), expectedCount = model.Count(patternModel, start);
    LXIFUZZ_CHECK(count == expectedCount, "Count %u, expected %u", count, expectedCount);

    text.Replace(pattern, replacement, start, all);
    model.Replace(patternModel, replacementModel, start, all);
    LXIFUZZ_CHECK(text.GetLength() == model.GetLength() &&
                      model.m_text.compare(0, std::u16string::npos,
                                           reinterpret_cast<char16_t const*>(text.GetData()), text.GetLength()) == 0,
                  "%s", "Replace differs");
    return 0;
}
