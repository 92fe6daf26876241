// The language rule both programs follow, the compiled catalogue's reader, and the English
// catalogue the programs carry.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Catalogue.h"
#include "runtime/Language.h"

namespace kestrel {
namespace {

constexpr Language J = Language::Japanese;
constexpr Language E = Language::English;

TEST(Language, TheFirstVariableNamingEnglishOrJapaneseDecides) {
    const struct {
        LanguageEnvironment environment;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        Language expected;
    } cases[] = {
        {{}, J},
        {{"", "", "", "C"}, J},
        {{"", "", "", "POSIX"}, J},
        {{"", "", "", "C.UTF-8"}, J},
        {{"", "", "", "ja_JP.UTF-8"}, J},
        {{"", "", "", "en_US.UTF-8"}, E},
        {{"", "", "", "en_GB"}, E},
        {{"", "", "", "EN_gb.utf8"}, E},
        {{"", "", "", "en@quot"}, E},
        {{"", "", "", "fr_FR.UTF-8"}, J},
        {{"", "", "", "eng"}, J},  // a code is the part before "_", ".", "@" or "-"
        {{"en", "", "", "ja_JP.UTF-8"}, E},
        {{"ja", "", "", "en_US.UTF-8"}, J},
        {{"fr:en", "", "", "ja_JP.UTF-8"}, E},
        {{"fr:de", "", "", "en_US.UTF-8"}, E},  // a list naming neither passes the choice on
        {{"de:ja:en", "", "", ""}, J},
        {{":en_GB:", "", "", ""}, E},
        {{"", "C", "en_US.UTF-8", "ja_JP.UTF-8"}, E},
        {{"", "ja_JP.UTF-8", "en_US.UTF-8", ""}, J},
        {{"", "", "", "en-US"}, E},
    };
    for (const auto& c : cases) {
        const LanguageEnvironment& e = c.environment;
        SCOPED_TRACE(std::string(e.language) + "|" + std::string(e.lcAll) + "|" +
                     std::string(e.lcMessages) + "|" + std::string(e.lang));
        EXPECT_EQ(LanguageFromEnvironment(e), c.expected);
    }
}

TEST(Language, TheOptionAndTheScope) {
    EXPECT_EQ(LanguageOption("ja"), J);
    EXPECT_EQ(LanguageOption("en"), E);
    for (const char* bad : {"", "EN", "english", "en_US", "fr", " en"}) {
        EXPECT_FALSE(LanguageOption(bad).has_value()) << bad;
    }
    EXPECT_EQ(CurrentLanguage(), J);
    {
        const LanguageScope english(E);
        EXPECT_EQ(CurrentLanguage(), E);
        {
            const LanguageScope files(kFileLanguage);
            EXPECT_EQ(CurrentLanguage(), J);
            EXPECT_EQ(Tr("解析エラー"), "解析エラー");
        }
        EXPECT_EQ(CurrentLanguage(), E);
        EXPECT_EQ(Tr("解析エラー"), "Analysis error");
        // The places are filled in the English order; an argument is put in as it is.
        EXPECT_EQ(Tr("{1}の「{2}」は数値ではありません。", "minimum period", "{1}x"),
                  "The minimum period \"{1}x\" is not a number.");
        const Wording reason{TrNoop("ファイルが使用中です"), {}};
        EXPECT_EQ(reason.Text(), "The file is in use");
        // A text the catalogue lacks stays as written.
        EXPECT_EQ(Tr("カタログにない文"), "カタログにない文");
    }
    EXPECT_EQ(CurrentLanguage(), J);
    EXPECT_EQ(FillPlaces("{2}-{1}-{3}-{0}-{", {"a", "b"}), "b-a-{3}-{0}-{");
}

// A catalogue in the .mo layout, in either byte order, of the (original, translation) pairs.
std::string MoBytes(const std::vector<std::pair<std::string, std::string>>& pairs, bool big) {
    std::string bytes;
    const auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            const int shift = big ? 24 - 8 * i : 8 * i;
            bytes += static_cast<char>((v >> shift) & 0xFF);
        }
    };
    const auto n = static_cast<std::uint32_t>(pairs.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * n;
    std::uint32_t text = translations + 8 * n;
    word(0x950412de);
    word(0);
    word(n);
    word(originals);
    word(translations);
    word(0);
    word(0);
    std::string texts;
    for (const bool second : {false, true}) {
        for (const auto& [original, translation] : pairs) {
            const std::string& t = second ? translation : original;
            word(static_cast<std::uint32_t>(t.size()));
            word(text);
            texts += t;
            texts += '\0';
            text += static_cast<std::uint32_t>(t.size() + 1);
        }
    }
    return bytes + texts;
}

TEST(Catalogue, ReadsEitherByteOrderAndRefusesBrokenBytes) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"", "Content-Type: text/plain; charset=UTF-8\n"},
        {"解析エラー", "Analysis error"},
        {"注意", "Warning"}};
    for (const bool big : {false, true}) {
        const std::string bytes = MoBytes(pairs, big);
        const auto catalogue = MessageCatalogue::Read(bytes);
        ASSERT_TRUE(catalogue.has_value()) << big;
        EXPECT_EQ(catalogue->Find("注意"), "Warning");
        EXPECT_EQ(catalogue->Find("解析エラー"), "Analysis error");
        EXPECT_FALSE(catalogue->Find("").has_value());  // the header is no message
        EXPECT_FALSE(catalogue->Find("注").has_value());
        EXPECT_EQ(catalogue->Entries().size(), 2u);
        // Cut short of its last text, or with a count beyond the bytes, it is no catalogue.
        for (std::size_t size = 0; size + 1 < bytes.size(); size += 7) {
            EXPECT_FALSE(MessageCatalogue::Read(bytes.substr(0, size)).has_value()) << size;
        }
        std::string counted = bytes;
        counted[big ? 11 : 8] = '\x7f';
        EXPECT_FALSE(MessageCatalogue::Read(counted).has_value());
        std::string magic = bytes;
        magic[0] = 'x';
        EXPECT_FALSE(MessageCatalogue::Read(magic).has_value());
    }
}

