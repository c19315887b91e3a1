# Writes a C++ source that holds the bytes of each file of INPUTS, so the
# executable carries its own copy of the reference data.
# Usage: cmake -DOUTPUT=out.cpp "-DINPUTS=a;b;c" -P EmbedFiles.cmake
set(body "// Generated at build time from the files in data/. Do not edit.\n")
string(APPEND body "#include \"driver/embedded_data.h\"\n\nnamespace plotwright {\nnamespace {\n")
set(table "")
set(index 0)
foreach(input IN LISTS INPUTS)
  get_filename_component(name ${input} NAME)
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR byte_count "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  # Break the initialiser into lines of 32 bytes so compilers and editors cope.
  string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){32})" "\\1\n" bytes "${bytes}")
  string(APPEND body "const char kFile${index}[] = {\n${bytes}'\\0'};\n")
  string(APPEND table "    {\"${name}\", std::string_view(kFile${index}, ${byte_count})},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "}  // namespace\n\nconst std::vector<EmbeddedFile>& EmbeddedReferenceFiles() {\n")
string(APPEND body "  static const std::vector<EmbeddedFile> files = {\n${table}  };\n  return files;\n}\n\n}  // namespace plotwright\n")
file(WRITE ${OUTPUT}.tmp "${body}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.tmp ${OUTPUT})
file(REMOVE ${OUTPUT}.tmp)
