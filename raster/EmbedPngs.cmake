# Writes a C++ source holding every PNG named by the resource script as a byte array with its id.
# Run as: cmake -DRC_FILE=... -DOUTPUT=... -P EmbedPngs.cmake
get_filename_component(image_dir "${RC_FILE}" DIRECTORY)
file(STRINGS "${RC_FILE}" entries REGEX "^[0-9]+[ \t]+PNG[ \t]+\"[^\"]+\"")

set(arrays "")
set(table "")
set(count 0)
foreach(entry IN LISTS entries)
  string(REGEX MATCH "^([0-9]+)[ \t]+PNG[ \t]+\"([^\"]+)\"" _ "${entry}")
  set(id ${CMAKE_MATCH_1})
  file(READ "${image_dir}/${CMAKE_MATCH_2}" hex HEX)
  file(SIZE "${image_dir}/${CMAKE_MATCH_2}" size)
  # Sixteen bytes per line keeps the generated file readable in a diff tool.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
  string(APPEND arrays "// ${CMAKE_MATCH_2}\nconst unsigned char kPng${id}[] = {\n  ${bytes}\n};\n\n")
  string(APPEND table "  {${id}, kPng${id}, ${size}},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "No PNG entries in ${RC_FILE}")
endif()

set(content "// Generated from ${RC_FILE} at build time; do not edit.\n#include \"EmbeddedPng.h\"\n\nnamespace {\n\n${arrays}}  // namespace\n\nconst EmbeddedPng kEmbeddedPngs[] = {\n${table}};\nconst std::size_t kEmbeddedPngCount = ${count};\n")
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
