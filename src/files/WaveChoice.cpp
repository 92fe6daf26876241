#include "files/WaveChoice.h"

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

std::optional<WaveTimeTexts> WaveTimeTextsFor(const WaveRecord& record) {
    // The time step as the box will show it, and the record's length from that text.
    WaveTimeTexts texts;
    texts.timeStep = NumberText(record.timeStep);
    const double timeStep = LeadingNumber(texts.timeStep);
    try {
        const FaultScope site(FaultSite::WaveRecord);
        texts.analysisTime = NumberText((Real(timeStep) * (record.Count() - 1)).value());
    } catch (const FaultError&) {
        return std::nullopt;
    }
    return texts;
}

FileMessage DurationErrorMessage(std::string_view path) {
    return {
        Tr("地震波ファイルの読み込みエラー"),
        Tr("地震波ファイル「{1}」の時間刻みが大きすぎるため、解析時間を計算できません。", path)};
}

FileMessage ComponentQuestion(std::string_view fileName) {
    return {Tr("成分の選択"), Tr("「{1}」は NS・EW・UD の 3 成分を収めた気象庁の記録です。\n"
                                 "解析に使う成分を選んで下さい。",
                                 fileName)};
}

}  // namespace kestrel
