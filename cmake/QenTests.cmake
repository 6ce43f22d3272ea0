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
  endforeach()
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tmp)
endfunction()
