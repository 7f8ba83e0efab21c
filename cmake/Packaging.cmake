# Install rules (executable, desktop entry, themed icons, AppStream metainfo)
# and the Debian package built by `cpack -G DEB`.
include(GNUInstallDirs)

add_subdirectory(${PROJECT_SOURCE_DIR}/ui/desktop ${PROJECT_BINARY_DIR}/ui/desktop)
include(${PROJECT_SOURCE_DIR}/ui/desktop/desktop_files.cmake)

# Directories the package creates are world-readable whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS scrivola-synth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${SCRIVOLA_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SCRIVOLA_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS SCRIVOLA_ICON_SIZES)
    install(FILES ${SCRIVOLA_ICON_DIR}/${size}x${size}/apps/${SCRIVOLA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${SCRIVOLA_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${SCRIVOLA_APP_ID}.svg)

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
# The window's captions use a Tahoma-compatible face when one is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
