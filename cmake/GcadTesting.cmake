# gcad_add_test(<name> SOURCES ... LIBRARIES ... [GL])
# One GoogleTest executable per area, registered test by test with CTest. Every test binary
# starts from tests/support/test_main.cpp: a QApplication on the offscreen platform when no
# display exists, and a private configuration folder. GL marks tests that need an EGL context
# (label "gl").
include(GoogleTest)

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
endfunction()
