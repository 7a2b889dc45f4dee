# The content that ships with Pinwheels: the board templates, their
# thumbnails (drawn at build time by tools/thumbnailer) and the first-run
# tutorial. The documents themselves are generated from tools/content/source
# by tools/content/build_content.py and committed, so building needs no Python.
#
# After include(<this file>):
#   PINWHEELS_CONTENT_TEMPLATES   the template documents, absolute paths, sorted
#   PINWHEELS_CONTENT_TUTORIAL    the tutorial document, absolute path
#
#   pinwheels_add_content_resources(<target> [OUTPUT_TARGETS <variable>])
#       Compiles into <target> the Qt resource "content", which holds
#           :/Templates/<Category>/<name>.Pinwheels
#           :/Templates/<Category>/<name>.png
#           :/introduction_tutorial.Pinwheels
#       OUTPUT_TARGETS is passed on to qt_add_resources (needed only when a
#       static <target> is installed or exported).
#
#   pinwheels_add_content_tests()
#       Adds the test "content_documents_up_to_date", which fails when the
#       committed documents differ from what their sources give. Added only
#       where Python 3 is found.

set(PINWHEELS_CONTENT_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(PINWHEELS_CONTENT_TOOLS_DIR "${CMAKE_CURRENT_LIST_DIR}/../tools")
cmake_path(NORMAL_PATH PINWHEELS_CONTENT_TOOLS_DIR)

file(GLOB_RECURSE PINWHEELS_CONTENT_TEMPLATES CONFIGURE_DEPENDS
    "${PINWHEELS_CONTENT_DIR}/Templates/*.Pinwheels")
list(SORT PINWHEELS_CONTENT_TEMPLATES)
set(PINWHEELS_CONTENT_TUTORIAL "${PINWHEELS_CONTENT_DIR}/introduction_tutorial.Pinwheels")

# The functions may be called from any directory, so they read these instead
# of the directory-scoped variables above.
set_property(GLOBAL PROPERTY pinwheels_content_dir "${PINWHEELS_CONTENT_DIR}")
set_property(GLOBAL PROPERTY pinwheels_content_tools_dir "${PINWHEELS_CONTENT_TOOLS_DIR}")
set_property(GLOBAL PROPERTY pinwheels_content_templates "${PINWHEELS_CONTENT_TEMPLATES}")
set_property(GLOBAL PROPERTY pinwheels_content_tutorial "${PINWHEELS_CONTENT_TUTORIAL}")

if(NOT TARGET pinwheels-thumbnailer)
    add_subdirectory("${PINWHEELS_CONTENT_TOOLS_DIR}/thumbnailer"
        "${CMAKE_BINARY_DIR}/tools/thumbnailer")
endif()

function(pinwheels_add_content_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT_TARGETS" "")
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "pinwheels_add_content_resources: unexpected ${arg_UNPARSED_ARGUMENTS}")
    endif()
    get_property(content_dir GLOBAL PROPERTY pinwheels_content_dir)
    get_property(templates GLOBAL PROPERTY pinwheels_content_templates)
    get_property(tutorial GLOBAL PROPERTY pinwheels_content_tutorial)
    if(NOT templates)
        message(FATAL_ERROR "No templates found under ${content_dir}/Templates")
    endif()

    # Documents and thumbnails are gathered in one folder, so that one BASE
    # gives both their resource paths.
    set(staging "${CMAKE_CURRENT_BINARY_DIR}/${target}_content")
    set(files)
    foreach(document IN LISTS templates tutorial)
        file(RELATIVE_PATH relative "${content_dir}" "${document}")
        set(copy "${staging}/${relative}")
        get_filename_component(copy_dir "${copy}" DIRECTORY)
        add_custom_command(
            OUTPUT "${copy}"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${copy_dir}"
            COMMAND "${CMAKE_COMMAND}" -E copy "${document}" "${copy}"
            DEPENDS "${document}"
            VERBATIM)
        list(APPEND files "${copy}")
    endforeach()
    foreach(template IN LISTS templates)
        file(RELATIVE_PATH relative "${content_dir}" "${template}")
        string(REGEX REPLACE "\\.Pinwheels$" ".png" relative_png "${relative}")
        pinwheels_template_thumbnail("${template}" "${staging}/${relative_png}")
        list(APPEND files "${staging}/${relative_png}")
    endforeach()

    # Makes the files before anything of the target is built, wherever the
    # target was defined.
    add_custom_target(${target}_content_files DEPENDS ${files})
    add_dependencies(${target} ${target}_content_files)

    set(output_targets_option)
    if(arg_OUTPUT_TARGETS)
        set(output_targets_option OUTPUT_TARGETS content_output_targets)
    endif()
    qt_add_resources(${target} "content"
        PREFIX "/"
        BASE "${staging}"
        FILES ${files}
        ${output_targets_option})
    if(arg_OUTPUT_TARGETS)
        set(${arg_OUTPUT_TARGETS} ${content_output_targets} PARENT_SCOPE)
    endif()
endfunction()

function(pinwheels_add_content_tests)
    get_property(tools_dir GLOBAL PROPERTY pinwheels_content_tools_dir)
    find_package(Python3 COMPONENTS Interpreter QUIET)
    if(NOT Python3_Interpreter_FOUND)
        message(STATUS "Python 3 not found: the content documents are not checked")
        return()
    endif()
    add_test(NAME content_documents_up_to_date
        COMMAND "${Python3_EXECUTABLE}" "${tools_dir}/content/build_content.py" --check)
    add_test(NAME content_generator
        COMMAND "${Python3_EXECUTABLE}" -m unittest discover
            -s "${tools_dir}/content" -p "test_*.py")
    # Keeps the tests from leaving compiled files in the source tree.
    set_tests_properties(content_documents_up_to_date content_generator PROPERTIES
        TIMEOUT 60
        ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
endfunction()
