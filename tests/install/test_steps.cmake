# Steps of the tests in this folder, run as cmake -P scripts: each failure
# ends the script with a message that says what differed.

# run(<command...>): the command must exit 0; its standard output and error
# are left in run_output and run_error.
function(run)
  run_status(0 ${ARGN})
  set(run_output "${run_output}" PARENT_SCOPE)
  set(run_error "${run_error}" PARENT_SCOPE)
endfunction()

# run_status(<status> <command...>): the command must exit with status.
function(run_status expected)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nexited with ${status}, not ${expected}\n${out}${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
  set(run_error "${err}" PARENT_SCOPE)
endfunction()

function(expect_equal what got expected)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "${what}:\n  got:      '${got}'\n  expected: '${expected}'")
  endif()
endfunction()

# expect_dynamic(<ELF file> <soname or ""> <runpath>): its SONAME and its
# RUNPATH, and no RPATH.
function(expect_dynamic file soname runpath)
  run(readelf -d ${file})
  set(got_soname "")
  set(got_runpath "")
  if(run_output MATCHES "\\(SONAME\\)[^[]*\\[([^]]*)\\]")
    set(got_soname "${CMAKE_MATCH_1}")
  endif()
  if(run_output MATCHES "\\(RUNPATH\\)[^[]*\\[([^]]*)\\]")
    set(got_runpath "${CMAKE_MATCH_1}")
  endif()
  expect_equal("SONAME of ${file}" "${got_soname}" "${soname}")
  expect_equal("RUNPATH of ${file}" "${got_runpath}" "${runpath}")
  if(run_output MATCHES "\\(RPATH\\)")
    message(FATAL_ERROR "${file} has an RPATH:\n${run_output}")
  endif()
endfunction()

# check_ini_cpp(<what> <program> <folder>): the answers of a build of
# consumer/ini.cpp over a small INI file written into folder.
function(check_ini_cpp what program folder)
  file(WRITE ${folder}/settings.ini "[LOGGING_DEFAULT]\nLevel=4\n")
  run(${program} ${folder}/settings.ini LOGGING_DEFAULT Level)
  expect_equal("${what}" "${run_output}" "Level=4\nrefused: Error section LOGGING_DEFAULT key no such key\n")
endfunction()
