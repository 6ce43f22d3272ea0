# A manual page shows without a warning from man, carries a date, and names
# every option that its program's usage text lists.
#
#   cmake -DPAGE=... -DPROGRAM=... -DHELP=<help option> -P man_page_test.cmake
cmake_minimum_required(VERSION 3.25)
set(ENV{LC_ALL} C.UTF-8)
set(ENV{MANWIDTH} 80)
execute_process(COMMAND man --warnings -E UTF-8 -l -Tutf8 -Z ${PAGE}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "man --warnings -l ${PAGE} (status ${status}):\n${warnings}")
endif()

# The date of the page, in the title line: man prints it in the footer.
file(STRINGS ${PAGE} title LIMIT_COUNT 1 REGEX "^\\.TH ")
if(NOT title MATCHES "^\\.TH [A-Z_]+ 1 \"20[0-9][0-9]-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])\" ")
  message(FATAL_ERROR "${PAGE}: the title line carries no date (YYYY-MM-DD): ${title}")
endif()

# The usage text: each option line starts with two blanks and the option.
execute_process(COMMAND ${PROGRAM} ${HELP} OUTPUT_VARIABLE usage RESULT_VARIABLE ignored)
string(REGEX MATCHALL "\n  -[-a-z]+(, --[a-z]+)?" lines "${usage}")
if(NOT lines)
  message(FATAL_ERROR "no option found in the usage text of ${PROGRAM}")
endif()
file(READ ${PAGE} page)
foreach(line IN LISTS lines)
  string(REGEX MATCHALL "-[-a-z]+" options "${line}")
  foreach(option IN LISTS options)
    # roff writes a minus sign as \-; the option must not run on into a
    # longer word (-h is not found in \-\-help).
    string(REPLACE "-" "\\\\-" pattern "${option}")
    if(NOT page MATCHES "${pattern}[^a-z]")
      message(FATAL_ERROR "${PAGE} does not name ${option}, which the usage text of ${PROGRAM} lists")
    endif()
  endforeach()
endforeach()
