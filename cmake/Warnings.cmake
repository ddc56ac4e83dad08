# Warnings as errors on our own code only; Qt and QScintilla headers come in as system headers.
function(rejkmx_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    endif()
endfunction()
