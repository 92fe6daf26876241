// The language the programs speak: English or Japanese, chosen once when a program starts,
// from its --lang option or else from the environment, by the same rule in both programs.
// Files never follow it: result files, CSV exports and summaries are written in Japanese
// whatever the language, so that every file opens the same everywhere.
#pragma once

#include <optional>
#include <string_view>

namespace kestrel {

enum class Language { Japanese, English };

// The language of the texts a program writes into files.
inline constexpr Language kFileLanguage = Language::Japanese;

// The four variables the choice reads, as the environment holds them (empty: not set).
struct LanguageEnvironment {
    std::string_view language;    // LANGUAGE, a list separated by ":"
    std::string_view lcAll;       // LC_ALL
    std::string_view lcMessages;  // LC_MESSAGES
    std::string_view lang;        // LANG
};

// The language a locale name names ("en", "en_GB.UTF-8", "ja_JP.eucJP", "en@quot"): its
// language code, the part before any "_", ".", "@" or "-", in either case. No value for a
// name of another language or of none ("C", "POSIX", "C.UTF-8", "fr_FR").
std::optional<Language> LanguageNamedBy(std::string_view locale);

// The first of English or Japanese named by an entry of LANGUAGE, in the list's order,
// then by LC_ALL, LC_MESSAGES and LANG; Japanese when none names either. A variable that
// names another language is passed over, not taken as a refusal of both.
Language LanguageFromEnvironment(const LanguageEnvironment& environment);

// The four variables of this process's environment.
LanguageEnvironment ProcessLanguageEnvironment();

// The language a --lang value names: "ja" or "en"; no value for anything else.
std::optional<Language> LanguageOption(std::string_view value);

// Sets the program's language. A program calls it once at start, before any thread of its
// own starts; until then (and in the tests) the language is Japanese.
void SetProgramLanguage(Language language);
Language ProgramLanguage();

// The language texts are made in on this thread: the program's, or the one a
// LanguageScope on this thread sets.
Language CurrentLanguage();

// Makes texts in another language on this thread while it lives, such as the Japanese of a
// message that also goes into a file (kFileLanguage). Scopes nest.
class LanguageScope {
public:
    explicit LanguageScope(Language language);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    std::optional<Language> outer_;
};

}  // namespace kestrel
