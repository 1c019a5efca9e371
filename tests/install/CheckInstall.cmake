# Installs the build into a temporary prefix and checks it as a desktop would see it, then
# starts the installed program as a new user would (a fresh home folder, no data folder named)
# with the start check (PELLIVARK_CHECK_START), which reports the folders the program chose.
cmake_minimum_required(VERSION 3.25)

set(failures "")
macro(fail text)
    string(APPEND failures "\n  ${text}")
endmacro()

function(files_below folder out)
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*")
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(prefix "${WORK_DIR}/prefix")
set(home "${WORK_DIR}/home")
set(report "${WORK_DIR}/report")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE installed OUTPUT_VARIABLE installLog ERROR_VARIABLE installLog)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${installed}):\n${installLog}")
endif()

# The layout: the binary, every file of the build's program folder in the share folder (the
# user's data excepted), the desktop entry, the icon and the metadata.
set(binary "${prefix}/${BINDIR}/${PROGRAM_NAME}")
set(share "${prefix}/${SHARE_DIR}")
set(desktopFile "${prefix}/${DATADIR}/applications/${APP_ID}.desktop")
set(metainfoFile "${prefix}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
set(iconRoot "${prefix}/${DATADIR}/icons/hicolor")
foreach(file IN ITEMS "${binary}" "${desktopFile}" "${metainfoFile}"
                      "${iconRoot}/scalable/apps/${APP_ID}.svg"
                      "${iconRoot}/48x48/apps/${APP_ID}.png")
    if(NOT EXISTS "${file}")
        fail("not installed: ${file}")
    endif()
endforeach()
files_below("${PROGRAM_DIR}" built)
list(FILTER built EXCLUDE REGEX "^Data/")
list(REMOVE_ITEM built "${PROGRAM_NAME}")
files_below("${share}" shipped)
foreach(file IN LISTS built)
    if(NOT file IN_LIST shipped)
        fail("the build's program folder holds ${file}, which the install leaves out of ${share}")
    endif()
endforeach()
foreach(file IN ITEMS Language/English.LAN Language/English.HLP Default_level.qib)
    if(NOT file IN_LIST shipped)
        fail("the installed program folder lacks ${file}")
    endif()
endforeach()

# The validators the desktops' tools use.
find_program(desktopValidator desktop-file-validate)
find_program(appstreamValidator appstreamcli)
if(NOT desktopValidator OR NOT appstreamValidator)
    message(FATAL_ERROR "desktop-file-validate or appstreamcli is missing (scripts/deps "
                        "installs desktop-file-utils and appstream)")
endif()
if(EXISTS "${desktopFile}")
    execute_process(COMMAND "${desktopValidator}" "${desktopFile}"
                    RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT valid EQUAL 0 OR NOT said STREQUAL "")
        fail("desktop-file-validate (${valid}):\n${said}")
    endif()
    # What the entry names must be what the install laid out.
    file(STRINGS "${desktopFile}" execLine REGEX "^Exec=")
    file(STRINGS "${desktopFile}" iconLine REGEX "^Icon=")
    string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" execName "${execLine}")
    if(NOT execName STREQUAL PROGRAM_NAME)
        fail("the desktop entry starts '${execName}', the install has ${PROGRAM_NAME}")
    endif()
    if(NOT iconLine STREQUAL "Icon=${APP_ID}")
        fail("the desktop entry names the icon '${iconLine}', the install has ${APP_ID}")
    endif()
endif()
if(EXISTS "${metainfoFile}")
    # No network: the addresses it names are not fetched.
    execute_process(COMMAND "${appstreamValidator}" validate --no-net "${metainfoFile}"
                    RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT valid EQUAL 0)
        fail("appstreamcli validate (${valid}):\n${said}")
    endif()
    file(READ "${metainfoFile}" metainfo)
    if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${APP_ID}\\.desktop</launchable>")
        fail("the AppStream metadata does not launch ${APP_ID}.desktop")
    endif()
endif()

# The installed program's first start by a new user, on an X server of its own. The prefix
# stays writable (as a prefix in the home folder or an install by root would be): the data must
# still go to the user's own data folder.
files_below("${prefix}" beforeStart)
set(runtime "${home}/runtime")
file(MAKE_DIRECTORY "${home}" "${runtime}")
file(CHMOD "${runtime}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=PELLIVARK_DATA --unset=XDG_DATA_DIRS
            "HOME=${home}" "XDG_DATA_HOME=${home}/.local/share" "XDG_CONFIG_HOME=${home}/.config"
            "XDG_CACHE_HOME=${home}/.cache" "XDG_STATE_HOME=${home}/.local/state"
            "XDG_RUNTIME_DIR=${runtime}" "QT_QPA_PLATFORM=xcb"
            "DBUS_SESSION_BUS_ADDRESS=disabled:"
            "PELLIVARK_CHECK_START=${report}"
            "${XVFB_RUN}" -a -s "-screen 0 1280x1024x24" "${binary}"
    WORKING_DIRECTORY "${WORK_DIR}"
    TIMEOUT 120
    # To a file, not a pipe: a helper the desktop libraries start in the background (a session
    # bus or sound server launched on demand) may keep a pipe open long after the program ended.
    RESULT_VARIABLE started OUTPUT_FILE "${WORK_DIR}/start.log" ERROR_FILE "${WORK_DIR}/start.log")
file(READ "${WORK_DIR}/start.log" startLog)
if(NOT started EQUAL 0)
    fail("the installed program ended with ${started}:\n${startLog}")
endif()
if(EXISTS "${report}/start-menu.png")
    file(COPY "${report}/start-menu.png" DESTINATION "${OUTPUT_DIR}")
endif()
set(dataFolder "${home}/.local/share/Orvanta/Pellivark/Data/")
if(NOT EXISTS "${report}/start-check.txt")
    fail("the installed program did not reach its start menu:\n${startLog}")
else()
    file(READ "${report}/start-check.txt" chosen)
    if(NOT chosen STREQUAL "program folder: ${share}/\ndata folder: ${dataFolder}\n")
        fail("the installed program chose other folders:\n${chosen}expected ${share}/ and "
             "${dataFolder}")
    endif()
endif()
foreach(file IN ITEMS User.dat Setting.dat)
    if(NOT EXISTS "${dataFolder}${file}")
        fail("the first start left no ${file} in the user's data folder ${dataFolder}")
    endif()
endforeach()
files_below("${prefix}" afterStart)
if(NOT afterStart STREQUAL beforeStart)
    list(REMOVE_ITEM afterStart ${beforeStart})
    fail("the installed program wrote into its installation: ${afterStart}")
endif()

if(failures)
    message(FATAL_ERROR "The installed program is not as a desktop needs it:${failures}")
endif()
message(STATUS "Installed in ${prefix}, validated and started; its start menu is pictured in "
               "${OUTPUT_DIR}/start-menu.png")
