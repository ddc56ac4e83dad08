# One module, one include path: rejkmx_module(target PREFIX common HEADERS a.h b.h)
# makes "common/a.h" includable by the target and by whatever links it, and by
# nothing else. Each header gets a one-line forwarder in a folder of the target's
# own, so a target cannot include a module it does not depend on.
function(rejkmx_module target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX" "HEADERS")
    get_target_property(type ${target} TYPE)
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    set(root ${CMAKE_BINARY_DIR}/modules/${target})
    foreach(header IN LISTS arg_HEADERS)
        set(real ${CMAKE_CURRENT_SOURCE_DIR}/${header})
        if(NOT EXISTS ${real})
            message(FATAL_ERROR "${target}: header ${header} does not exist")
        endif()
        # Written only when the text changes, so a re-configure rebuilds nothing.
        file(CONFIGURE OUTPUT ${root}/${arg_PREFIX}/${header}
             CONTENT "#pragma once\n#include \"${real}\"\n")
        target_sources(${target} PRIVATE ${real})
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()
