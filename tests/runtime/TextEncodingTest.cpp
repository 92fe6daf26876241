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

}  // namespace
}  // namespace kestrel
