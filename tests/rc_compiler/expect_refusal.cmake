# Script mode (cmake -P): runs the resource compiler on a script it must
# refuse, and fails unless it exits with an error, says EXPECT on standard
# error and leaves no table at OUT.
file(REMOVE "${OUT}")
execute_process(COMMAND "${COMPILER}" "${SCRIPT}" "${HEADER}" "${OUT}" refused_templates
                RESULT_VARIABLE status ERROR_VARIABLE said)
string(STRIP "${said}" said)
if(status EQUAL 0)
  message(FATAL_ERROR "the compiler accepted ${SCRIPT}")
endif()
if(NOT said STREQUAL EXPECT)
  message(FATAL_ERROR "the compiler said\n  ${said}\ninstead of\n  ${EXPECT}")
endif()
if(EXISTS "${OUT}")
  message(FATAL_ERROR "the compiler wrote ${OUT} for a script it refused")
endif()
