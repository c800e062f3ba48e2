# Warnings on for our own targets; call kinepo_warnings(target).
function(kinepo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
endfunction()
