# Puts the two empty roster stores into the run directory. A store that exists is
# never touched, so the teacher's records survive every rebuild; a half store (only
# its data file, or only its auxiliary file) is left alone and reported.
# Called with -DTOOL=<quillroll-store> -DRUN_DIR=<run directory>.
foreach(store xsdate deldate)
  set(data "${RUN_DIR}/${store}.edb")
  set(aux "${RUN_DIR}/${store}.EDT")
  if(EXISTS "${data}" AND EXISTS "${aux}")
    continue()
  endif()
  if(EXISTS "${data}" OR EXISTS "${aux}")
    message(WARNING "${store}: only one of ${store}.edb and ${store}.EDT is in ${RUN_DIR}; "
                    "left as it is (remove it to get a new empty store)")
    continue()
  endif()
  execute_process(COMMAND "${TOOL}" create-roster "${data}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not create ${data}")
  endif()
  message(STATUS "created the empty store ${data}")
endforeach()
