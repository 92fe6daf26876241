// The command line of kestrel-batch: the commands, their options and operands, and the
// help text. Nothing here reads a file or runs an analysis.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/RunInputs.h"
#include "runtime/Language.h"

namespace kestrel::batch {

// Exit statuses a script relies on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // an analysis or a file failed
inline constexpr int kExitUsage = 2;    // the command line (or a table's header) is wrong

enum class Command { Response, Spectrum, Accuracy, Indices, Table, Help, Version };

// Option values as given, by option name without the dashes. An option given twice keeps
// its last value; an option not given is absent.
using OptionValues = std::map<std::string, std::string, std::less<>>;

struct Invocation {
    Command command = Command::Help;
    OptionValues options;
    std::vector<std::string> operands;
};

struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error;  // a usage error, in the current language, when there is no invocation
};

// Reads the arguments after the program's name. Options take their value as
// "--name value" or "--name=value"; only the second form takes a value that starts with
// "-". An empty value is a usage error. "--" ends the options.
ParseResult ParseArguments(std::span<const std::string> args);

// A box of the main window that a run reads, as an option: the name, what it is (a message
// of the catalogue, shown through Tr), and where its text goes.
struct RunOption {
    std::string_view name;
    std::string_view meaning;
    std::string& (*field)(RunTexts&);
};

// The options of the boxes, in the order of the main window.
std::span<const RunOption> RunOptions();

// The excitation cases by their option values, in the order of the option buttons.
struct CaseName {
    std::string_view name;
    ExcitationCase excitation;
};
std::span<const CaseName> CaseNames();
std::optional<ExcitationCase> CaseByName(std::string_view name);

// Whether the command takes the option (response, accuracy: the boxes, --case, --wave,
// --component; spectrum: --damping, --periods, --component; indices: --low-cut; table:
// none).
bool TakesOption(Command command, std::string_view name);

// The name of the command as typed.
std::string_view CommandName(Command command);

// The defaults of the spectrum command.
inline constexpr std::string_view kDefaultSpectrumDamping = "2,5,10";
inline constexpr std::string_view kDefaultSpectrumPeriods = "0.02:10:200";
// The default of the indices command's --low-cut (Hz), as the tab's box.
inline constexpr std::string_view kDefaultLowCutText = "0.1";

// The whole --help text, UTF-8, in the current language.
std::string HelpText();

// The arguments without their --lang options ("--lang en", "--lang=en", anywhere before
// "--"), and the language the last of them names. A value missing or other than ja or en
// is a usage error, whose message is in the language in force before.
struct LanguageArguments {
    std::vector<std::string> rest;
    std::optional<Language> language;
    std::string error;  // empty: no error
};
LanguageArguments TakeLanguageOption(std::span<const std::string> args);

}  // namespace kestrel::batch
