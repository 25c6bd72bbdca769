# Run with -DSRC=<source dir> -DTABLE=<MasterTable.cpp>. Fails when a file under
# SRC other than the table spells a setting's name as a string literal: code
# reads and writes settings through settings::keys, so a name written out
# anywhere else is a second source of that setting.
# Text shown to the user (QStringLiteral) may match a name, as the Com
# Settings labels "Speed" and "Parity" do; it never reaches the settings.
file(READ "${TABLE}" table)
# The rows are helper calls such as fileName("CameraFile", ...).
string(REGEX MATCHALL "[a-zA-Z]\\(\"[A-Za-z][A-Za-z0-9]*\"" calls "${table}")
set(names "")
foreach(call IN LISTS calls)
  string(REGEX REPLACE "^.\\(\"([A-Za-z0-9]+)\"$" "\\1" name "${call}")
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
list(LENGTH names count)
if(count LESS 60)
  message(FATAL_ERROR "Found only ${count} setting names in ${TABLE}: has the table's form changed?")
endif()

get_filename_component(table_path "${TABLE}" REALPATH)
file(GLOB_RECURSE sources "${SRC}/*.h" "${SRC}/*.hpp" "${SRC}/*.cpp")
set(bad "")
foreach(f IN LISTS sources)
  get_filename_component(real "${f}" REALPATH)
  if(real STREQUAL table_path)
    continue()
  endif()
  file(READ "${f}" text)
  string(REGEX REPLACE "QStringLiteral\\(\"[^\"]*\"\\)" "" text "${text}")
  foreach(name IN LISTS names)
    string(FIND "${text}" "\"${name}\"" at)
    if(NOT at EQUAL -1)
      string(APPEND bad "  ${f}: \"${name}\"\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Setting names belong in ${TABLE} only; use settings::keys instead:\n${bad}")
endif()
