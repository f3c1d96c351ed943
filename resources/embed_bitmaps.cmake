# Writes OUTPUT, a C++ file holding the bitmaps named in BITMAPS (pairs NAME:FILE, joined
# by "+") as resources::bitmap(name), for drivers that do not compile velkan.rc.
string(REPLACE "+" ";" pairs "${BITMAPS}")
set(arrays "")
set(lookups "")
set(n 0)
foreach(pair ${pairs})
  string(REPLACE ":" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 file)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "constexpr char kBitmap${n}[] = {${bytes}};\n")
  string(APPEND lookups "    if (name == \"${name}\") return {kBitmap${n}, sizeof kBitmap${n}};\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE ${OUTPUT}
  "// Generated from the bitmaps of velkan.rc by embed_bitmaps.cmake; do not edit.\n"
  "#include \"resources/bitmaps.h\"\n\n"
  "namespace resources {\nnamespace {\n${arrays}}\n\n"
  "std::string_view bitmap(std::string_view name) {\n${lookups}    return {};\n}\n\n"
  "}  // namespace resources\n")
