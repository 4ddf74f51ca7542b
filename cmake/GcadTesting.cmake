# gcad_add_test(<name> SOURCES ... LIBRARIES ... [GL])
# One GoogleTest executable per area, registered test by test with CTest. Every test binary
# starts from tests/support/test_main.cpp: a QApplication on the offscreen platform when no
# display exists, and a private configuration folder. GL marks tests that need an EGL context
# (label "gl"); they run a second time as "fallback.<test>" (label "gl-fallback") with buffer
# objects and occlusion queries switched off, so that the paths for drivers without them stay
# tested on the same driver.
include(GoogleTest)

# The extensions the fallback run of the GL tests switches off.
set(GCAD_FALLBACK_EXTENSIONS "GL_ARB_vertex_buffer_object,GL_ARB_occlusion_query")

function(gcad_add_test name)
    cmake_parse_arguments(ARG "GL" "" "SOURCES;LIBRARIES" ${ARGN})
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
