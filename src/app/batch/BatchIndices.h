// The command that writes the table of the tab "地震動の指標": the ground-motion indices of
// one or more records.
#pragma once

#include <ostream>

#include "app/batch/BatchOptions.h"

namespace kestrel::batch {

// indices [--low-cut F] RECORD... OUT.csv: the rows of each record (each component and
// "合成"), the components gathered as the tab gathers them (a JMA CSV record's three
// columns; a K-NET/KiK-net file's siblings in its folder). A file that was already read as
// a component of an earlier record is not a record of its own. A record that cannot be
// computed is a row with the reason and fails the command (status 1); the others are
// computed all the same, and the file is written.
int RunIndices(const Invocation& invocation, std::ostream& err);

}  // namespace kestrel::batch
