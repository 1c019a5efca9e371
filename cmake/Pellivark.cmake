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

# The headless fence. A headless library may link only what this list names and libraries
# marked headless (target property PV_HEADLESS TRUE), checked through every target it reaches
# once the whole project is read, so a link added later or through a middle library is caught.
set(PV_HEADLESS_ALLOWED_IMPORTS Qt6::Core Qt::Core)

# Headers that no headless source may reach even when an include path leads to them (Qt's root
# include folder comes with Qt Core, the devices' headers lie in /usr/include): each one of the
# fence folder stops the compilation. Qt's module headers all include their module's global
# header, so one per module fences every class of it.
set(PV_HEADLESS_POISONED_HEADERS
    QtGui/qtguiglobal.h QtWidgets/qtwidgetsglobal.h QtPrintSupport/qtprintsupportglobal.h
    QtMultimedia/qtmultimediaglobal.h
    fluidsynth.h fluidsynth/types.h
    RtMidi.h rtmidi_c.h rtmidi/RtMidi.h rtmidi/rtmidi_c.h
    aubio.h aubio/aubio.h aubio/types.h)
set(PV_HEADLESS_FENCE_DIR "${CMAKE_BINARY_DIR}/headless-fence")
foreach(header IN LISTS PV_HEADLESS_POISONED_HEADERS)
    file(CONFIGURE OUTPUT "${PV_HEADLESS_FENCE_DIR}/${header}" CONTENT
         "#error \"headless library: ${header} is widgets, gui or device code\"\n")
endforeach()

# Checks every headless library once the top folder is read (a deferred call sees links made
# after pv_add_library and targets defined later).
function(pv_check_headless_fence)
    get_property(headless GLOBAL PROPERTY PV_HEADLESS_LIBRARIES)
    list(JOIN PV_HEADLESS_ALLOWED_IMPORTS ", " allowed)
    set(rule "a headless library may link only ${allowed} and libraries marked headless")
    foreach(root IN LISTS headless)
        set(pending "${root}")
        set(chains "${root}")
        set(seen "")
        while(pending)
            list(POP_FRONT pending current)
            list(POP_FRONT chains chain)
            if(current IN_LIST seen)
                continue()
            endif()
            list(APPEND seen "${current}")
            get_target_property(type ${current} TYPE)
            get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
            if(NOT type STREQUAL "INTERFACE_LIBRARY")
                get_target_property(ownLinks ${current} LINK_LIBRARIES)
                if(ownLinks)
                    list(APPEND links ${ownLinks})
                endif()
            endif()
            foreach(dep IN LISTS links)
                # Markers of the folder a link was made in, not links.
                if(dep MATCHES "^::@" OR dep MATCHES "-NOTFOUND$")
                    continue()
                endif()
                # A static library passes its private links on as LINK_ONLY.
                if(dep MATCHES "^\\$<LINK_ONLY:([^$<>]+)>$")
                    set(dep "${CMAKE_MATCH_1}")
                endif()
                set(path "${chain} -> ${dep}")
                if(dep IN_LIST PV_HEADLESS_ALLOWED_IMPORTS)
                    continue()
                endif()
                if(NOT TARGET ${dep})
                    message(FATAL_ERROR "headless library ${root} links ${dep} (${path}), "
                                        "which is no target: ${rule}")
                endif()
                get_target_property(aliased ${dep} ALIASED_TARGET)
                if(aliased)
                    set(dep "${aliased}")
                    if(dep IN_LIST PV_HEADLESS_ALLOWED_IMPORTS)
                        continue()
                    endif()
                endif()
                get_target_property(imported ${dep} IMPORTED)
                get_target_property(depHeadless ${dep} PV_HEADLESS)
                if(imported)
                    message(FATAL_ERROR "headless library ${root} reaches the imported target "
                                        "${dep} (${path}), which is not allowed: ${rule}")
                elseif(NOT depHeadless)
                    message(FATAL_ERROR "headless library ${root} reaches ${dep} (${path}), "
                                        "which is not headless: ${rule}")
                endif()
                list(APPEND pending "${dep}")
                list(APPEND chains "${path}")
            endforeach()
        endwhile()
    endforeach()
