# Precompiled headers: the standard, Qt and GoogleTest headers most files
# include, compiled once per kind of target and used by every target of that
# kind: model code (Qt Core), windows (Qt Widgets), and test code (Qt Widgets
# and GoogleTest, compiled without optimisation as the test code is).
set(quorel_pch_core
    <algorithm> <array> <chrono> <cstdint> <functional> <map> <memory> <optional>
    <string> <vector> <QList> <QObject> <QString> <QTimer>)
set(quorel_pch_widgets ${quorel_pch_core}
    <QAbstractButton> <QApplication> <QCheckBox> <QColor> <QComboBox> <QGridLayout>
    <QGroupBox> <QHBoxLayout> <QLabel> <QLineEdit> <QMainWindow> <QPushButton>
    <QRadioButton> <QTabWidget> <QVBoxLayout> <QVariant> <QWidget>)

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # ccache caches what uses a clang precompiled header only when the header
    # holds no time stamps.
    list(APPEND CMAKE_CXX_COMPILE_OPTIONS_CREATE_PCH -Xclang -fno-pch-timestamp)
endif()

file(WRITE ${CMAKE_BINARY_DIR}/quorel_pch.cpp "// the precompiled headers only\n")
function(quorel_pch_provider name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "HEADERS;LIBRARIES")
    add_library(${name} OBJECT ${CMAKE_BINARY_DIR}/quorel_pch.cpp)
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
    target_precompile_headers(${name} PRIVATE ${arg_HEADERS})
    set_property(TARGET ${name} PROPERTY AUTOMOC OFF)
endfunction()
quorel_pch_provider(quorel_pch_core HEADERS ${quorel_pch_core} LIBRARIES Qt6::Core)
quorel_pch_provider(quorel_pch_widgets HEADERS ${quorel_pch_widgets} LIBRARIES Qt6::Widgets)
quorel_pch_provider(quorel_pch_tests HEADERS ${quorel_pch_widgets} <gtest/gtest.h>
    LIBRARIES Qt6::Widgets GTest::gtest)
quorel_test_code(quorel_pch_tests)

# Whether a target uses a library, directly or through the project's own.
function(quorel_uses target library out)
    set(found FALSE)
    get_target_property(direct ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(item IN LISTS direct interface)
        if(item STREQUAL library)
            set(found TRUE)
        elseif(TARGET ${item} AND NOT item MATCHES "::")
            quorel_uses(${item} ${library} item_found)
            if(item_found)
                set(found TRUE)
            endif()
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(quorel_targets_of directory out)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        quorel_targets_of(${subdirectory} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

quorel_targets_of(${PROJECT_SOURCE_DIR} targets)
foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR target STREQUAL "bare_window")
        continue()
    endif()
    get_target_property(test_code ${target} QUOREL_TEST_CODE)
    quorel_uses(${target} Qt6::Widgets widgets)
    quorel_uses(${target} GTest::gtest gtest)
    if(test_code AND widgets AND gtest)
        target_precompile_headers(${target} REUSE_FROM quorel_pch_tests)
    elseif(test_code)
        continue() # the end-to-end helper: one small file
    elseif(widgets)
        target_precompile_headers(${target} REUSE_FROM quorel_pch_widgets)
    else()
        target_precompile_headers(${target} REUSE_FROM quorel_pch_core)
    endif()
    target_compile_options(${target} PRIVATE -Winvalid-pch)
endforeach()
