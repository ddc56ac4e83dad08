# GoogleTest for a cross build: the build machine's libgtest cannot link into a
# Windows program, so the sources of Debian's googletest package are compiled
# with the cross compiler. Provides the same GTest::gtest and GTest::gtest_main
# targets as find_package(GTest).
set(REJKMX_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources for cross builds (Debian package googletest)")

if(NOT TARGET GTest::gtest_main)
    if(NOT EXISTS ${REJKMX_GTEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest sources not found in ${REJKMX_GTEST_SOURCE_DIR}; "
                            "install the googletest package or set REJKMX_GTEST_SOURCE_DIR.")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${REJKMX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main) # GoogleTest 1.11 and later make the aliases themselves
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
