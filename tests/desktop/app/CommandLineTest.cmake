# `lumafex --help` and `--version` print and exit before any window system is touched: they run with
# the X11 platform asked for and no display, where making a window would abort the program. A wrong
# option is refused with a message.
# Run by ctest as: cmake -DPROGRAM=<lumafex> -DVERSION=<x.y.z> -DWORK=<dir> -P CommandLineTest.cmake

set(no_display --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
set(private XDG_CONFIG_HOME=${WORK}/config XDG_DATA_HOME=${WORK}/data XDG_CACHE_HOME=${WORK}/cache
            LUMAFEX_HOME=${WORK}/app HOME=${WORK})

# run(NAME STATUS <code> ARGS <words> [ENV <k=v>...] [OUT <exact output>] [CONTAINS <texts>]
#     [ERROR_CONTAINS <texts>])
function(run name)
  cmake_parse_arguments(c "" "STATUS;OUT" "ARGS;ENV;CONTAINS;ERROR_CONTAINS" ${ARGN})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${private} ${c_ENV} ${PROGRAM} ${c_ARGS}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL c_STATUS)
    message(SEND_ERROR "${name}: exit status '${status}', expected ${c_STATUS}\n${out}${err}")
    return()
  endif()
  if(DEFINED c_OUT AND NOT out STREQUAL c_OUT)
    message(SEND_ERROR "${name}: printed '${out}', expected '${c_OUT}'")
  endif()
  foreach(text IN LISTS c_CONTAINS)
    string(FIND "${out}" "${text}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${name}: the output lacks '${text}':\n${out}")
    endif()
  endforeach()
  foreach(text IN LISTS c_ERROR_CONTAINS)
    string(FIND "${err}" "${text}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${name}: the error output lacks '${text}':\n${err}")
    endif()
  endforeach()
endfunction()

set(help_lines "Usage:" "[PROJECT.hs]" "--help" "--version" "LUMAFEX_HOME" "LUMAFEX_UPDATE_URL")

run("--version" STATUS 0 ARGS --version ENV ${no_display} OUT "Lumafex ${VERSION}\n")
run("-v" STATUS 0 ARGS -v ENV ${no_display} OUT "Lumafex ${VERSION}\n")
run("--help" STATUS 0 ARGS --help ENV ${no_display} CONTAINS ${help_lines})
run("-h with a project" STATUS 0 ARGS some.hs -h ENV ${no_display} CONTAINS ${help_lines})
run("--help-all" STATUS 0 ARGS --help-all ENV ${no_display} CONTAINS "--help-all" "--platform" "[PROJECT.hs]")
run("unknown option" STATUS 1 ARGS --no-such-option ENV QT_QPA_PLATFORM=offscreen
    ERROR_CONTAINS "no-such-option")
