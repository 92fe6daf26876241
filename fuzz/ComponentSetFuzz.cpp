// Arbitrary bytes as the start of a K-NET/KiK-net file and as a file name: the header
// reader that confirms the siblings of a recording and the names that find them must
// never crash, and must give only what the bytes hold.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "files/ComponentSet.h"
#include "files/RecordText.h"

namespace {

using kestrel::fuzz::Require;

bool OneLine(const std::string& value) {
    return value.size() <= kestrel::kMaxRecordLineLength &&
           value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    if (const auto header = kestrel::ReadNetworkRecordHeader(in)) {
        Require(OneLine(header->stationCode) && OneLine(header->recordTime) &&
                OneLine(header->samplingFrequency));
    }
    if (const auto names = kestrel::NetworkSiblingNames(bytes)) {
        const std::size_t dot = bytes.rfind('.');
        Require(dot != std::string::npos && dot > 0);
        for (const std::string& name : names->names) {
            Require(name.compare(0, dot + 1, bytes, 0, dot + 1) == 0);
        }
        const std::size_t given = names->direction == kestrel::RecordComponent::NS   ? 0
                                  : names->direction == kestrel::RecordComponent::EW ? 1
                                                                                     : 2;
        Require(kestrel::EqualsNoCase(names->names[given], bytes));
    }
    kestrel::ComponentProblem problem;
    problem.path = bytes;
    for (int kind = 0; kind <= static_cast<int>(kestrel::ComponentProblem::Kind::NotNamed);
         ++kind) {
        problem.kind = static_cast<kestrel::ComponentProblem::Kind>(kind);
        Require(!kestrel::ComponentProblemText(problem).empty());
    }
    return 0;
}
