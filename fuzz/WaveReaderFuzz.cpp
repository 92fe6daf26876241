// Arbitrary bytes as a wave file: the reader must never crash, never hang, and give either
// a record the analysis can use or an error whose message can be shown. Every format goes
// through the one entry point; a JMA CSV record that asks for its component is read again
// with the component the input's length picks.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "FuzzSupport.h"
#include "files/WaveFile.h"

namespace {

using kestrel::WaveError;
using kestrel::fuzz::Require;

void Check(const kestrel::WaveReadResult& r) {
    if (r.ok()) {
        Require(r.record.timeStep > 0 && std::isfinite(r.record.timeStep));
        Require(r.record.Count() >= 1 && r.record.Count() <= kestrel::kMaxWaveNumbers);
        double peak = 0;
        for (const double sample : r.record.samples) {
            Require(std::isfinite(sample));
            peak = std::max(peak, std::abs(sample));
        }
        if (r.info) {
            Require(!r.record.samples.empty());
            Require(r.info->sampleCount == static_cast<int>(r.record.samples.size()));
            Require(r.info->peak == peak);
            const kestrel::FileMessage m = kestrel::RecordInfoMessage(*r.info);
            Require(!m.title.empty() && !m.prompt.empty());
        }
    } else {
        const WaveError& e = *r.error;
        Require(e.kind != WaveError::Kind::CannotOpen);  // nothing is opened here
        if (e.kind == WaveError::Kind::MalformedItem) {
            Require(e.line >= 1 && e.detail.size() <= kestrel::kMaxWaveItemLength);
        }
        const kestrel::FileMessage m = kestrel::WaveErrorMessage(e, "wave.txt");
        Require(!m.title.empty() && !m.prompt.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kestrel::WaveReadResult r = kestrel::ReadWaveBytes(bytes);
    Check(r);
    if (r.needsComponent()) {
        const auto component = static_cast<kestrel::RecordComponent>(size % 3);
        const kestrel::WaveReadResult picked = kestrel::ReadWaveBytes(bytes, component);
        Require(!picked.needsComponent());
        Check(picked);
    }
    return 0;
}
