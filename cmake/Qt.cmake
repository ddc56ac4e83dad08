# Qt PDF needs Chromium's PDF engine and does not exist for MinGW: on Windows the
# help button hands the manual to the user's PDF reader (app/ManualInReader.cpp).
if(WIN32)
    set(REJKMX_QT_PDF OFF)
else()
    set(REJKMX_QT_PDF ON)
endif()
set(rejkmx_qt_components Core Gui Widgets PrintSupport Svg)
if(REJKMX_QT_PDF)
    list(APPEND rejkmx_qt_components Pdf PdfWidgets)
endif()
# The Qt Test programs run natively; a cross build tests its .exe files from outside.
if(REJKMX_TESTS AND NOT CMAKE_CROSSCOMPILING)
    list(APPEND rejkmx_qt_components Test)
endif()
find_package(Qt6 6.4 REQUIRED COMPONENTS ${rejkmx_qt_components})
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)

# QScintilla ships no CMake package.
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h
          PATH_SUFFIXES ${CMAKE_LIBRARY_ARCHITECTURE}/qt6 qt6 REQUIRED)
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION ${QSCINTILLA_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${QSCINTILLA_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
