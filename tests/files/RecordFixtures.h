// Small records in the networks' formats, written by the tests themselves: K-NET/KiK-net
// ASCII, JMA CSV and PEER NGA AT2. Each field can be changed to make a bad record.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestrel::test {

struct KnetFixture {
    std::string station = "MYG004";
    std::string frequency = "100Hz";
    std::string direction = "N-S";
    std::string scale = "3920(gal)/6182761";
    std::string longitudeLabel = "Long.";
    std::string peakLabel = "Max. Acc. (gal)";
    std::vector<long long> counts;
    std::string lineEnd = "\n";
    std::size_t headerLines = 17;  // fewer: the header stops early
    std::string afterCounts;       // extra lines after the counts
};

inline std::string KnetText(const KnetFixture& f) {
    const std::pair<std::string, std::string> header[] = {
        {"Origin Time", "2011/03/11 14:46:00"},
        {"Lat.", "38.103"},
        {f.longitudeLabel, "142.860"},
        {"Depth. (km)", "24"},
        {"Mag.", "9.0"},
        {"Station Code", f.station},
        {"Station Lat.", "38.7292"},
        {"Station Long.", "141.0217"},
        {"Station Height(m)", "230"},
        {"Record Time", "2011/03/11 14:47:03"},
        {"Sampling Freq(Hz)", f.frequency},
        {"Duration Time(s)", "300"},
        {"Dir.", f.direction},
        {"Scale Factor", f.scale},
        {f.peakLabel, "2699.617"},
        {"Last Correction", "2011/03/11 14:46:48"},
        {"Memo.", ""},
    };
    std::string text;
    for (std::size_t i = 0; i < f.headerLines; ++i) {
        std::string label = header[i].first;
        label.resize(18, ' ');
        text += label + header[i].second + f.lineEnd;
    }
    for (std::size_t k = 0; k < f.counts.size(); ++k) {
        char item[24];
        std::snprintf(item, sizeof item, " %8lld", f.counts[k]);
        text += item;
        if (k % 8 == 7 || k + 1 == f.counts.size()) text += f.lineEnd;
    }
    return text + f.afterCounts;
}

struct JmaFixture {
    std::string site = "47590";
    std::string rateLine = " SAMPLING RATE= 100Hz";
    std::string unitLine = " UNIT  = gal(cm/s/s)";
    std::string columns = " NS, EW, UD";
    std::vector<std::string> rows;  // "1.5, -2, 0.25"
};

inline std::string JmaText(const JmaFixture& f) {
    std::string text = " SITE CODE= " + f.site + "\r\n LAT.= 38.262\r\n LON.= 140.897\r\n";
    if (!f.rateLine.empty()) text += f.rateLine + "\r\n";
    if (!f.unitLine.empty()) text += f.unitLine + "\r\n";
    text += " INITIAL TIME = 2011 03 11 14 46 00\r\n";
    if (!f.columns.empty()) text += f.columns + "\r\n";
    for (const std::string& row : f.rows) text += row + "\r\n";
    return text;
}

struct At2Fixture {
    std::string title = "PEER NGA STRONG MOTION DATABASE RECORD";
    std::string event = "Imperial Valley-06, 10/15/1979, El Centro Array #9, 180";
    std::string units = "ACCELERATION TIME SERIES IN UNITS OF G";
    std::string points = "NPTS=     4, DT=   .0050 SEC";
    std::vector<std::string> values;  // in g, written five to a line
    std::size_t headerLines = 4;
};

inline std::string At2Text(const At2Fixture& f) {
    const std::string header[] = {f.title, f.event, f.units, f.points};
    std::string text;
    for (std::size_t i = 0; i < f.headerLines; ++i) text += header[i] + "\n";
    for (std::size_t k = 0; k < f.values.size(); ++k) {
        text += "  " + f.values[k];
        if (k % 5 == 4 || k + 1 == f.values.size()) text += "\n";
    }
    return text;
}

}  // namespace kestrel::test
