# Code generated from the attribute grammar in grammar/: the generator
# (tools/aggen) reads the terminal list, the precedence levels, the measured
# size of the grammar and the area files and writes the bison grammar, the node structures, descriptors, leaf
# constructors and one source per area into the build tree; bison then turns
# the grammar into the parser.

add_executable(aggen ${CMAKE_CURRENT_SOURCE_DIR}/tools/aggen/aggen.cpp)
set_target_properties(aggen PROPERTIES CXX_VISIBILITY_PRESET default)

set(QEN_GRAMMAR_DIR ${CMAKE_CURRENT_SOURCE_DIR}/grammar)
set(QEN_GENERATED_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${QEN_GENERATED_DIR})
set(QEN_ANALYZER_GENERATED_DIR ${QEN_GENERATED_DIR} CACHE INTERNAL "Code generated from the T-SQL grammar")

file(GLOB QEN_GRAMMAR_AREAS CONFIGURE_DEPENDS ${QEN_GRAMMAR_DIR}/*.ag)
list(SORT QEN_GRAMMAR_AREAS)

set(QEN_GRAMMAR_OUTPUTS
  ${QEN_GENERATED_DIR}/tsql.y
  ${QEN_GENERATED_DIR}/tsql_listed.y
  ${QEN_GENERATED_DIR}/gn_nodes.h
  ${QEN_GENERATED_DIR}/gn_descriptors.cpp
  ${QEN_GENERATED_DIR}/grammar_summary.txt)
set(QEN_GRAMMAR_SOURCES ${QEN_GENERATED_DIR}/gn_descriptors.cpp)
foreach(area IN LISTS QEN_GRAMMAR_AREAS)
  get_filename_component(stem ${area} NAME_WE)
  list(APPEND QEN_GRAMMAR_OUTPUTS ${QEN_GENERATED_DIR}/gn_${stem}.cpp)
  list(APPEND QEN_GRAMMAR_SOURCES ${QEN_GENERATED_DIR}/gn_${stem}.cpp)
endforeach()

add_custom_command(
  OUTPUT ${QEN_GRAMMAR_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:aggen>
          --terminals ${QEN_GRAMMAR_DIR}/terminals.def
          --precedence ${QEN_GRAMMAR_DIR}/precedence.def
          --measured ${QEN_GRAMMAR_DIR}/measured_size.txt
          --out ${QEN_GENERATED_DIR}
          ${QEN_GRAMMAR_AREAS}
  DEPENDS aggen ${QEN_GRAMMAR_AREAS} ${QEN_GRAMMAR_DIR}/terminals.def ${QEN_GRAMMAR_DIR}/precedence.def
          ${QEN_GRAMMAR_DIR}/measured_size.txt
  COMMENT "Generating the T-SQL grammar code"
  VERBATIM)

add_custom_command(
  OUTPUT ${QEN_GENERATED_DIR}/tsql_parser.cpp ${QEN_GENERATED_DIR}/tsql_parser.output
  COMMAND ${BISON_EXECUTABLE} -Werror --report=state
          --report-file=${QEN_GENERATED_DIR}/tsql_parser.output
          -o ${QEN_GENERATED_DIR}/tsql_parser.cpp ${QEN_GENERATED_DIR}/tsql.y
  DEPENDS ${QEN_GENERATED_DIR}/tsql.y
  COMMENT "Building the T-SQL parser"
  VERBATIM)

list(APPEND QEN_ANALYZER_GENERATED_SOURCES ${QEN_GRAMMAR_SOURCES} ${QEN_GENERATED_DIR}/tsql_parser.cpp)
list(APPEND QEN_ANALYZER_GENERATED_INCLUDES ${QEN_GENERATED_DIR})
