# Reference pages made from the tables the programs themselves use, so that
# they cannot drift from what the programs do.
#
# qen_generated_doc(<page> COMMAND <command...> [DEPENDS <files or targets...>])
#   The normal build writes the page as <build>/docs/<page> by running
#   COMMAND with that path as its last argument. docs/<page> in the tree is
#   the committed copy that readers see; the test docs_<page> fails when it
#   differs from the built page, and the target update_docs copies every
#   built page over its committed copy.
add_custom_target(update_docs)
function(qen_generated_doc page)
  cmake_parse_arguments(ARG "" "" "COMMAND;DEPENDS" ${ARGN})
  set(built ${PROJECT_BINARY_DIR}/docs/${page})
  add_custom_command(OUTPUT ${built}
    COMMAND ${ARG_COMMAND} ${built}
    DEPENDS ${ARG_DEPENDS}
    COMMENT "Generating docs/${page}" VERBATIM)
  string(MAKE_C_IDENTIFIER "${page}" id)
  add_custom_target(doc_${id} ALL DEPENDS ${built})
  add_custom_target(update_doc_${id}
    COMMAND ${CMAKE_COMMAND} -E copy ${built} ${PROJECT_SOURCE_DIR}/docs/${page}
    DEPENDS ${built} VERBATIM)
  add_dependencies(update_docs update_doc_${id})
  set_property(GLOBAL APPEND PROPERTY QEN_GENERATED_DOCS ${page})
endfunction()
