// Arbitrary bytes as a wave file: the reader must never crash, never hang, and give either
// a record the analysis can use or an error whose message can be shown.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/WaveFile.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kestrel::WaveError;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kestrel::WaveReadResult r = kestrel::ReadWaveBytes(bytes);
    if (r.ok()) {
        Require(r.record.timeStep > 0 && std::isfinite(r.record.timeStep));
        Require(r.record.Count() >= 1 && r.record.Count() <= kestrel::kMaxWaveNumbers);
        for (const double sample : r.record.samples) Require(std::isfinite(sample));
    } else {
        const WaveError& e = *r.error;
        Require(e.kind != WaveError::Kind::CannotOpen);  // nothing is opened here
        if (e.kind == WaveError::Kind::MalformedItem) {
            Require(e.line >= 1 && e.detail.size() <= kestrel::kMaxWaveItemLength);
        }
        const kestrel::FileMessage m = kestrel::WaveErrorMessage(e, "wave.txt");
        Require(!m.title.empty() && !m.prompt.empty());
    }
    return 0;
}
