#!/usr/bin/env bash
# Fuzzes the wave file readers (plain, K-NET/KiK-net, JMA CSV, PEER NGA AT2) with
# libFuzzer for SECONDS seconds (default 60), then the analysis core for half as long, and
# for a quarter as long each the elastic-plastic run, kestrel-batch's parameter table reader,
# the header reader that gathers a record's component files and the strength spectra.
#   scripts/fuzz.sh [SECONDS]
# Builds with clang under AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz,
# seeds the corpus with a few wave files, and exits non-zero when the fuzzer finds a crash,
# a hang or a broken rule of the reader; the input that did it is left in build/fuzz.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON -DKESTREL_SANITIZE=ON \
    -DKESTREL_GUI=OFF -DKESTREL_BENCH=OFF >/dev/null
cmake --build "$build" --target wave_reader_fuzz analysis_core_fuzz inelastic_run_fuzz \
    table_reader_fuzz component_set_fuzz strength_spectrum_fuzz -- -j2

corpus="$build/corpus"
mkdir -p "$corpus"
printf '0.02\r\n5\r\n-3.5\r\n' >"$corpus/lines-crlf"
printf '0.01,1,2,3\n4,5,6\n' >"$corpus/commas"
printf '\xEF\xBB\xBF0.01\n1E-02\n+3\n.5\n\n  \n-7.\n' >"$corpus/bom-and-forms"
printf '0.01\n1,,2\n' >"$corpus/empty-item"
printf '0\n1\n' >"$corpus/zero-step"
knet_header() {
    printf 'Origin Time       2011/03/11 14:46:00\nLat.              38.103\n'
    printf 'Long.             142.860\nDepth. (km)       24\nMag.              9.0\n'
    printf 'Station Code      MYG004\nStation Lat.      38.7292\n'
    printf 'Station Long.     141.0217\nStation Height(m) 230\n'
    printf 'Record Time       2011/03/11 14:47:03\nSampling Freq(Hz) %s\n' "$1"
    printf 'Duration Time(s)  300\nDir.              N-S\nScale Factor      %s\n' "$2"
    printf 'Max. Acc. (gal)   2699.617\nLast Correction   2011/03/11 14:46:48\nMemo.\n'
}
{ knet_header 100Hz '3920(gal)/6182761'; printf '  -2044  -2031  -2032     17\n      3\n'; } \
    >"$corpus/knet"
{ knet_header 0Hz '3920(gal)/0'; printf '  1.5\n'; } >"$corpus/knet-bad"
printf ' SITE CODE= 47590\r\n SAMPLING RATE= 100Hz\r\n UNIT  = gal(cm/s/s)\r\n NS, EW, UD\r\n1.5,-2,0.25\r\n-0.5,4,-8\r\n' \
    >"$corpus/jma-csv"
printf 'PEER NGA STRONG MOTION DATABASE RECORD\nImperial Valley-06, 10/15/1979, El Centro Array #9, 180\nACCELERATION TIME SERIES IN UNITS OF G\nNPTS=     6, DT=   .0050 SEC\n  .0062257  -.1E-02  0.3  1  2\n  -4.5E+00\n' \
    >"$corpus/at2"
printf 'PEER STRONG MOTION DATABASE RECORD\nIMPERIAL VALLEY 05/19/40 0439, EL CENTRO ARRAY #9, 270\nACCELERATION TIME SERIES IN UNITS OF G\n    3    0.02000    NPTS, DT\n .1 .2\n' \
    >"$corpus/at2-old-short"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
"$build/fuzz/wave_reader_fuzz" "$corpus" -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# The analysis core: the case byte, one line per box, then a record.
core="$build/core-corpus"
mkdir -p "$core"
printf '\x02300\n100000\n2\n0.01\n10\n5\n30\n1\n300\n1\n1\n' >"$core/steady"
printf '\x04300\n100000\n2\n0.01\n3\n5\n30\n1\n300\n1\n1\n0.01\n1\n2\n-3\n' >"$core/record"
printf '\x00300\n100000\n0\n0.3\n9000\n5\n' >"$core/diverging"
"$build/fuzz/analysis_core_fuzz" "$core" -max_total_time="$(((seconds + 1) / 2))" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# The elastic-plastic run: the case byte, the model byte, Cy, p, one line per box, a record.
inelastic="$build/inelastic-corpus"
mkdir -p "$inelastic"
printf '\x02\x010.2\n0\n300\n100000\n2\n0.01\n10\n5\n30\n1\n300\n1\n1\n' >"$inelastic/steady"
printf '\x04\x020.1\n0.1\n300\n100000\n2\n0.01\n3\n5\n30\n1\n300\n1\n1\n0.01\n100\n-200\n' \
    >"$inelastic/record"
printf '\x00\x030.05\n0.5\n300\n100000\n2\n0.01\n5\n1e150\n' >"$inelastic/far"
"$build/fuzz/inelastic_run_fuzz" "$inelastic" -max_total_time="$(((seconds + 3) / 4))" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# The parameter table: UTF-8 with and without its mark, CP932, quotes and every line end.
tables="$build/table-corpus"
mkdir -p "$tables"
printf 'base,stiffness,case,wave\r\nr1,300,,\r\nr2,,steady-displacement,w.txt\r\n' >"$tables/utf8"
printf '\xEF\xBB\xBFbase,damping\n\xE5\x89\x9B,5\n' >"$tables/utf8-mark"
printf 'base,mass\r\n\x8D\x84\x90\xAB,100000\r\n' >"$tables/cp932"
printf '"a ""b""",  "c\r\nd" e,\r"\n,x' >"$tables/quotes"
"$build/fuzz/table_reader_fuzz" "$tables" -max_total_time="$(((seconds + 3) / 4))" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# The network header that confirms a record's component files: the K-NET seed above.
components="$build/component-corpus"
mkdir -p "$components"
cp "$corpus/knet" "$corpus/knet-bad" "$components/"
"$build/fuzz/component_set_fuzz" "$components" -max_total_time="$(((seconds + 3) / 4))" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# The strength spectra: damping, ductilities, p, time step, then a record.
strength="$build/strength-corpus"
mkdir -p "$strength"
printf '5\n1, 2, 4\n0\n0.01\n0\n120\n-80\n30\n-10\n0\n' >"$strength/shake"
printf '2\n1.5 8\n0.3\n0.02\n1\n1\n1\n-1\n' >"$strength/hardening"
printf '0\n1\n0\n0.01\n0\n0\n' >"$strength/still"
"$build/fuzz/strength_spectrum_fuzz" "$strength" -max_total_time="$(((seconds + 3) / 4))" \
    -max_len=2048 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
