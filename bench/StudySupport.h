// What the study-window probe and the screenshot program share: message boxes answered at
// once, and a synthetic ground-acceleration record.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "runtime/MessageService.h"

namespace kestrel::bench {

// Answers every message box at once with OK, writing its text to standard error.
class SilentMessages : public MessageService {
public:
    int ShowMessage(const QString& prompt, int, const QString&) override {
        std::fprintf(stderr, "message: %s\n", prompt.toUtf8().constData());
        return kAnswerOk;
    }
    void Beep() override {}
    void EndProgram() override {}
};

// A plain wave file of n samples 0.01 s apart: two tones and a deterministic noise under a
// bell envelope centred at `centre` seconds, `width` seconds wide.
inline std::string SyntheticRecordText(int n, double centre, double width) {
    std::string text = "0.01\r\n";
    unsigned state = 12345;
    for (int k = 0; k < n; ++k) {
        const double t = k * 0.01;
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 8) & 0xffff) / 32768.0 - 1.0;
        const double envelope = std::exp(-std::pow((t - centre) / width, 2));
        const double a =
            envelope * (250 * std::sin(7.3 * t) + 120 * std::sin(17.1 * t) + 80 * noise);
        char number[32];
        std::snprintf(number, sizeof number, "%.4f\r\n", a);
        text += number;
    }
    return text;
}

}  // namespace kestrel::bench
