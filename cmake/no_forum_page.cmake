# The tool's own page for a program built without the forum's host: one
# page for both platforms (data/no-forum-page/page.html.in), with each
# platform's way of starting the program on an address (start-linux.html,
# start-windows.html). Configured into `output` when the build is configured.
function(autolabel_no_forum_page platform output)
    set(page_dir ${PROJECT_SOURCE_DIR}/data/no-forum-page)
    set(steps ${page_dir}/start-${platform}.html)
    file(READ ${steps} AUTOLABEL_START_WITH_ADDRESS)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${steps})
    configure_file(${page_dir}/page.html.in ${output} @ONLY)
endfunction()
