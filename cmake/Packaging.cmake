# Install rules (executable, manual page, desktop entry, themed icons,
# AppStream metainfo, the performance files' MIME type, copyright and
# changelog) and the Debian package built by
# `cpack -G DEB`.
include(GNUInstallDirs)

add_subdirectory(${PROJECT_SOURCE_DIR}/ui/desktop ${PROJECT_BINARY_DIR}/ui/desktop)
include(${PROJECT_SOURCE_DIR}/ui/desktop/desktop_files.cmake)

# Directories the package creates are world-readable whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS scrivola-synth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page and the changelog are installed compressed as Debian
# requires: gzip -9, with no name or time stamp so rebuilds are identical.
set(_gz_dir ${PROJECT_BINARY_DIR}/gz)
set(_man_page ${PROJECT_SOURCE_DIR}/ui/desktop/scrivola-synth.1)
set(_changelog ${CMAKE_CURRENT_LIST_DIR}/deb/changelog)
# The package's version is the newest changelog entry's, which must be the
# project's version plus a Debian revision.
file(STRINGS ${_changelog} _newest_entry LIMIT_COUNT 1)
if(NOT _newest_entry MATCHES "^scrivola-synth \\(([^)-]+)-([^)]+)\\)")
    message(FATAL_ERROR "${_changelog} does not start with 'scrivola-synth (VERSION-REVISION)'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${_changelog} is at ${CMAKE_MATCH_1}, the project at ${PROJECT_VERSION}")
endif()
set(_package_revision ${CMAKE_MATCH_2})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_changelog})
add_custom_command(
    OUTPUT ${_gz_dir}/scrivola-synth.1.gz ${_gz_dir}/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${_man_page} ${_gz_dir}/scrivola-synth.1
    COMMAND ${CMAKE_COMMAND} -E copy ${_changelog} ${_gz_dir}/changelog.Debian
    COMMAND gzip -9nf ${_gz_dir}/scrivola-synth.1 ${_gz_dir}/changelog.Debian
    DEPENDS ${_man_page} ${_changelog}
    COMMENT "Compressing the manual page and the changelog"
    VERBATIM)
add_custom_target(scrivola-compressed-docs ALL
    DEPENDS ${_gz_dir}/scrivola-synth.1.gz ${_gz_dir}/changelog.Debian.gz)
install(FILES ${_gz_dir}/scrivola-synth.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/scrivola-synth)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright ${_gz_dir}/changelog.Debian.gz
        DESTINATION ${_doc_dir})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME scrivola-synth)

install(FILES ${SCRIVOLA_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SCRIVOLA_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS SCRIVOLA_ICON_SIZES)
    install(FILES ${SCRIVOLA_ICON_DIR}/${size}x${size}/apps/${SCRIVOLA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${SCRIVOLA_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${SCRIVOLA_APP_ID}.svg)
# The performance files' type; shared-mime-info's trigger rebuilds the
# database when the package is installed.
install(FILES ${SCRIVOLA_MIME_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${SCRIVOLA_APP_ID}.xml)
install(FILES ${SCRIVOLA_PERFORMANCE_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)

set(SCRIVOLA_PACKAGE_MAINTAINER "Scrivola Synth developers <scrivola@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scrivola-synth)
set(CPACK_PACKAGE_VENDOR "Scrivola Synth developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "synthesizer played by drawing")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/scrivola/scrivola-synth")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${_package_revision})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SCRIVOLA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary above this text as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Scrivola Synth is a small two-voice instrument played with the
mouse on a black drawing surface. The pen's position sets the pitch of both
voices and the pen's colour decides what else a stroke does: five colours
each set one modulation or cut parameter, two switch the waveform shapes of
one voice, and white only draws. Pressing the pen and lifting it start notes
that fade step by step; two oscilloscope traces and two level meters show
both voices live.")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at
# run time, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The window's captions use a Tahoma-compatible face when one is installed;
# on a Wayland desktop Qt's Wayland plugin runs the window natively instead of
# through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
