# Warnings on our own code; Qt and QScintilla headers come in as system headers.
# Whether they are errors is the builder's choice: the ci preset turns on
# CMAKE_COMPILE_WARNING_AS_ERROR, a packager's Release build never fails on a
# new compiler's new warning.
function(rejkmx_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra)
    endif()
endfunction()
