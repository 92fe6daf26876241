// kestrel-batch's commands, from the arguments to the exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace kestrel::batch {

// Runs the command the arguments (those after the program's name) give. Output that was
// asked for (help, version) goes to out, every message to err. A --lang option sets the
// program's language first; without one it stays as the program set it at start. Returns
// the exit status; output that out refused (checked after flushing it) fails the command.
int RunBatch(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::batch
