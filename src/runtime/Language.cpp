#include "runtime/Language.h"

#include <atomic>
#include <cstdlib>

namespace kestrel {

namespace {

std::atomic<Language> g_programLanguage{Language::Japanese};
thread_local std::optional<Language> t_scopeLanguage;

bool EqualsNoCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

}  // namespace

std::optional<Language> LanguageNamedBy(std::string_view locale) {
    const std::string_view code = locale.substr(0, locale.find_first_of("_.@-"));
    if (EqualsNoCase(code, "en")) return Language::English;
    if (EqualsNoCase(code, "ja")) return Language::Japanese;
    return std::nullopt;
}

Language LanguageFromEnvironment(const LanguageEnvironment& environment) {
    std::string_view list = environment.language;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const auto named = LanguageNamedBy(list.substr(0, colon))) return *named;
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
    for (const std::string_view locale :
         {environment.lcAll, environment.lcMessages, environment.lang}) {
        if (const auto named = LanguageNamedBy(locale)) return *named;
    }
    return Language::Japanese;
}

LanguageEnvironment ProcessLanguageEnvironment() {
    return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
}

std::optional<Language> LanguageOption(std::string_view value) {
    if (value == "ja") return Language::Japanese;
    if (value == "en") return Language::English;
    return std::nullopt;
}

void SetProgramLanguage(Language language) {
    g_programLanguage.store(language, std::memory_order_relaxed);
}

Language ProgramLanguage() {
    return g_programLanguage.load(std::memory_order_relaxed);
}

Language CurrentLanguage() {
    return t_scopeLanguage.value_or(ProgramLanguage());
}

LanguageScope::LanguageScope(Language language) : outer_(t_scopeLanguage) {
    t_scopeLanguage = language;
}

LanguageScope::~LanguageScope() {
    t_scopeLanguage = outer_;
}

}  // namespace kestrel
