#include "ui/FaultMessages.h"

#include "analysis/FaultText.h"

namespace kestrel {

QString FaultMessage(const Fault& fault) {
    return QString::fromStdString(FaultPrompt(fault));
}

}  // namespace kestrel
