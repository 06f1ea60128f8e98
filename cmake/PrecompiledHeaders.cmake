# Precompiled headers: the Qt and C++ library headers that most files include are parsed once per
# build instead of once in every file, which was most of each file's compile time.
#
# One target, tervane_pch, compiles them; every other target of the project reuses its result.
# GCC takes a precompiled header only where the definitions made when it was built are made
# again, so tervane_pch is built with QtCore's alone (every target has them) and with the widget
# headers found through their include folders, not their definitions: no Qt header looks at
# QT_GUI_LIB, QT_WIDGETS_LIB or the test library's definitions, so the one header serves the
# widget-free libraries, the GUI and the tests alike. Were GCC to turn it down for a target, it
# would say why (CMake adds -Winvalid-pch), and that target would not find the widget headers.
#
# Only GCC builds precompile: clang refuses a precompiled header whose definitions differ at all,
# and the fuzz build (clang) precompiling nothing keeps every file compiling from its own includes.
option(TERVANE_PCH "Precompile the common Qt and C++ library headers (GCC)" ON)

function(tervane_collect_targets dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        tervane_collect_targets(${subdir} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Whether target builds against Qt, through its own libraries or theirs. Only those targets have
# the definitions (and the position-independent code) the precompiled header was built with; the
# others, such as the plain C++ of tervane_keys, include what they include.
function(tervane_uses_qt target out)
    set(${out} OFF PARENT_SCOPE)
    get_target_property(own ${target} LINK_LIBRARIES)
    get_target_property(passed_on ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS own passed_on)
        if(library MATCHES "^Qt6::")
            set(${out} ON PARENT_SCOPE)
            return()
        elseif(TARGET ${library})
            tervane_uses_qt(${library} through)
            if(through)
                set(${out} ON PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()

function(tervane_precompile_headers)
    if(NOT TERVANE_PCH OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        return()
    endif()
    add_library(tervane_pch OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/PrecompiledHeaders.cpp)
    target_link_libraries(tervane_pch PRIVATE Qt6::Core)
    target_include_directories(tervane_pch SYSTEM PRIVATE
        $<TARGET_PROPERTY:Qt6::Gui,INTERFACE_INCLUDE_DIRECTORIES>
        $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
    target_precompile_headers(tervane_pch PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch/PrecompiledHeaders.h)

    tervane_collect_targets(${PROJECT_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(target STREQUAL "tervane_pch" OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|OBJECT_LIBRARY)$")
            continue()
        endif()
        tervane_uses_qt(${target} uses)
        if(NOT uses)
            continue()
        endif()
        target_precompile_headers(${target} REUSE_FROM tervane_pch)
        # A program's AUTOMOC unit is mostly empty (a test includes its own moc output), and
        # loading the precompiled header would be all of its cost: some two seconds each.
        if(type STREQUAL "EXECUTABLE")
            get_target_property(binary_dir ${target} BINARY_DIR)
            set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
                                        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endfunction()
