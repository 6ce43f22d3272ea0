# Install rules: the three shared libraries with the headers of their exported
# interfaces, the two programs with their manual pages, a CMake package
# (find_package(qen) gives qen::ag, qen::analyzer and qen::util, one
# component each) and one pkg-config file per library. Everything installed
# finds what it needs relative to its own place, so an installed prefix can
# be moved as a whole.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Headers go into a folder of their own: names such as smp.h or IniReader.h
# are too plain to stand in include/ beside other packages.
set(QEN_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/qen)
set(QEN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/qen)

# qen_library(<target> <name> <include folder>): a deliverable library,
# known as qen::<name> in this tree (for projects that add it as a
# subdirectory) and in the installed package. Its include folder holds its
# exported interface and nothing else.
function(qen_library target name include_dir)
  add_library(qen::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${name}
    # The libraries find each other in their own folder.
    INSTALL_RPATH "$ORIGIN")
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${include_dir}>
    $<INSTALL_INTERFACE:${QEN_INSTALL_INCLUDEDIR}>)
  if(QEN_INSTALL)
    # One export set per library: a component of the package.
    install(TARGETS ${target} EXPORT qen_${name}_targets
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(DIRECTORY ${include_dir}/ DESTINATION ${QEN_INSTALL_INCLUDEDIR}
      FILES_MATCHING PATTERN "*.h")
  endif()
endfunction()

# qen_program(<target>): a program installed in bin/, finding the libraries
# in the lib/ beside it.
function(qen_program target)
  file(RELATIVE_PATH bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
  if(QEN_INSTALL)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/docs/man/${target}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endfunction()

# A folder of the installation as a pkg-config value: relative to the .pc
# file's own folder when the folder lies under the prefix.
function(qen_pc_dir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# The package files, once the libraries are defined.
function(qen_install_package)
  if(NOT QEN_INSTALL)
    return()
  endif()
  foreach(name ag analyzer util)
    install(EXPORT qen_${name}_targets NAMESPACE qen:: FILE qen-${name}-targets.cmake
      DESTINATION ${QEN_INSTALL_CMAKEDIR})
  endforeach()
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qenConfig.cmake.in
    ${PROJECT_BINARY_DIR}/qenConfig.cmake
    INSTALL_DESTINATION ${QEN_INSTALL_CMAKEDIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/qenConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/qenConfig.cmake ${PROJECT_BINARY_DIR}/qenConfigVersion.cmake
    DESTINATION ${QEN_INSTALL_CMAKEDIR})

  set(pc_folder ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  if(IS_ABSOLUTE "${pc_folder}")
    set(pc_prefix "${CMAKE_INSTALL_PREFIX}")
  else()
    # The prefix is found from the .pc file itself (cmake --install
    # --prefix chooses it only at install time).
    file(RELATIVE_PATH pc_to_prefix ${CMAKE_INSTALL_PREFIX}/${pc_folder} ${CMAKE_INSTALL_PREFIX})
    string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
    set(pc_prefix "\${pcfiledir}/${pc_to_prefix}")
  endif()
  qen_pc_dir(pc_libdir "${CMAKE_INSTALL_LIBDIR}")
  qen_pc_dir(pc_includedir "${QEN_INSTALL_INCLUDEDIR}")
  # name|description|Requires
  set(packages
    "qen_ag|Attribute-grammar runtime: pools, rope strings, containers, parsing context|"
    "qen_analyzer|T-SQL analyzer writing an XML report of the features the target lacks|qen_ag"
    "qen_util|Logging, configuration, exceptions and library manager on ACE|ACE")
  foreach(entry IN LISTS packages)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 pc_name)
    list(GET parts 1 pc_description)
    list(GET parts 2 pc_requires)
    set(pc_requires_line "")
    if(pc_requires)
      set(pc_requires_line "Requires: ${pc_requires}\n")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/qen.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc DESTINATION ${pc_folder})
  endforeach()
endfunction()
