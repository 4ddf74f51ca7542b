# gcad_add_test(<name> SOURCES ... LIBRARIES ... [GL])
# One GoogleTest executable per area, registered test by test with CTest. A test links either
# the library (gcad, or a target built on it) or host layers (vaq_*), never both. Every test binary
# starts from tests/support/test_main.cpp: a QApplication on the offscreen platform when no
# display exists, and a private configuration folder. GL marks tests that need an EGL context
# (label "gl"); they run a second time as "fallback.<test>" (label "gl-fallback") with buffer
# objects, occlusion queries and shaders switched off, so that the paths for drivers without them
# stay tested on the same driver.
include(GoogleTest)

# The extensions the fallback run of the GL tests switches off.
set(GCAD_FALLBACK_EXTENSIONS "GL_ARB_vertex_buffer_object,GL_ARB_occlusion_query,GL_ARB_shading_language_100")

# The targets of this project that the given libraries stand for, themselves included, followed
# through the libraries they link in turn (gcad_scene links gcad).
function(gcad_linked_targets out)
    set(found "")
    set(pending ${ARGN})
    while(pending)
        list(POP_FRONT pending item)
        if(NOT TARGET ${item} OR item IN_LIST found)
            continue()
        endif()
        get_target_property(imported ${item} IMPORTED)
        if(imported)
            continue()
        endif()
        list(APPEND found ${item})
        get_target_property(links ${item} INTERFACE_LINK_LIBRARIES)
        if(links)
            list(APPEND pending ${links})
        endif()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(gcad_add_test name)
    cmake_parse_arguments(ARG "GL" "" "SOURCES;LIBRARIES" ${ARGN})
    # test_main starts the host GL layer's headless application. A test that links the library
    # finds the host layers inside it; a static host layer linked beside it would give the test
    # a second copy of the host's singletons.
    gcad_linked_targets(linked ${ARG_LIBRARIES})
    if(gcad IN_LIST linked)
        list(FILTER linked INCLUDE REGEX "^vaq_")
        if(linked)
            message(FATAL_ERROR
                "${name} links the library and the host layers ${linked}, which the library holds")
        endif()
    else()
        list(APPEND ARG_LIBRARIES vaq_gl)
    endif()
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gcad_test_support GTest::gtest)
    set(labels unit)
    if(ARG_GL)
        set(labels gl)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        DISCOVERY_TIMEOUT 60)
    if(ARG_GL)
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            TEST_PREFIX "fallback."
            PROPERTIES LABELS "gl-fallback" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                ENVIRONMENT_MODIFICATION "VAQ_GL_DISABLE_EXTENSIONS=set:${GCAD_FALLBACK_EXTENSIONS}"
            DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
