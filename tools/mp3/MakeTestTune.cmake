# Writes the stand-in music file unless one is already there: the real music, once
# generated, must never be overwritten by the test tune.
# Inputs: MAKETUNE (the tool), OUT (the file), SECONDS.
if(EXISTS "${OUT}")
  return()
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
execute_process(COMMAND "${MAKETUNE}" "${OUT}" "${SECONDS}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "maketune failed (${rc}) writing ${OUT}")
endif()
