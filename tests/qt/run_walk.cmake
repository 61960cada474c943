# Script mode (cmake -P), for the screenshot walk tests: makes the sample
# images with nuv-samples in a fresh folder, runs nuvhost's walk there on the
# offscreen platform, and checks that it found no problem and pictured the
# windows expected. Inputs: HOST, PLUGIN, SAMPLER, WORK, EXPECT ('|'-separated
# picture names without ".png").

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${SAMPLER}" "${WORK}/samples" RESULT_VARIABLE status
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nuv-samples failed (${status}):\n${errors}")
endif()

set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{NUV_PRIVATE_ROOT} "${WORK}/private-d")
execute_process(COMMAND "${HOST}" --plugin "${PLUGIN}" --screenshots "${WORK}/shots"
                        --samples "${WORK}/samples"
                WORKING_DIRECTORY "${WORK}"
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors
                RESULT_VARIABLE status
                TIMEOUT 100)
message("${output}")
set(problems "")
if(NOT status EQUAL 0)
  string(APPEND problems "nuvhost --screenshots exited with ${status}.\n${errors}\n")
endif()
string(REPLACE "|" ";" expected "${EXPECT}")
foreach(name ${expected})
  if(NOT EXISTS "${WORK}/shots/${name}.png")
    string(APPEND problems "No picture ${name}.png was taken.\n")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
