// The words that tell the user what could not be computed and which input to check. The
// windows show them in message boxes, the command line on standard error.
#pragma once

#include <string>
#include <string_view>

#include "runtime/Catalogue.h"
#include "runtime/Fault.h"

namespace kestrel {

// The titles under which the commands report a fault, shown through Tr.
inline constexpr std::string_view kNaturalPeriodFaultTitle = TrNoop("固有周期の計算エラー");
inline constexpr std::string_view kRunFaultTitle = TrNoop("解析エラー");
inline constexpr std::string_view kPlaybackFaultTitle = TrNoop("動画表示エラー");

// The prompt for a fault in the current language, UTF-8; its lines are separated by "\n".
std::string FaultPrompt(const Fault& fault);

}  // namespace kestrel
