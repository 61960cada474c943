# cmake -DPROGRAM=nuv -DOUT=nuv.1 -P write_manual_page.cmake
# Writes what `nuv --man` prints to OUT; a failing nuv leaves no page
# behind, so the build stops instead of installing half a page.
get_filename_component(folder "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${PROGRAM}" --man OUTPUT_FILE "${OUT}.new" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUT}.new")
  message(FATAL_ERROR "${PROGRAM} --man failed: ${status}")
endif()
file(RENAME "${OUT}.new" "${OUT}")
