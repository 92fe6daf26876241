#include "runtime/Fault.h"

namespace kestrel {

namespace {
thread_local FaultSite currentSite = FaultSite::None;
}

FaultSite CurrentFaultSite() {
    return currentSite;
}

FaultScope::FaultScope(FaultSite site) : previous_(currentSite) {
    currentSite = site;
}

FaultScope::~FaultScope() {
    currentSite = previous_;
}

void RaiseFault(FaultKind kind) {
    throw FaultError(Fault{currentSite, kind});
}

}  // namespace kestrel
