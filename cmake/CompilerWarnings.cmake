# Warnings are on for every target of the project; CI turns them into errors.
option(ORVACCT_WERROR "Treat compiler warnings as errors" OFF)

function(orvacct_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ORVACCT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
