# The Debian package: `cpack -G DEB` in a build folder makes rejkmx_<version>_<arch>.deb.
#
# The program looks for kavero.ini and RejKMX.pdf beside its own executable, so
# the program, the converter and the manual share one folder of their own,
# /opt/rejkmx/bin, where an administrator can also put kavero.ini. Commands on the
# PATH are symlinks into that folder: the executable's folder comes from
# /proc/self/exe, which names the link's target, not the link. The files Debian
# expects in /usr (manual pages, copyright, changelog, lintian overrides) come
# from packaging/ and are staged here, compressed as Debian wants them.
if(WIN32 OR (DEFINED REJKMX_GUI AND NOT REJKMX_GUI))
    return()
endif()

set(rejkmx_package_root /opt/rejkmx)
set(rejkmx_packaging_dir ${CMAKE_CURRENT_LIST_DIR}/../packaging)

set(rejkmx_staged_dir ${CMAKE_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${rejkmx_staged_dir}/man1)
# Links between top-level folders are absolute, as Debian wants them.
file(CREATE_LINK ${rejkmx_package_root}/bin/RejKMX ${rejkmx_staged_dir}/rejkmx SYMBOLIC)
file(CREATE_LINK ${rejkmx_package_root}/bin/kmx685-convert ${rejkmx_staged_dir}/kmx685-convert
     SYMBOLIC)

# gzip -9n: the smallest file, and no name or time stamp, so builds repeat byte for byte.
function(rejkmx_gzip source target)
    execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${source} failed")
    endif()
endfunction()

foreach(page kmx685-convert rejkmx)
    configure_file(${rejkmx_packaging_dir}/man/${page}.1.in ${rejkmx_staged_dir}/${page}.1 @ONLY)
    rejkmx_gzip(${rejkmx_staged_dir}/${page}.1 ${rejkmx_staged_dir}/man1/${page}.1.gz)
endforeach()

set(rejkmx_deb_release 1)
set(rejkmx_deb_version ${PROJECT_VERSION}-${rejkmx_deb_release})
# The changelog's newest entry must name the version being packaged.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rejkmx_packaging_dir}/changelog)
file(STRINGS ${rejkmx_packaging_dir}/changelog rejkmx_changelog_top LIMIT_COUNT 1)
if(NOT rejkmx_changelog_top MATCHES "^rejkmx \\(${rejkmx_deb_version}\\) ")
    message(FATAL_ERROR "packaging/changelog does not begin with an entry for ${rejkmx_deb_version}")
endif()
rejkmx_gzip(${rejkmx_packaging_dir}/changelog ${rejkmx_staged_dir}/changelog.Debian.gz)

# The desktop entry, its icon, the links and the documentation go to /usr only
# for the package's prefix, decided at install time.
install(CODE "set(REJKMX_PACKAGE_ROOT \"${rejkmx_package_root}\")
set(REJKMX_PACKAGE_STAGED \"${rejkmx_staged_dir}\")")
install(SCRIPT ${rejkmx_packaging_dir}/install-system-files.cmake)

set(REJKMX_PACKAGE_MAINTAINER "RejKMX developers <rejkmx@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rejkmx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KAVERO")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "KMX 685 recorder file converter for the KAVERO survey suite")
set(CPACK_PACKAGE_CONTACT ${REJKMX_PACKAGE_MAINTAINER})
# The /usr files sit outside the prefix: cpack stages through DESTDIR to hold them.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${rejkmx_package_root})
set(CPACK_PACKAGING_INSTALL_PREFIX ${rejkmx_package_root})
# Debug information stays in the build; users get the lean binaries.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${rejkmx_deb_release})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${REJKMX_PACKAGE_MAINTAINER})
# The summary above becomes the first line of the description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Converts the comma-separated files written by a KMX 685 field data recorder
into the observation file OBSBIEG in the suite's working directory, shows and
edits the suite's result files (Windows-1250 text) and shows its Polish manual.
The working directory is read from kavero.ini in /opt/rejkmx/bin.
The command-line converter kmx685-convert does the same conversion in scripts.")
# Libraries come from dpkg-shlibdeps; these are loaded at run time by name:
# Polish texts of Qt's standard dialogs and the fonts that stand in for the
# Windows fonts the windows were drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")

# `package_source` would otherwise pack every build folder of the tree.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/" "/out/" "/fuzz/corpus-" "/fuzz/artifacts/")

include(CPack)
