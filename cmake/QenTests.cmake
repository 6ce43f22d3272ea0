# The CTest labels of a test file, so that a packager can choose what to run
# (ctest -L unit): its folder's name (agc, analyzer, plsql, util), then one
# of
#   corpus   reads the shared corpus (skips without it);
#   process  runs the programs or the build tools as processes;
#   unit     neither: in-process only, offline and quick;
# and thread when it starts threads of its own. Read from the file itself,
# so that a new test is labelled without a list to keep.
function(qen_test_labels out folder src)
  file(READ ${src} text)
  set(labels ${folder})
  if(text MATCHES "QEN_SHARED_DIR|_corpus_files\\(")
    list(APPEND labels corpus)
  elseif(text MATCHES "(QEN_HOST|VESTRAKE|AGGEN|BISON)_PATH|run_host|runProcess|run_command|command_status|popen\\(|fork\\(|posix_spawn")
    list(APPEND labels process)
  else()
    list(APPEND labels unit)
  endif()
  if(text MATCHES "std::j?thread|pthread_create|std::async")
    list(APPEND labels thread)
  endif()
  set(${out} ${labels} PARENT_SCOPE)
endfunction()

# qen_add_test_folder(<prefix> LIBS <libs...> [INTERNAL_LIBS <libs...>]
#                     [DEFINES <defs...>] [INCLUDES <dirs...>])
# Every *_test.cpp of the calling folder becomes its own test executable
# (own process: tests of process-wide state do not disturb each other).
# Files named *_internal_test.cpp link INTERNAL_LIBS (static twins that reach
# internals) instead of LIBS. Only GoogleTest is linked; a test that uses
# GoogleMock links GTest::gmock to its own target.
function(qen_add_test_folder prefix)
  cmake_parse_arguments(ARG "" "" "LIBS;INTERNAL_LIBS;DEFINES;INCLUDES" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS test_sources)
    get_filename_component(name ${src} NAME_WE)
    set(target ${prefix}_${name})
    set(libs ${ARG_LIBS})
    if(name MATCHES "_internal_test$" AND ARG_INTERNAL_LIBS)
      set(libs ${ARG_INTERNAL_LIBS})
    endif()
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${libs} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
      QEN_SHARED_DIR="${QEN_SHARED_DIR}"
      QEN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      QEN_TEST_TMP_DIR="${CMAKE_CURRENT_BINARY_DIR}/tmp"
      ${ARG_DEFINES})
    # tests/ itself: helpers shared by every folder (shell_command.h).
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(ARG_INCLUDES)
      target_include_directories(${target} PRIVATE ${ARG_INCLUDES})
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      # Cases of one executable share its scratch files: never run them at
      # the same time (different executables still run in parallel).
      PROPERTIES TIMEOUT 600 RESOURCE_LOCK ${target})
    # The labels, set once the cases are known (gtest_discover_tests would
    # flatten a list of labels into separate arguments).
    qen_test_labels(labels ${prefix} ${src})
    set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake)
    file(WRITE ${labels_file} "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${labels}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
  endforeach()
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tmp)
endfunction()

# Code that must not compile: qen_add_compile_fail_cases(<prefix> <source>
# <define> <lib> "<case>|<regex>"...) builds <source> once per case as an
# object library <prefix><case> with <define>=<case>, and a test that builds
# it and expects the compiler's message (regex). Case 0 is the good case:
# the file compiles at all. The tests run the build tools: labels process
# and the calling folder's name.
function(qen_add_compile_fail_cases prefix source define lib)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 case)
    list(GET parts 1 expected)
    set(target ${prefix}${case})
    add_library(${target} OBJECT EXCLUDE_FROM_ALL ${source})
    target_compile_definitions(${target} PRIVATE ${define}=${case})
    target_link_libraries(${target} PRIVATE ${lib})
    add_test(NAME ${target}
      COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${target})
    # One build tool at a time in the build tree.
    set_tests_properties(${target} PROPERTIES TIMEOUT 300 RESOURCE_LOCK build_tree LABELS "${folder};process")
    if(NOT case EQUAL 0)
      set_tests_properties(${target} PROPERTIES PASS_REGULAR_EXPRESSION "${expected}")
    endif()
  endforeach()
endfunction()
