# The application's own pictures, compiled in with the Qt resource system.
#
#   include(${CMAKE_SOURCE_DIR}/resources/images.cmake)
#   pinwheels_add_images(<target>)
#
# makes every picture loadable as ":/images/<name>.svg" (for example
# ":/images/Folder-icon.svg"). The target may be a static library: Qt links
# the resource object into every executable that links the library, so no
# Q_INIT_RESOURCE call is needed.

set(PINWHEELS_IMAGES_DIR "${CMAKE_CURRENT_LIST_DIR}/images")

set(PINWHEELS_IMAGE_NAMES
    # sidebar
    Folder-icon
    Kanban-icon
    list-icon
    sidebar-add
    sidebar-remove
    # checklist boxes in notes
    Checked
    Unchecked
    # card cell
    UpArrow
    DownArrow
    Calendar-icon
    flag
    flag-filled
    # link attachments in notes
    atSymbol
    Mail
    missing-file-icon
    # template chooser
    generic_template
    # toolbar
    toolbar-archive
    toolbar-clean-done
    toolbar-completed
    toolbar-checklist
    toolbar-checklist-mixed
    toolbar-style
    toolbar-tag-filter
    toolbar-appearance
    toolbar-sidebar
    # menu items that stand for part of a selection
    menu-mixed
    # application icon
    pinwheels
)

set(PINWHEELS_IMAGE_FILES "")
foreach(_pinwheels_image IN LISTS PINWHEELS_IMAGE_NAMES)
    list(APPEND PINWHEELS_IMAGE_FILES "${PINWHEELS_IMAGES_DIR}/${_pinwheels_image}.svg")
endforeach()
unset(_pinwheels_image)

function(pinwheels_add_images target)
    qt_add_resources(${target} "images"
        PREFIX "/images"
        BASE "${PINWHEELS_IMAGES_DIR}"
        FILES ${PINWHEELS_IMAGE_FILES})
endfunction()
