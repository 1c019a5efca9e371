# Configures (and for some cases builds) the fence project for one case and checks the outcome.
# -DFENCE_CASE= -DSOURCE_DIR= -DBINARY_DIR= -DGENERATOR= -DCXX= -DQT_DIR=
# -DCOMPILER_INFO=  the build's own compiler findings, so the project need not find them again
# -DEXPECT=configure-refused|build-refused|builds  -DMESSAGES=a|b|...  (each must appear)
# -DREFUSED_SOURCES=x.cpp|...  (build-refused: each of these fails on a fence header)
# -DBUILT_SOURCES=y.cpp|...    (build-refused: each of these still compiles)
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" messages "${MESSAGES}")
string(REPLACE "|" ";" refusedSources "${REFUSED_SOURCES}")
string(REPLACE "|" ";" builtSources "${BUILT_SOURCES}")

function(fail what output)
    message(FATAL_ERROR "${FENCE_CASE}: ${what}\n---- output ----\n${output}")
endfunction()

# CMake wraps long messages: compare with runs of white space made one space.
function(expect_messages output)
    string(REGEX REPLACE "[ \t\r\n]+" " " flat "${output}")
    foreach(m IN LISTS messages)
        string(FIND "${flat}" "${m}" at)
        if(at EQUAL -1)
            fail("the output does not say \"${m}\"" "${output}")
        endif()
    endforeach()
endfunction()

file(REMOVE_RECURSE "${BINARY_DIR}")
if(IS_DIRECTORY "${COMPILER_INFO}")
    file(COPY "${COMPILER_INFO}" DESTINATION "${BINARY_DIR}/CMakeFiles")
endif()
execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${BINARY_DIR}" -G "${GENERATOR}"
            "-DCMAKE_CXX_COMPILER=${CXX}" "-DQt6_DIR=${QT_DIR}" "-DFENCE_CASE=${FENCE_CASE}"
    RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE out)

if(EXPECT STREQUAL "configure-refused")
    if(configured EQUAL 0)
        fail("the configuration was expected to be refused" "${out}")
    endif()
    expect_messages("${out}")
    return()
endif()
if(NOT configured EQUAL 0)
    fail("the configuration failed" "${out}")
endif()

set(keepGoing "")
if(GENERATOR STREQUAL "Ninja")
    set(keepGoing -- -k 0)
endif()
# The refused case builds only the library under test.
set(target "")
if(EXPECT STREQUAL "build-refused")
    set(target --target fence_user)
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BINARY_DIR}" ${target} ${keepGoing}
                RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE out)

if(EXPECT STREQUAL "builds")
    if(NOT built EQUAL 0)
        fail("the build failed" "${out}")
    endif()
    return()
endif()

if(built EQUAL 0)
    fail("the build was expected to be refused" "${out}")
endif()
expect_messages("${out}")
# The compiler's report of each refused file, from its own FAILED line to the next one.
foreach(source IN LISTS refusedSources)
    string(FIND "${out}" "FAILED: reach/CMakeFiles/fence_user.dir/${source}.o" at)
    if(at EQUAL -1)
        fail("${source} did not fail" "${out}")
    endif()
    string(SUBSTRING "${out}" ${at} -1 rest)
    string(SUBSTRING "${rest}" 8 -1 rest)
    string(FIND "${rest}" "FAILED:" next)
    string(SUBSTRING "${rest}" 0 ${next} report)
    string(FIND "${report}" "#error \"headless library:" fenced)
    if(fenced EQUAL -1)
        fail("${source} failed, but not on a fence header" "${out}")
    endif()
endforeach()
foreach(source IN LISTS builtSources)
    file(GLOB_RECURSE objects "${BINARY_DIR}/*/${source}.o")
    if(NOT objects)
        fail("${source} did not compile" "${out}")
    endif()
endforeach()
