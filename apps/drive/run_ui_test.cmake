# Script mode (cmake -P), for nuv_ui_test(): runs nuv-drive on a script in a
# fresh directory and compares its standard output with the expected
# transcript. Inputs: DRIVER, SCRIPT, EXPECTED, WORK, optional PLUGIN, EXIT,
# FILES ('|'-separated).

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(FILES)
  string(REPLACE "|" ";" files "${FILES}")
  foreach(file ${files})
    file(COPY "${file}" DESTINATION "${WORK}")
  endforeach()
endif()

if("${EXIT}" STREQUAL "")
  file(STRINGS "${SCRIPT}" exit_lines REGEX "^# expect-exit: [0-9]+")
  if(exit_lines)
    list(GET exit_lines 0 exit_line)
    string(REGEX REPLACE "^# expect-exit: ([0-9]+).*" "\\1" EXIT "${exit_line}")
  else()
    set(EXIT 0)
  endif()
endif()

set(command "${DRIVER}")
if(PLUGIN)
  list(APPEND command --plugin "${PLUGIN}")
endif()
list(APPEND command "${SCRIPT}")

set(ENV{NUV_PRIVATE_ROOT} "${WORK}/private-d")
# The workbook handed to the user opens no spreadsheet program: an empty
# NUV_SPREADSHEET_APP says so (set(ENV{...} "") would unset it instead).
list(PREPEND command "${CMAKE_COMMAND}" -E env NUV_SPREADSHEET_APP=)
# The programs built beside the driver (nuv-samples, nuv) are at hand for
# the script's sh lines, as they are for a user of the build.
get_filename_component(bin_folder "${DRIVER}" DIRECTORY)
set(ENV{PATH} "${bin_folder}:$ENV{PATH}")
execute_process(COMMAND ${command}
                WORKING_DIRECTORY "${WORK}"
                OUTPUT_VARIABLE actual
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)

file(WRITE "${WORK}/actual.transcript" "${actual}")
file(READ "${EXPECTED}" expected)

set(problems "")
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u "${EXPECTED}" "${WORK}/actual.transcript"
                  OUTPUT_VARIABLE difference)
  string(APPEND problems "The transcript differs from ${EXPECTED}:\n${difference}\n")
endif()
if(NOT "${status}" STREQUAL "${EXIT}")
  string(APPEND problems "nuv-drive exited with ${status}, expected ${EXIT}.\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}Standard error of nuv-drive:\n${errors}")
endif()