bool HoldsJapanese(std::string_view utf8) {
    // Hiragana, katakana, CJK ideographs, the CJK punctuation and the full-width forms all
    // begin with the lead bytes E3 to E9 or EF (U+3000 .. U+9FFF, U+FF00 .. U+FFEF).
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if (lead >= 0xE3 && lead <= 0xE9) return true;
        if (lead == 0xEF && next >= 0xBC && next <= 0xBF) return true;
    }
    return false;
}

TEST(Catalogue, TheEmbeddedEnglishIsWholeAndHoldsNoJapanese) {
    const auto english = MessageCatalogue::Read(EnglishCatalogueBytes());
    ASSERT_TRUE(english.has_value());
    EXPECT_GT(english->Entries().size(), 200u);
    // Japanese names that are the files' own words stay: the result files' suffixes and the
    // composite row's name in the indices CSV.
    const auto fileWords = [](std::string_view text) {
        std::string rest(text);
        for (const char* word : {"(建物パラメータ)", "(時刻暦応答)", "「合成」", "\"合成\""}) {
            for (std::size_t at; (at = rest.find(word)) != std::string::npos;) {
                rest.erase(at, std::string_view(word).size());
            }
        }
        return rest;
    };
    for (const auto& [japanese, text] : english->Entries()) {
        SCOPED_TRACE(std::string(japanese));
        EXPECT_FALSE(text.empty());
        EXPECT_FALSE(HoldsJapanese(fileWords(text))) << text;
        // Every numbered place of the Japanese is in the English too.
        for (char n = '1'; n <= '9'; ++n) {
            const std::string place = {'{', n, '}'};
            EXPECT_EQ(japanese.find(place) != std::string::npos,
                      text.find(place) != std::string::npos)
                << place << " in " << text;
        }
    }
}

}  // namespace
}  // namespace kestrel
