# Writes OUTPUT, a C++ file holding the bytes of INPUT as resources::rc_text().
# Bytes, not a string literal: the .rc text is Windows-1252 and must arrive unchanged.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUTPUT}
  "// Generated from velkan.rc by embed_rc.cmake; do not edit.\n"
  "#include \"resources/rc_text.h\"\n\n"
  "namespace resources {\nnamespace {\nconstexpr char kText[] = {${bytes} '\\0'};\n}\n\n"
  "std::string_view rc_text() { return {kText, sizeof kText - 1}; }\n\n"
  "}  // namespace resources\n")
