# cmake -DROOTS=<dir,...> [-DALLOW=<file:count,...>] -P CheckNodeCasts.cmake
# Each field of the syntax tree is declared with what it holds and read
# through nodeAs<T>() or a kind test, so no source reinterprets a pointer as
# a node record. Fails with one line per such cast. ALLOW names a file (by
# its name) and how many casts it keeps on purpose: a test that builds a
# malformed tree.
cmake_minimum_required(VERSION 3.20)

if(NOT ROOTS)
  message(FATAL_ERROR "CheckNodeCasts: ROOTS is required")
endif()
string(REPLACE "," ";" ROOTS "${ROOTS}")
string(REPLACE "," ";" ALLOW "${ALLOW}")
foreach(entry IN LISTS ALLOW)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 count)
  set(allowed_${name} ${count})
endforeach()

set(cast_regex "reinterpret_cast<[ \t]*(const[ \t]+)?astNode[A-Za-z]*[ \t]*\\*")
set(problems "")
foreach(root IN LISTS ROOTS)
  file(GLOB_RECURSE files ${root}/*.cpp ${root}/*.h ${root}/*.y ${root}/*.def)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "${cast_regex}")
    list(LENGTH lines found)
    if(found EQUAL 0)
      continue()
    endif()
    get_filename_component(name ${file} NAME)
    if(DEFINED allowed_${name} AND found EQUAL allowed_${name})
      continue()
    endif()
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      string(APPEND problems "${file}: ${line}\n")
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "A pointer reinterpreted as a node record (declare the field with what it holds):\n${problems}")
endif()
