# One golden case (see CMakeLists.txt here): runs varno-cli and compares its
# standard output with the expected file. With VARNO_GOLDEN_UPDATE=1 in the
# environment it writes the expected file instead.
if(NOT EXISTS "${INPUT}")
  message("golden case skipped: ${INPUT} is not here")
  return()
endif()

string(REPLACE "{input}" "${INPUT}" arguments "${ARGUMENTS}")
separate_arguments(arguments UNIX_COMMAND "${arguments}")
get_filename_component(name "${EXPECTED}" NAME)
file(MAKE_DIRECTORY "${SCRATCH}")
string(MD5 tag "${EXPECTED}")
set(actual "${SCRATCH}/${tag}-${name}")

execute_process(COMMAND "${CLI}" ${arguments}
  OUTPUT_FILE "${actual}" ERROR_VARIABLE errors RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "varno-cli ${arguments} exited with ${code}:\n${errors}")
endif()

if("$ENV{VARNO_GOLDEN_UPDATE}" STREQUAL "1")
  get_filename_component(folder "${EXPECTED}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${actual}" "${EXPECTED}" ONLY_IF_DIFFERENT)
  message("wrote ${EXPECTED}")
  return()
endif()

if(NOT EXISTS "${EXPECTED}")
  message(FATAL_ERROR "${EXPECTED} is missing; scripts/regen-golden writes it")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}" "${actual}" RESULT_VARIABLE differ)
if(differ)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND "${DIFF}" -u "${EXPECTED}" "${actual}" OUTPUT_VARIABLE diff)
    string(SUBSTRING "${diff}" 0 6000 diff)
  endif()
  message(FATAL_ERROR "the output of varno-cli ${arguments} differs from ${EXPECTED}:\n${diff}")
endif()
file(REMOVE "${actual}")
