// The messages that tell the user what could not be computed and which input to check.
#pragma once

#include <QString>

#include "runtime/Fault.h"

namespace kestrel {

// The prompt of analysis/FaultText.h as the message boxes take it.
QString FaultMessage(const Fault& fault);

}  // namespace kestrel
