# Run by CPack after it has installed (and stripped) the programs into its staging directory and
# before it packs them: removes the compiler identification strings (.comment), as dh_strip does for
# Debian's own packages.
file(GLOB_RECURSE programs LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*" "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/libexec/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_LUMAFEX_OBJCOPY}" --remove-section=.comment "${program}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove .comment from ${program}")
  endif()
endforeach()
