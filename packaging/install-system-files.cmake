# Install-time part of the Debian layout: the desktop entry, its icon and the
# command links in /usr belong to a program installed in REJKMX_PACKAGE_ROOT. Any
# other prefix (a trial install into a home folder) leaves /usr alone.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL REJKMX_PACKAGE_ROOT)
    message(STATUS "Skipping the desktop entry and /usr/bin links: "
                   "they are installed only with the prefix ${REJKMX_PACKAGE_ROOT}")
    return()
endif()

# file(INSTALL) puts $ENV{DESTDIR} in front of these, as cpack needs.
file(INSTALL DESTINATION /usr/share/applications TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/rejkmx.desktop)
file(INSTALL DESTINATION /usr/share/icons/hicolor/scalable/apps TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/rejkmx.svg)
file(INSTALL DESTINATION /usr/bin TYPE FILE
     FILES ${REJKMX_PACKAGE_LINKS}/rejkmx ${REJKMX_PACKAGE_LINKS}/kmx685-convert)
