# Runs lupdate over the sources into a copy of the translation file and fails when a text of the
# program has no finished Russian translation (it would show in English in the Russian
# interface), or when the file holds a text the program no longer has.
#   cmake -DLUPDATE=... -DSOURCE_DIR=... -DTS_FILE=... -DWORK_DIR=... -P CheckTranslations.cmake
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(name "${TS_FILE}" NAME)
set(copy "${WORK_DIR}/${name}")
configure_file("${TS_FILE}" "${copy}" COPYONLY)
execute_process(
    COMMAND "${LUPDATE}" -locations none "${SOURCE_DIR}/src" -ts "${copy}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed:\n${output}${errors}")
endif()
file(READ "${copy}" ts)
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*<translation type=\"unfinished\"" unfinished "${ts}")
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*<translation type=\"(vanished|obsolete)\"" stale "${ts}")
set(problems "")
foreach(entry IN LISTS unfinished)
    string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" text "${entry}")
    string(APPEND problems "  no Russian text: ${text}\n")
endforeach()
foreach(entry IN LISTS stale)
    string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" text "${entry}")
    string(APPEND problems "  no longer in the program: ${text}\n")
endforeach()
if(problems)
    message(FATAL_ERROR "${TS_FILE} does not match the program's texts "
                        "(run the update_translations target, then translate):\n${problems}")
endif()
message(STATUS "${output}")
