# Names and sources of the desktop integration files, shared by the install
# rules and their tests.

# The one reverse-DNS id that names the desktop entry, the AppStream
# component, the metainfo file and the themed icon.
set(SCRIVOLA_APP_ID "io.github.scrivola.ScrivolaSynth")

set(SCRIVOLA_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/../resources/scrivola-synth.svg)
cmake_path(NORMAL_PATH SCRIVOLA_ICON_SVG)
set(SCRIVOLA_ICON_SIZES 16 32 48 128 256)
set(SCRIVOLA_DESKTOP_FILE ${CMAKE_CURRENT_LIST_DIR}/${SCRIVOLA_APP_ID}.desktop)
set(SCRIVOLA_METAINFO_FILE ${CMAKE_CURRENT_LIST_DIR}/${SCRIVOLA_APP_ID}.metainfo.xml)
# The performance files' MIME type and its icon.
set(SCRIVOLA_MIME_FILE ${CMAKE_CURRENT_LIST_DIR}/${SCRIVOLA_APP_ID}.mime.xml)
set(SCRIVOLA_PERFORMANCE_MIME_TYPE "application/x-scrivola-performance")
set(SCRIVOLA_PERFORMANCE_ICON_SVG
    ${CMAKE_CURRENT_LIST_DIR}/application-x-scrivola-performance.svg)
