# The tree added to another project with add_subdirectory: it configures
# there without its tests and without install rules, its libraries are known
# as qen::ag, qen::analyzer and qen::util, and a program over qen::util
# builds and runs.
#
#   cmake -DSOURCE_DIR=... -DWORK=... -DC_COMPILER=... -DCXX_COMPILER=...
#         -DGENERATOR=... -P subproject_test.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/test_steps.cmake)

set(consumer ${CMAKE_CURRENT_LIST_DIR}/consumer)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/parent)
file(WRITE ${WORK}/parent/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(parent LANGUAGES C CXX)
add_subdirectory(${SOURCE_DIR} qen)
add_executable(report_c ${consumer}/report.c)
target_link_libraries(report_c PRIVATE qen::analyzer)
add_executable(ini_cpp ${consumer}/ini.cpp)
target_link_libraries(ini_cpp PRIVATE qen::util)
")
set(build ${WORK}/build)
run(${CMAKE_COMMAND} -S ${WORK}/parent -B ${build} -G ${GENERATOR}
    -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
if(EXISTS ${build}/qen/tests)
  message(FATAL_ERROR "the tests were configured in the parent project")
endif()
# The analyzer takes minutes to build: the program over util stands for both.
run(${CMAKE_COMMAND} --build ${build} --target ini_cpp --parallel 2)
check_ini_cpp("ini_cpp" ${build}/ini_cpp ${WORK})
# The parent's install puts nothing of qen into its prefix.
run(${CMAKE_COMMAND} --install ${build} --prefix ${WORK}/prefix)
file(GLOB_RECURSE installed ${WORK}/prefix/*)
expect_equal("installed by the parent" "${installed}" "")
file(REMOVE_RECURSE ${WORK})
