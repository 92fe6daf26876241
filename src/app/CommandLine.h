// The command line of the windowed program: --lang sets the language, --help and --version
// are answered before any window or display is needed; anything else it does not know is
// refused.
#pragma once

#include <QStringList>
#include <optional>

namespace kestrel {

// Sets the program's language from --lang ("--lang en" or "--lang=en"; a value other than ja
// or en is a usage error), then answers --help or --version on standard output. Returns the
// exit status when the program should end here (1 when standard output refused the answer),
// or nothing when the windows should start. Needs no display; creates its own
// QCoreApplication for the time it looks at the arguments.
std::optional<int> AnswerInformationRequests(int& argc, char* argv[]);

// Checks the arguments left after QApplication has taken its own (such as -style).
// Reports the first one the program does not know on standard error and returns the exit
// status for a usage error; returns nothing when all are known.
std::optional<int> RefuseUnknownArguments(const QStringList& arguments);

}  // namespace kestrel