endfunction()

get_property(pvFenceDeferred GLOBAL PROPERTY PV_HEADLESS_FENCE_DEFERRED)
if(NOT pvFenceDeferred)
    set_property(GLOBAL PROPERTY PV_HEADLESS_FENCE_DEFERRED TRUE)
    cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL pv_check_headless_fence)
endif()

# pv_add_library(NAME [HEADLESS] LINKS ...)
# Sources are the .cpp/.h files of the calling folder. A headless library may link only
# Qt Core and other headless libraries (see the fence above), and its sources cannot include
# widgets, gui or device headers.
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
        if(ARG_HEADLESS)
            # First on the path, private: the library's users are not fenced by it.
            target_include_directories(${name} BEFORE PRIVATE "${PV_HEADLESS_FENCE_DIR}")
        endif()
    else()
        # A folder whose code is still to come (or headers only).
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    endif()
    if(ARG_HEADLESS)
        set_property(TARGET ${name} PROPERTY PV_HEADLESS TRUE)
        set_property(GLOBAL APPEND PROPERTY PV_HEADLESS_LIBRARIES ${name})
    else()
        set_property(TARGET ${name} PROPERTY PV_HEADLESS FALSE)
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

# pv_open_on_first_use(TARGET PACKAGE DEFINE)
# TARGET calls PACKAGE's functions through a library it opens when they are first needed, not
# through a link: each library linked is mapped and relocated before main(), with everything
# it links in turn (aubio alone brings FFmpeg's whole tree), and the program's start-up pays
# for all of them. TARGET gets the package's headers and, as the definition DEFINE, the name
# the library is opened by at run time (its SONAME: the file the system's package installs).
function(pv_open_on_first_use target package define)
    set(imported "PkgConfig::${package}")
    get_target_property(files ${imported} INTERFACE_LINK_LIBRARIES)
    set(runtimeName "")
    foreach(file IN LISTS files)
        if(file MATCHES "\\.so$" AND EXISTS "${file}")
            execute_process(COMMAND "${CMAKE_OBJDUMP}" -p "${file}"
                            OUTPUT_VARIABLE dump RESULT_VARIABLE failed ERROR_QUIET)
            if(NOT failed AND dump MATCHES "SONAME[ \t]+([^ \t\r\n]+)")
                set(runtimeName "${CMAKE_MATCH_1}")
                break()
            endif()
        endif()
    endforeach()
    if(runtimeName STREQUAL "")
        message(FATAL_ERROR "The run-time name of ${package} (${files}) could not be read "
                            "with ${CMAKE_OBJDUMP}")
    endif()
    target_include_directories(${target} SYSTEM PRIVATE
        $<TARGET_PROPERTY:${imported},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_options(${target} PRIVATE
        $<TARGET_PROPERTY:${imported},INTERFACE_COMPILE_OPTIONS>)
    target_compile_definitions(${target} PRIVATE "${define}=\"${runtimeName}\"")
    target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
    set_property(GLOBAL APPEND PROPERTY PV_OPENED_ON_FIRST_USE "${runtimeName}")
endfunction()

# pv_install_shipped(FILE...): files the build lays out in the program folder, installed at the
# same place below the installed program folder (the binary's files beside it in the build are
# the share folder's once installed).
function(pv_install_shipped)
    foreach(file IN LISTS ARGN)
        file(RELATIVE_PATH inProgram "${PELLIVARK_PROGRAM_DIR}" "${file}")
        get_filename_component(subfolder "${inProgram}" DIRECTORY)
        install(FILES "${file}" DESTINATION "${PELLIVARK_INSTALL_SHARE_DIR}/${subfolder}")
    endforeach()
endfunction()
