# Install-time part of the Debian layout: the desktop entry, its icon, the
# command links, the manual pages and the package's documentation in /usr belong
# to a program installed in REJKMX_PACKAGE_ROOT. Any other prefix (a trial install
# into a home folder) leaves /usr alone.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL REJKMX_PACKAGE_ROOT)
    message(STATUS "Skipping the desktop entry, /usr/bin links and manual pages: "
                   "they are installed only with the prefix ${REJKMX_PACKAGE_ROOT}")
    return()
endif()

# file(INSTALL) puts $ENV{DESTDIR} in front of these, as cpack needs.
file(INSTALL DESTINATION /usr/share/applications TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/rejkmx.desktop)
file(INSTALL DESTINATION /usr/share/icons/hicolor/scalable/apps TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/rejkmx.svg)
file(INSTALL DESTINATION /usr/bin TYPE FILE
     FILES ${REJKMX_PACKAGE_STAGED}/rejkmx ${REJKMX_PACKAGE_STAGED}/kmx685-convert)
file(INSTALL DESTINATION /usr/share/man/man1 TYPE FILE
     FILES ${REJKMX_PACKAGE_STAGED}/man1/rejkmx.1.gz ${REJKMX_PACKAGE_STAGED}/man1/kmx685-convert.1.gz)
file(INSTALL DESTINATION /usr/share/doc/rejkmx TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${REJKMX_PACKAGE_STAGED}/changelog.Debian.gz)
file(INSTALL DESTINATION /usr/share/lintian/overrides TYPE FILE
     FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides RENAME rejkmx)
