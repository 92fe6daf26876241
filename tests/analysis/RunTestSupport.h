// What the tests of the run share: the default boxes with a change.
#pragma once

#include <functional>

#include "analysis/RunFromTexts.h"

namespace kestrel::test {

// The default boxes, changed by `change` when it is given.
inline RunTexts With(const std::function<void(RunTexts&)>& change) {
    RunTexts t;
    if (change) change(t);
    return t;
}

}  // namespace kestrel::test
