# Warnings as errors on the project's own code only.
function(sparrel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
