// The English texts of the core's messages, and the marker that picks a message's text in
// the current language.
//
// Every message a user reads is written in Japanese in the code, marked with Tr (or with
// TrNoop where it is only named, to be looked up later): xgettext collects the marked
// texts into translations/kestrel-core.pot, translations/kestrel-core_en.po gives each its
// English, and the build compiles that with msgfmt into a catalogue embedded in the
// programs. At run time Tr looks the Japanese text up in it (docs/translations.md).
// Japanese is the text as written, without a look-up.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Language.h"

namespace kestrel {

// A compiled message catalogue (the GNU .mo layout, either byte order) read from bytes in
// memory. It keeps views into the bytes, which must outlive it.
class MessageCatalogue {
public:
    // No value when the bytes are not a whole catalogue: a wrong magic number, an unknown
    // major revision, or a table or a text that reaches beyond the end.
    static std::optional<MessageCatalogue> Read(std::string_view bytes);

    // The translation of the original text; no value when the catalogue has none.
    std::optional<std::string_view> Find(std::string_view original) const;

    // Every (original, translation), ordered by original; the header entry (the empty
    // original) is left out, and of a plural entry only the singular forms are kept.
    const std::vector<std::pair<std::string_view, std::string_view>>& Entries() const {
        return entries_;
    }

private:
    std::vector<std::pair<std::string_view, std::string_view>> entries_;
};

// The compiled English catalogue embedded at build time.
std::string_view EnglishCatalogueBytes();

// The text of a Japanese message in the language: the message itself in Japanese, or its
// English from the embedded catalogue (the message itself when the catalogue lacks it).
std::string_view MessageIn(Language language, std::string_view japanese);

// Puts the arguments into the numbered places {1} ... {9} of a text; a place without an
// argument stays as written.
std::string FillPlaces(std::string_view text, std::initializer_list<std::string_view> arguments);

// A text kept as a value until it is shown, so that one value can be shown in either
// language (the reason behind an error shows in the window's language, and in Japanese in a
// file): a marked Japanese message (TrNoop) and the texts of its numbered places.
struct Wording {
    std::string_view japanese;
    std::vector<std::string> places = {};

    // The text in the current language.
    std::string Text() const;
    bool empty() const { return japanese.empty(); }
    bool operator==(const Wording&) const = default;
};

// Marks a Japanese message for the catalogue and gives its text in the current language,
// with the arguments in its numbered places: Tr("ファイル「{1}」を開けません。", path).
template <typename... Arguments>
std::string Tr(std::string_view japanese, const Arguments&... arguments) {
    const std::string_view text = MessageIn(CurrentLanguage(), japanese);
    if constexpr (sizeof...(arguments) == 0) {
        return std::string(text);
    } else {
        return FillPlaces(text, {std::string_view(arguments)...});
    }
}

// Marks a Japanese message for the catalogue without looking it up: for texts kept in
// tables or in data and passed to Tr (or MessageIn) where they are shown.
constexpr std::string_view TrNoop(std::string_view japanese) {
    return japanese;
}

}  // namespace kestrel
