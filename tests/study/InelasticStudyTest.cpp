// The elastic-plastic tab's boxes, refusals and CSV export.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"
#include "study/InelasticStudy.h"

namespace kestrel {
namespace {

// The boxes as typed, then typed parameters and buildings the run itself refuses.
TEST(InelasticStudy, ReadsTheBoxesAndNamesTheOneRefused) {
    const std::string cyBox(kYieldCoefficientBox), pBox(kSecondStiffnessRatioBox);
    const struct {
        const char *cy, *p;
        std::string box;      // empty: accepted
        const char* message;  // a part of the message, or the values read "Cy p"
    } texts[] = {
        {" 1e-3 ", "０．９９９", "", "0.001 0.999"},
        {"abc", "x", cyBox, "降伏せん断力係数の「abc」は数値ではありません。"},
        {"1e999", "0", cyBox, "大きすぎます"},
        {"0", "0", cyBox, "「0」は 0 以下です。\n降伏せん断力係数は 0 より大きい値"},
        {"0.2", "x", pBox, "第2剛性比の「x」は数値ではありません。"},
        {"0.2", "1", pBox, "「1」は範囲外です。\n第2剛性比は 0 以上 1 未満"},
        {"0.2", "-0.01", pBox, "範囲外です"},
    };
    for (const auto& c : texts) {
        SCOPED_TRACE(testing::Message() << c.cy << " / " << c.p);
        const auto read = ReadInelasticParameters(SpringModel::Origin, c.cy, c.p);
        ASSERT_EQ(read.ok(), c.box.empty());
        if (read) {
            EXPECT_EQ(read->model, SpringModel::Origin);
            EXPECT_EQ(
                NumberText(read->yieldCoefficient) + " " + NumberText(read->secondStiffnessRatio),
                c.message);
        } else {
            EXPECT_EQ(read.error().box, c.box);
            EXPECT_NE(read.error().message.find(c.message), std::string::npos)
                << read.error().message;
        }
    }
    const double nan = std::nan(""), inf = HUGE_VAL;
    const struct {
        Building building;
        double cy, p;
        std::optional<std::string> box;  // none: computed
    } typed[] = {
        {{300, 1, 0.02}, 1e-9, 0.99, std::nullopt},
        {{300, 1, 0.02}, nan, 0, cyBox},
        {{300, 1, 0.02}, inf, 0, cyBox},
        {{300, 1, 0.02}, 0.2, nan, pBox},
        {{-300, -1, 0.02}, 0.2, 0, ""},
        {{0, 1, 0.02}, 0.2, 0, ""},
        {{300, 1e308, 0.02}, 0.2, 0, ""},       // Qy overflows
        {{1e308, 1e-308, 0.02}, 1e-10, 0, ""},  // dy underflows
    };
    RunInputs inputs = ReadRunInputs({}, ExcitationCase::InitialVelocity).value();
    for (const auto& t : typed) {
        inputs.building = t.building;
        const auto r =
            ComputeInelasticResponse(inputs, NoGroundMotion{}, {SpringModel::Clough, t.cy, t.p});
        EXPECT_EQ(r.ok(), !t.box) << t.building.stiffness << " " << t.building.mass << " " << t.cy;
        if (!r && t.box) {
            EXPECT_EQ(r.error().box, *t.box);
            if (t.box->empty()) {
                EXPECT_NE(r.error().message.find("降伏耐力"), std::string::npos);
            }
        }
    }
}

std::vector<std::string> Lines(const std::string& cp932) {
    std::vector<std::string> lines;
    const std::string text = Cp932ToUtf8(cp932).value();
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The header, the result file's rows (0 .. points - 2) with the ground acceleration second
// even in the steady-displacement case, and the refusal of a run that stopped.
TEST(InelasticStudy, WritesTheTabsCsvAndRefusesARunThatStopped) {
    RunTexts texts;
    texts.analysisTime = "2";
    texts.displacementMax = "5";  // yields at Cy 0.2
    const RunInputs inputs = ReadRunInputs(texts, ExcitationCase::SteadyDisplacement).value();
    const auto response =
        ComputeInelasticResponse(inputs, *MotionOfCase(inputs), {SpringModel::Clough, 0.2, 0.05});
    ASSERT_TRUE(response.ok());
    const InelasticResponse& r = *response;
    ASSERT_GT(r.summary().ductility, 1);
    std::ostringstream out;
    ASSERT_FALSE(WriteInelasticCsv(out, r).has_value());
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 1u + 201u);  // points 0 .. 200 of 202
    EXPECT_EQ(
        lines[0],
        "\"時刻(s)\",\"入力加速度(cm/s2)\",\"応答加速度(cm/s2)\",\"応答速度(cm/s)\","
        "\"応答変位(cm)\",\"復元力(kN)\",\"入力エネルギー(kN・cm)\",\"運動エネルギー(kN・cm)\","
        "\"減衰エネルギー(kN・cm)\",\"弾性ひずみエネルギー(kN・cm)\",\"履歴エネルギー(kN・cm)\"");
    for (const int i : {0, 1, 137, 200}) {
        const Response& s = r.response();
        const std::size_t k = static_cast<std::size_t>(i);
        std::string row;
        for (const double v :
             {s.time()[k], s.ground()[k], s.acceleration()[k], s.velocity()[k], s.displacement()[k],
              r.force()[k], r.inputEnergy()[k], r.kineticEnergy()[k], r.dampingEnergy()[k],
              r.strainEnergy()[k], r.hystereticEnergy()[k]}) {
            row += (row.empty() ? "" : ",") + NumberText(v);
        }
        EXPECT_EQ(lines[k + 1], row);
    }
    EXPECT_NE(r.response().ground()[1], 0);
    EXPECT_TRUE(lines[2].starts_with("0.01," + NumberText(r.response().ground()[1]) + ","));

    // The linear acceleration method beyond its limit: refused, saying when, nothing written.
    texts = RunTexts{};
    texts.model.damping = "0";
    texts.timeStep = "0.3";
    texts.analysisTime = "9000";
    const RunInputs diverging = ReadRunInputs(texts, ExcitationCase::InitialVelocity).value();
    const auto stopped =
        ComputeInelasticResponse(diverging, NoGroundMotion{}, {SpringModel::Linear, 0.2, 0});
    ASSERT_TRUE(stopped.ok());
    ASSERT_FALSE(stopped->complete());
    const int n = stopped->completedPoints();
    EXPECT_EQ(stopped->response().fault(), (Fault{FaultSite::Integration, FaultKind::Overflow}));
    EXPECT_TRUE(n > 100 && static_cast<int>(stopped->hystereticEnergy().size()) == n);
    EXPECT_EQ(stopped->summary().lastRow, n - 1);
    const std::string when =
        "時刻 " + NumberText(stopped->completedPoints() * 0.3) + " 秒で応答が発散したため";
    EXPECT_TRUE(InelasticStopMessage(*stopped).starts_with(when)) << InelasticStopMessage(*stopped);
    EXPECT_EQ(InelasticStopMessage(*response), "");
    std::ostringstream none;
    const auto refusal = WriteInelasticCsv(none, *stopped);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, InelasticStopMessage(*stopped));
    EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace kestrel
