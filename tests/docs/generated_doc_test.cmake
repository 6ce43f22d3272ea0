# A committed reference page is byte for byte the page the build generates.
#
#   cmake -DBUILT=... -DCOMMITTED=... -P generated_doc_test.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS ${BUILT})
  message(FATAL_ERROR "${BUILT} was not generated: build first")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${BUILT} ${COMMITTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} is not what the build generates (${BUILT}):\n"
    "cmake --build <build> --target update_docs writes it; commit the result.")
endif()
