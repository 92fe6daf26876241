#include <gtest/gtest.h>

#include "runtime/TextEncoding.h"

namespace kestrel {
namespace {

TEST(TextEncoding, Cp932RoundTripIncludingWindowsOnlyCharacters) {
    // "剛性(kN/㎝)": ㎝ exists in CP932 but not in plain Shift_JIS.
    const auto bytes = Utf8ToCp932("剛性(kN/㎝)");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "\x8d\x84\x90\xab(kN/\x87\x70)");
    EXPECT_EQ(Cp932ToUtf8(*bytes), "剛性(kN/㎝)");
    EXPECT_EQ(Utf8ToCp932("時刻(s)"), "\x8e\x9e\x8d\x8f(s)");
}

TEST(TextEncoding, UnrepresentableOrBrokenTextGivesNoValue) {
    EXPECT_FALSE(Utf8ToCp932("😀").has_value());
    EXPECT_FALSE(Cp932ToUtf8("\x81").has_value());
    EXPECT_EQ(Utf8ToCp932(""), "");
}

// The boundaries of the well-formed byte sequences of the Unicode Standard (table 3-7).
TEST(TextEncoding, Utf8CharactersAreWellFormedShortestForms) {
    const struct {
        std::string bytes;
        std::size_t length;  // of the first character
        bool whole;          // the whole text is UTF-8
    } cases[] = {
        {"A", 1, true},
        {"\x7F", 1, true},
        {"\xC2\x80", 2, true},
        {"\xDF\xBF", 2, true},
        {"\xE0\xA0\x80", 3, true},
        {"\xED\x9F\xBF", 3, true},
        {"\xEE\x80\x80", 3, true},
        {"\xEF\xBF\xBF", 3, true},
        {"\xF0\x90\x80\x80", 4, true},
        {"\xF4\x8F\xBF\xBF", 4, true},
        {"あい", 3, true},
        {"", 0, true},
        {"a\x80", 1, false},             // a stray continuation byte later
        {"\x80", 0, false},              // a continuation byte first
        {"\xC0\xAF", 0, false},          // overlong
        {"\xC1\xBF", 0, false},          // overlong
        {"\xE0\x9F\xBF", 0, false},      // overlong
        {"\xF0\x8F\xBF\xBF", 0, false},  // overlong
        {"\xED\xA0\x80", 0, false},      // a surrogate half
        {"\xED\xBF\xBF", 0, false},      // a surrogate half
        {"\xF4\x90\x80\x80", 0, false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", 0, false},  // no such lead byte
        {"\xFF", 0, false},
        {"\xE3\x81", 0, false},  // cut short
        {"\xE3\x81"
         "A",
         0, false},  // a continuation byte missing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        EXPECT_EQ(Utf8CharLength(c.bytes), c.length);
        EXPECT_EQ(IsUtf8(c.bytes), c.whole);
        EXPECT_EQ(IsUtf8("ok" + c.bytes + "済"), c.whole);
    }
}

}  // namespace
}  // namespace kestrel
