# Helper functions shared by every folder: libraries, tests, warnings, sanitizers.
include(GoogleTest)

set(PV_COMMON_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wold-style-cast -Wformat=2 -Wimplicit-fallthrough)
# GCC 12 reports false "maybe uninitialized" warnings on std::optional of Qt types at -O2.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND PV_COMMON_WARNINGS -Wno-maybe-uninitialized)
endif()
# Narrowing silently corrupts records and tick arithmetic: headless code is held to more.
set(PV_HEADLESS_WARNINGS -Wconversion -Wsign-conversion)

set(PV_QT_DEFINES QT_RESTRICTED_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_FOREACH)

function(pv_apply_flags target headless)
    target_compile_options(${target} PRIVATE ${PV_COMMON_WARNINGS})
    if(headless)
        target_compile_options(${target} PRIVATE ${PV_HEADLESS_WARNINGS})
    endif()
    if(PELLIVARK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE ${PV_QT_DEFINES})
endfunction()

if(PELLIVARK_FUZZ)
    # Every library is instrumented for coverage; only the fuzz targets link the fuzzer main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(PELLIVARK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# pv_add_library(NAME [HEADLESS] LINKS ...)
# Sources are the .cpp/.h files of the calling folder. A headless library may link only
# Qt Core and other headless libraries; anything else stops the configuration.
function(pv_add_library name)
    cmake_parse_arguments(ARG "HEADLESS" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    list(FILTER sources INCLUDE REGEX "\\.(cpp|h)$")
    set(hasCpp FALSE)
    foreach(s IN LISTS sources)
        if(s MATCHES "\\.cpp$")
            set(hasCpp TRUE)
        endif()
    endforeach()
    if(hasCpp)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} PUBLIC ${ARG_LINKS})
        set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
        pv_apply_flags(${name} "${ARG_HEADLESS}")
    else()
        # A folder whose code is still to come (or headers only).
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    endif()
    if(ARG_HEADLESS)
        set_property(TARGET ${name} PROPERTY PV_HEADLESS TRUE)
    else()
        set_property(TARGET ${name} PROPERTY PV_HEADLESS FALSE)
    endif()
    if(ARG_HEADLESS)
        foreach(dep IN LISTS ARG_LINKS)
            if(dep MATCHES "^Qt6::(Gui|Widgets|PrintSupport|Multimedia)$"
               OR dep MATCHES "^PkgConfig::" OR dep MATCHES "_(ui|devices)$")
                message(FATAL_ERROR "headless library ${name} must not link ${dep}")
            endif()
            if(TARGET ${dep})
                get_target_property(depHeadless ${dep} PV_HEADLESS)
                if(NOT depHeadless AND NOT depHeadless STREQUAL "depHeadless-NOTFOUND")
                    message(FATAL_ERROR "headless library ${name} must not link ${dep}")
                endif()
            endif()
        endforeach()
    endif()
endfunction()

# pv_add_test(NAME [GUI] LINKS ...)
# One executable from the *_test.cpp files of the calling folder, with the shared test main.
function(pv_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    add_executable(${name} ${sources})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE pv_test_main_gui ${ARG_LINKS})
    else()
        target_link_libraries(${name} PRIVATE pv_test_main_core ${ARG_LINKS})
    endif()
    pv_apply_flags(${name} FALSE)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# pv_add_fuzzer(NAME SOURCE file LINKS ...): a libFuzzer target (clang, fuzz preset only).
function(pv_add_fuzzer name)
    cmake_parse_arguments(ARG "" "SOURCE" "LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCE})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_compile_definitions(${name} PRIVATE ${PV_QT_DEFINES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
endfunction()
