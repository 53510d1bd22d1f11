# What `cpack` makes of an installed build: on Linux a Debian package, on
# Windows a zip with the program and a short text for its user.
set(CPACK_PACKAGE_NAME autolabel)
set(CPACK_PACKAGE_VENDOR "${AUTOLABEL_VENDOR}")
set(CPACK_PACKAGE_CONTACT "autolabel developers <autolabel@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "labeling helper for a forum's moderation page")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "autolabel-${PROJECT_VERSION}-win64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    # The zip is the program: no archive of the sources or the tests.
    set(CPACK_SOURCE_GENERATOR "")
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # autolabel_<version>_amd64.deb
    set(CPACK_DEBIAN_PACKAGE_SECTION web)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The libraries the program and its page process's module link to
    # (WebKitGTK, GTK) become the package's dependencies.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "One window shows the forum's moderation page in an embedded browser.\n"
        "Its buttons tick the page's radio buttons, press the page's submit\n"
        "control, reload the page, and switch on an automatic mode that selects\n"
        "and submits every three seconds.")
    string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
endif()

include(CPack)
