# Builds a GLib resource bundle into C: <output>.c and <output>.h, made by
# glib-compile-resources from the bundle's XML with its files in
# SOURCE_DIR, named C_NAME in C, and remade when any of DEPENDS changes.
find_program(AUTOLABEL_GLIB_COMPILE_RESOURCES glib-compile-resources REQUIRED)

function(autolabel_compile_resources output)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "XML;SOURCE_DIR;C_NAME" "DEPENDS")
    get_filename_component(directory ${output} DIRECTORY)
    foreach(kind source header)
        set(suffix c)
        if(kind STREQUAL header)
            set(suffix h)
        endif()
        add_custom_command(
            OUTPUT ${output}.${suffix}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
            COMMAND ${AUTOLABEL_GLIB_COMPILE_RESOURCES} --generate-${kind} --internal
                    --c-name ${arg_C_NAME} --sourcedir ${arg_SOURCE_DIR}
                    --target ${output}.${suffix} ${arg_XML}
            DEPENDS ${arg_XML} ${arg_DEPENDS}
            VERBATIM)
    endforeach()
endfunction()
