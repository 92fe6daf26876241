#include "runtime/Catalogue.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace kestrel {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;

// The 32-bit word at the offset in the catalogue's byte order; no value past the end.
std::optional<std::uint32_t> Word(std::string_view bytes, std::size_t offset, bool bigEndian) {
    if (offset > bytes.size() || bytes.size() - offset < 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[offset + (bigEndian ? i : 3 - i)]);
        value = (value << 8) | byte;
    }
    return value;
}

// Entry i of a table of (length, offset) pairs: the text up to its first NUL (a plural
// entry holds its forms separated by NULs).
std::optional<std::string_view> TableText(std::string_view bytes, std::uint32_t table,
                                          std::uint32_t i, bool bigEndian) {
    const std::size_t at = std::size_t{table} + std::size_t{i} * 8;
    const auto length = Word(bytes, at, bigEndian);
    const auto offset = Word(bytes, at + 4, bigEndian);
    if (!length || !offset || *offset > bytes.size() || bytes.size() - *offset < *length) {
        return std::nullopt;
    }
    const std::string_view text = bytes.substr(*offset, *length);
    return text.substr(0, text.find('\0'));
}

const std::optional<MessageCatalogue>& English() {
    static const std::optional<MessageCatalogue> catalogue =
        MessageCatalogue::Read(EnglishCatalogueBytes());
    return catalogue;
}

std::string Fill(std::string_view text, std::span<const std::string_view> arguments) {
    std::string filled;
    filled.reserve(text.size() + 64);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
            text[i + 2] == '}') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < arguments.size()) {
                filled += arguments[n];
                i += 2;
                continue;
            }
        }
        filled += text[i];
    }
    return filled;
}

}  // namespace

std::optional<MessageCatalogue> MessageCatalogue::Read(std::string_view bytes) {
    const auto little = Word(bytes, 0, false);
    if (!little) return std::nullopt;
    const bool bigEndian = *little != kMagic;
    if (bigEndian && Word(bytes, 0, true) != kMagic) return std::nullopt;
    const auto revision = Word(bytes, 4, bigEndian);
    const auto count = Word(bytes, 8, bigEndian);
    const auto originals = Word(bytes, 12, bigEndian);
    const auto translations = Word(bytes, 16, bigEndian);
    if (!revision || !count || !originals || !translations || (*revision >> 16) > 1) {
        return std::nullopt;
    }
    // Each entry takes 16 bytes of tables: a count beyond that is not read at all.
    if (*count > bytes.size() / 16) return std::nullopt;
    MessageCatalogue catalogue;
    catalogue.entries_.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto original = TableText(bytes, *originals, i, bigEndian);
        const auto translation = TableText(bytes, *translations, i, bigEndian);
        if (!original || !translation) return std::nullopt;
        if (!original->empty()) catalogue.entries_.emplace_back(*original, *translation);
    }
    std::stable_sort(catalogue.entries_.begin(), catalogue.entries_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return catalogue;
}

std::optional<std::string_view> MessageCatalogue::Find(std::string_view original) const {
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), original,
        [](const auto& entry, std::string_view text) { return entry.first < text; });
    if (it == entries_.end() || it->first != original) return std::nullopt;
    return it->second;
}

std::string_view MessageIn(Language language, std::string_view japanese) {
    if (language == Language::Japanese) return japanese;
    const std::optional<MessageCatalogue>& english = English();
    if (!english) return japanese;
    return english->Find(japanese).value_or(japanese);
}

std::string FillPlaces(std::string_view text, std::initializer_list<std::string_view> arguments) {
    return Fill(text, std::span<const std::string_view>(arguments.begin(), arguments.size()));
}

std::string Wording::Text() const {
    const std::vector<std::string_view> views(places.begin(), places.end());
    return Fill(MessageIn(CurrentLanguage(), japanese), views);
}

}  // namespace kestrel
