# Writes a compiled catalogue's bytes as a C++ source that gives them to the program:
#   cmake -DINPUT=kestrel-core_en.mo -DOUTPUT=EnglishCatalogue.cpp -P EmbedCatalogue.cmake
# The programs then carry their messages' English and need no installed file.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# Sixteen bytes to a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
"// Generated from ${INPUT} by translations/EmbedCatalogue.cmake; do not edit.
#include \"runtime/Catalogue.h\"

namespace kestrel {

namespace {

alignas(4) constexpr char kEnglishCatalogue[${size} + 1] = {
    ${bytes}'\\0'};

}  // namespace

std::string_view EnglishCatalogueBytes() {
    return std::string_view(kEnglishCatalogue, ${size});
}

}  // namespace kestrel
")
# Unchanged bytes keep the source's time, so nothing that includes it is rebuilt.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
