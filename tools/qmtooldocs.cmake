# Runs qmtool --man and --bash-completion into the files the package installs; the manual page
# is compressed as Debian keeps them (gzip -9n: no name or time stamp, the same bytes every build).
# Usage: cmake -DQMTOOL=path -DMAN=out/qmtool.1.gz -DCOMPLETION=out/qmtool -P qmtooldocs.cmake
get_filename_component(man_dir ${MAN} DIRECTORY)
get_filename_component(completion_dir ${COMPLETION} DIRECTORY)
file(MAKE_DIRECTORY ${man_dir} ${completion_dir})
string(REGEX REPLACE "\\.gz$" "" man_plain ${MAN})
foreach(step "--man;${man_plain}" "--bash-completion;${COMPLETION}")
  list(GET step 0 option)
  list(GET step 1 output)
  # Sanitizer builds run it too: leaks of a process that prints and exits are no failure.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ${QMTOOL} ${option}
                  OUTPUT_FILE ${output} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "qmtool ${option} failed: ${result}")
  endif()
endforeach()
execute_process(COMMAND gzip -9nf ${man_plain} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip of the manual page failed: ${result}")
endif()
