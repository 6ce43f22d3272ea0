# The built tree installed as a user installs it: into a scratch prefix,
# which is then moved elsewhere. What was installed is checked, the
# installed programs are run, and two small programs (C over the analyzer,
# C++ over util) are built over the moved prefix and run: as a CMake project
# with find_package(qen), and with pkg-config.
#
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=... -DCONFIG=...
#         -DVERSION=... -DC_COMPILER=... -DCXX_COMPILER=... -DGENERATOR=...
#         -DLIBDIR=... -DSKIP_RPATH=ON|OFF [-DFLAGS=...] -P install_test.cmake
#
# FLAGS are the sanitizer flags the tree was built with; programs linked
# against its libraries need them too. LIBDIR is the build's
# CMAKE_INSTALL_LIBDIR (lib, or a multiarch lib/x86_64-linux-gnu);
# SKIP_RPATH its CMAKE_SKIP_INSTALL_RPATH, with which nothing installed
# carries a RUNPATH and the installed programs find the libraries through
# LD_LIBRARY_PATH, as a packager's do through the system's folders.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/test_steps.cmake)

set(first ${WORK}/first)
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${first})
file(RENAME ${first} ${prefix})

# ---- what was installed: the programs, the libraries with their links,
# the headers of the exported interfaces and nothing else, the package files
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
set(lib ${LIBDIR})
set(expected bin/qen_host bin/vestrake ${lib}/cmake/qen/qenConfig.cmake
    ${lib}/cmake/qen/qenConfigVersion.cmake share/man/man1/qen_host.1 share/man/man1/vestrake.1)
string(TOLOWER "${CONFIG}" config)
if(config STREQUAL "")
  set(config noconfig)
endif()
foreach(component ag analyzer util)
  list(APPEND expected ${lib}/cmake/qen/qen-${component}-targets.cmake
       ${lib}/cmake/qen/qen-${component}-targets-${config}.cmake)
endforeach()
foreach(name qen_ag qen_analyzer qen_util)
  list(APPEND expected ${lib}/lib${name}.so ${lib}/lib${name}.so.${major} ${lib}/lib${name}.so.${VERSION}
       ${lib}/pkgconfig/${name}.pc)
