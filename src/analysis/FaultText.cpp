#include "analysis/FaultText.h"

#include "runtime/Catalogue.h"

namespace kestrel {

std::string FaultPrompt(const Fault& fault) {
    const bool overflow = fault.kind == FaultKind::Overflow;
    switch (fault.site) {
        case FaultSite::MassStiffnessRatio:
            return Tr(
                "建物固有周期を計算できません。\n"
                "剛性と質量を確認してください（剛性 0、または剛性と質量の正負が異なる値は"
                "使えません）。");
        case FaultSite::DampingFactor:
            return Tr("建物固有周期を計算できません。\n減衰定数は 100 % 未満の値にしてください。");
        case FaultSite::StepCount:
            return overflow ? Tr("解析時間が長すぎます。\n解析できるのは 32767 点"
                                 "（解析時間 ÷ 分割時間 + 2）までです。"
                                 "解析時間を短くするか、分割時間を長くしてください。")
                            : Tr("解析の点数を計算できません。\n分割時間に 0 以外の値を"
                                 "入力してください。");
        case FaultSite::StepConstants:
            return Tr(
                "解析の定数を計算できません。\n質量に 0 以外の値を入力し、"
                "分割時間を確認してください。");
        case FaultSite::ForcingParameters:
            return Tr(
                "定常波(変位)の入力を計算できません。\n周期に 0 以外の値を入力し、"
                "最大値を確認してください。");
        case FaultSite::GroundMotion:
            return Tr(
                "定常波(加速度)の入力を計算できません。\n周期に 0 以外の値を入力し、"
                "最大値を確認してください。");
        case FaultSite::InitialState:
            return Tr("初期状態を計算できません。\n初期変位・初期速度の値が大きすぎます。");
        case FaultSite::Integration:
            return Tr(
                "応答が発散したため、計算を中止しました。\n"
                "分割時間が建物固有周期に対して長すぎる可能性があります"
                "（線形加速度法が安定なのは、分割時間が固有周期の約 0.55 倍以下のときです）。\n"
                "分割時間を短くするか、入力値を確認してください。");
        case FaultSite::StepRange:
            return Tr("解析する時刻がありません。\n解析時間に 0 以上の値を入力してください。");
        case FaultSite::WaveRecord:
            return Tr("地震波の記録が長すぎるため、解析できません。");
        case FaultSite::TimerInterval:
            return Tr(
                "分割時間が大きすぎるため、動画の表示間隔を設定できません。\n"
                "分割時間を確認してください。");
        case FaultSite::Playback:
            return Tr("動画表示の値を計算できないため、動画表示を中止しました。");
        case FaultSite::None:
            break;
    }
    return Tr("計算できない値がありました。入力値を確認してください。");
}

}  // namespace kestrel
