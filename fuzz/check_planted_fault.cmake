# cmake -DFUZZER=<fuzz_planted_fault> -DWORK=<folder> -P check_planted_fault.cmake
# Fuzzes the planted fault from an empty corpus: the run must stop with an
# error status at the sanitizer's report and save the input as a crash- file.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(COMMAND ${FUZZER} -seed=1 -runs=100000 -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB saved ${WORK}/artifacts/crash-*)
if(status EQUAL 0 OR NOT saved OR NOT err MATCHES "runtime error: signed integer overflow")
  message(FATAL_ERROR "the planted fault did not stop the fuzzer (status ${status}, saved: '${saved}'):\n${err}")
endif()
message(STATUS "stopped with status ${status}, saved ${saved}")
