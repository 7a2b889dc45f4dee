# The built-in background pictures and their thumbnails, drawn at build time by
# tools/backgrounds and compiled in as
#     :/backgrounds/wlbackground01.jpg … wlbackground46.jpg
#     :/backgrounds/wlbackground01thumb.jpg … wlbackground46thumb.jpg
#
#   pinwheels_add_backgrounds(<target>)

set(PINWHEELS_BACKGROUND_COUNT 46)

if(NOT TARGET pinwheels-backgrounds)
    add_subdirectory("${CMAKE_CURRENT_LIST_DIR}/../tools/backgrounds"
        "${CMAKE_BINARY_DIR}/tools/backgrounds")
endif()

function(pinwheels_add_backgrounds target)
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/${target}_backgrounds")
    set(files)
    foreach(number RANGE 1 ${PINWHEELS_BACKGROUND_COUNT})
        string(LENGTH "${number}" digits)
        if(digits EQUAL 1)
            set(number "0${number}")
        endif()
        list(APPEND files "${folder}/wlbackground${number}.jpg"
                          "${folder}/wlbackground${number}thumb.jpg")
    endforeach()
    add_custom_command(
        OUTPUT ${files}
        COMMAND pinwheels-backgrounds "${folder}"
        DEPENDS pinwheels-backgrounds
        COMMENT "Drawing the background pictures"
        VERBATIM)
    add_custom_target(${target}_background_files DEPENDS ${files})
    add_dependencies(${target} ${target}_background_files)
    qt_add_resources(${target} "backgrounds"
        PREFIX "/backgrounds"
        BASE "${folder}"
        FILES ${files})
endfunction()