endforeach()
foreach(folder agc/include analyzer/include util/include)
  file(GLOB headers RELATIVE ${SOURCE_DIR}/${folder} ${SOURCE_DIR}/${folder}/*.h)
  foreach(header IN LISTS headers)
    list(APPEND expected include/qen/${header})
  endforeach()
endforeach()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
list(SORT expected)
list(SORT installed)
expect_equal("installed files" "${installed}" "${expected}")

set(lib_runpath "$ORIGIN")
file(RELATIVE_PATH bin_to_lib ${prefix}/bin ${prefix}/${lib})
set(bin_runpath "$ORIGIN/${bin_to_lib}")
if(SKIP_RPATH)
  set(lib_runpath "")
  set(bin_runpath "")
  set(ENV{LD_LIBRARY_PATH} ${prefix}/${lib})
endif()
foreach(name qen_ag qen_analyzer qen_util)
  file(READ_SYMLINK ${prefix}/${lib}/lib${name}.so link)
  expect_equal("lib${name}.so" "${link}" "lib${name}.so.${major}")
  file(READ_SYMLINK ${prefix}/${lib}/lib${name}.so.${major} link)
  expect_equal("lib${name}.so.${major}" "${link}" "lib${name}.so.${VERSION}")
  expect_dynamic(${prefix}/${lib}/lib${name}.so.${VERSION} "lib${name}.so.${major}" "${lib_runpath}")
endforeach()
expect_dynamic(${prefix}/bin/qen_host "" "${bin_runpath}")
expect_dynamic(${prefix}/bin/vestrake "" "${bin_runpath}")

# Nothing installed names the build tree, the sources or the first prefix
# (the debugging information of the programs and libraries aside; the
# sanitizers keep source positions in the code itself).
file(GLOB_RECURSE checked ${prefix}/include/* ${prefix}/${lib}/cmake/* ${prefix}/${lib}/pkgconfig/*
     ${prefix}/share/man/*)
if(FLAGS STREQUAL "")
  list(APPEND checked ${prefix}/bin/qen_host ${prefix}/bin/vestrake ${prefix}/${lib}/libqen_ag.so
       ${prefix}/${lib}/libqen_analyzer.so ${prefix}/${lib}/libqen_util.so)
endif()
set(stripped ${WORK}/stripped)
foreach(file IN LISTS checked)
  set(read ${file})
  if(NOT file MATCHES "/(include|cmake|pkgconfig|man)/")
    run(objcopy --strip-debug ${file} ${stripped})
    set(read ${stripped})
  endif()
  foreach(place ${BUILD_DIR} ${SOURCE_DIR} ${first})
    string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" pattern "${place}")
    file(STRINGS ${read} names REGEX "${pattern}")
    if(names)
      message(FATAL_ERROR "${file} names ${place}: ${names}")
    endif()
  endforeach()
endforeach()
file(REMOVE ${stripped})

# ---- the installed programs run from the moved prefix
run(${prefix}/bin/qen_host --version)
expect_equal("qen_host --version" "${run_output}" "qen_host ${VERSION}\n")
# One batch, so that the C program below writes the same report.
set(input ${WORK}/input.sql)
file(WRITE ${input} "checkpoint\nselect from\n")
# The C program prints the syntax errors as qen_host does, as compilers
# write a located message.
set(told "${input}:2: Incorrect syntax near 'from'\n")
run_status(1 ${prefix}/bin/qen_host ${input})
expect_equal("qen_host's standard error" "${run_error}" "${told}")
set(report "${run_output}")
file(WRITE ${WORK}/input.pls "BEGIN NULL; END;\n")
run(${prefix}/bin/vestrake -i ${WORK}/input.pls)

# ---- programs of a user: the report of the C program over the analyzer, the
# answers of the C++ program over util
function(check_programs how report_c ini_cpp)
  run_status(1 ${report_c} ${input})
  expect_equal("${how}: report_c's standard error" "${run_error}" "${told}")
  expect_equal("${how}: report_c's report" "${run_output}" "${report}")
  check_ini_cpp("${how}: ini_cpp" ${ini_cpp} ${WORK})
endfunction()

set(consumer ${CMAKE_CURRENT_LIST_DIR}/consumer)
run(${CMAKE_COMMAND} -S ${consumer} -B ${WORK}/consumer -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_CXX_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK}/consumer)
check_programs(find_package ${WORK}/consumer/report_c ${WORK}/consumer/ini_cpp)

# report_c calls qen_ag too: qen_analyzer's flags must bring it.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${lib}/pkgconfig)
separate_arguments(flags UNIX_COMMAND "${FLAGS}")
foreach(program report_c:qen_analyzer:report.c:${C_COMPILER} ini_cpp:qen_util:ini.cpp:${CXX_COMPILER})
  string(REPLACE ":" ";" parts "${program}")
  list(GET parts 0 name)
  list(GET parts 1 package)
  list(GET parts 2 source)
  list(GET parts 3 compiler)
  run(pkg-config --cflags --libs ${package})
  separate_arguments(package_flags UNIX_COMMAND "${run_output}")
  run(${compiler} ${flags} ${consumer}/${source} ${package_flags} -Wl,-rpath,${prefix}/${lib}
      -o ${WORK}/${name}_pc)
endforeach()
check_programs(pkg-config ${WORK}/report_c_pc ${WORK}/ini_cpp_pc)
unset(ENV{PKG_CONFIG_PATH})

# ---- the components of the package, with no ACE on pkg-config's search
# path: a C host of the analyzer still builds; util, or a component that
# does not exist, is refused by name.
file(MAKE_DIRECTORY ${WORK}/no-pc)
set(ENV{PKG_CONFIG_LIBDIR} ${WORK}/no-pc)
run_status(1 pkg-config --exists ACE)
function(configure_consumer status components)
  file(REMOVE_RECURSE ${WORK}/components)
  run_status(${status} ${CMAKE_COMMAND} -S ${consumer} -B ${WORK}/components -G ${GENERATOR}
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
      "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DQEN_COMPONENTS=${components}")
  set(run_error "${run_error}" PARENT_SCOPE)
endfunction()
configure_consumer(0 analyzer)
run(${CMAKE_COMMAND} --build ${WORK}/components)
if(EXISTS ${WORK}/components/ini_cpp)
  message(FATAL_ERROR "COMPONENTS analyzer: qen::util was defined")
endif()
run_status(1 ${WORK}/components/report_c ${input})
expect_equal("COMPONENTS analyzer: report_c's report" "${run_output}" "${report}")
foreach(refused "util|qen component 'util' needs ACE" "sql|qen has no component 'sql'")
  string(REPLACE "|" ";" parts "${refused}")
  list(GET parts 0 components)
  list(GET parts 1 said)
  configure_consumer(1 "${components}")
  string(REGEX REPLACE "[ \n]+" " " error "${run_error}")
  string(FIND "${error}" "${said}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "COMPONENTS ${components}: the refusal does not say \"${said}\":\n${run_error}")
  endif()
endforeach()
unset(ENV{PKG_CONFIG_LIBDIR})

file(REMOVE_RECURSE ${WORK})
