// kestrel-batch: the analysis of the main window from the command line. It uses only the
// libraries without Qt, and never needs a display.
#include <iostream>
#include <string>
#include <vector>

#include "app/batch/BatchCommands.h"
#include "files/ReplaceFile.h"
#include "runtime/Language.h"

int main(int argc, char* argv[]) {
    kestrel::IgnoreFileSizeSignal();  // a file-size limit fails the save instead of the program
    // The language of every message, set once: the environment's, unless --lang says otherwise.
    kestrel::SetProgramLanguage(
        kestrel::LanguageFromEnvironment(kestrel::ProcessLanguageEnvironment()));
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return kestrel::batch::RunBatch(args, std::cout, std::cerr);
}
