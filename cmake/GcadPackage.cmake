# Installs libVaqGCAD as a package other programs build against:
#   lib/libVaqGCAD.so.*                  the library with the host layers inside
#   include/VaqGCAD/gcad/...             the public library headers (GCAD_PUBLIC_HEADERS, an explicit
#                                        list) and every header of gcad/host (the platform the
#                                        application programs against), at their source paths
#   lib/cmake/VaqGCAD/                   find_package(VaqGCAD): the target VaqGCAD::gcad
#   lib/pkgconfig/VaqGCAD.pc             the same for pkg-config
# Everything is relocatable: cmake --install <build> --prefix <anywhere>.
include(CMakePackageConfigHelpers)

set(GCAD_INCLUDE_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/VaqGCAD)
set(GCAD_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/VaqGCAD)

# A public header may include only headers that are installed too; checked at configure time so
# that a header list that misses one fails here rather than in an application's build.
function(gcad_check_public_includes)
    set(offenders "")
    foreach(header IN LISTS GCAD_PUBLIC_HEADERS)
        set(file ${PROJECT_SOURCE_DIR}/gcad/${header})
        if(NOT EXISTS ${file})
            list(APPEND offenders "gcad/${header}: listed but missing")
            continue()
        endif()
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"gcad/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"gcad/([^\"]+)\".*" "\\1" included "${line}")
            if(NOT included MATCHES "^host/" AND NOT included IN_LIST GCAD_PUBLIC_HEADERS)
                list(APPEND offenders "gcad/${header} includes gcad/${included}, which is not public")
            endif()
        endforeach()
    endforeach()
    if(offenders)
        list(JOIN offenders "\n  " text)
        message(FATAL_ERROR "public headers (GCAD_PUBLIC_HEADERS in gcad/CMakeLists.txt):\n  ${text}")
    endif()
endfunction()

# The find_package components and pkg-config modules of the library's dependencies
# (GCAD_DEPENDENCIES: Qt6::<module> and OpenGL::<component>).
function(gcad_dependency_names qt_out gl_out pc_out)
    set(qt "")
    set(gl "")
    set(pc "")
    foreach(dependency IN LISTS GCAD_DEPENDENCIES)
        if(dependency MATCHES "^Qt6::(.+)$")
            list(APPEND qt ${CMAKE_MATCH_1})
            list(APPEND pc Qt6${CMAKE_MATCH_1})
        elseif(dependency MATCHES "^OpenGL::(OpenGL|EGL|GLX)$")
            list(APPEND gl ${CMAKE_MATCH_1})
            string(TOLOWER ${CMAKE_MATCH_1} module)
            list(APPEND pc ${module})
        else()
            message(FATAL_ERROR "the installed package does not know how to find ${dependency}")
        endif()
    endforeach()
    list(JOIN qt " " qt)
    list(JOIN gl " " gl)
    list(JOIN pc " " pc)
    set(${qt_out} "${qt}" PARENT_SCOPE)
    set(${gl_out} "${gl}" PARENT_SCOPE)
    set(${pc_out} "${pc}" PARENT_SCOPE)
endfunction()

function(gcad_install_package)
    gcad_check_public_includes()

    install(TARGETS gcad EXPORT VaqGCADTargets)
    foreach(header IN LISTS GCAD_PUBLIC_HEADERS)
        get_filename_component(folder ${header} DIRECTORY)
        install(FILES ${PROJECT_SOURCE_DIR}/gcad/${header}
            DESTINATION ${GCAD_INCLUDE_DESTINATION}/gcad/${folder})
    endforeach()
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/gcad/host/ DESTINATION ${GCAD_INCLUDE_DESTINATION}/gcad/host
        FILES_MATCHING PATTERN "*.h")

    gcad_dependency_names(GCAD_QT_COMPONENTS GCAD_GL_COMPONENTS GCAD_PC_REQUIRES)
    install(EXPORT VaqGCADTargets NAMESPACE VaqGCAD:: DESTINATION ${GCAD_CMAKE_DESTINATION})
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VaqGCADConfig.cmake.in
        ${PROJECT_BINARY_DIR}/VaqGCADConfig.cmake INSTALL_DESTINATION ${GCAD_CMAKE_DESTINATION})
    # Versions before 1.0 are compatible within a minor version only, as the SONAME says.
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/VaqGCADConfigVersion.cmake
        COMPATIBILITY SameMinorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/VaqGCADConfig.cmake ${PROJECT_BINARY_DIR}/VaqGCADConfigVersion.cmake
        DESTINATION ${GCAD_CMAKE_DESTINATION})

    # pkg-config finds the prefix from where the file lies, so the staged install works too.
    file(RELATIVE_PATH GCAD_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
    string(REGEX REPLACE "/$" "" GCAD_PC_TO_PREFIX ${GCAD_PC_TO_PREFIX})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/VaqGCAD.pc.in ${PROJECT_BINARY_DIR}/VaqGCAD.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/VaqGCAD.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
