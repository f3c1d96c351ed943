# Writes OUTPUT, a C++ file holding the bitmaps and icons named in IMAGES (triples
# NAME:KIND:FILE, KIND BITMAP or ICON, joined by "+") as resources::bitmap(name) and
# resources::icon(name), for drivers that do not compile velkan.rc.
string(REPLACE "+" ";" triples "${IMAGES}")
set(arrays "")
set(bitmap_lookups "")
set(icon_lookups "")
set(n 0)
foreach(triple ${triples})
  string(REPLACE ":" ";" parts "${triple}")
  list(GET parts 0 name)
  list(GET parts 1 kind)
  list(SUBLIST parts 2 -1 file_parts)  # a drive letter's ":" split the path
  string(REPLACE ";" ":" file "${file_parts}")
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "constexpr char kImage${n}[] = {${bytes}};\n")
  set(lookup "    if (name == \"${name}\") return {kImage${n}, sizeof kImage${n}};\n")
  if(kind STREQUAL "ICON")
    string(APPEND icon_lookups "${lookup}")
  else()
    string(APPEND bitmap_lookups "${lookup}")
  endif()
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE ${OUTPUT}
  "// Generated from the bitmaps and icons of velkan.rc by embed_bitmaps.cmake; do not edit.\n"
  "#include \"resources/bitmaps.h\"\n\n"
  "namespace resources {\nnamespace {\n${arrays}}\n\n"
  "std::string_view bitmap(std::string_view name) {\n${bitmap_lookups}    return {};\n}\n\n"
  "std::string_view icon(std::string_view name) {\n${icon_lookups}    return {};\n}\n\n"
  "}  // namespace resources\n")
