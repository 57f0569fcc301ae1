# The programs' icon, rendered at build time from its one source picture
# (platform/icon/velkorn.mvg) with ImageMagick: PNGs for the Qt window and the
# desktop, an ICO for the Windows resources. Target velkorn_icon.
find_program(VELKORN_CONVERT convert REQUIRED)
set(VELKORN_ICON_DIR ${CMAKE_BINARY_DIR}/icon)
set(source ${PROJECT_SOURCE_DIR}/platform/icon/velkorn.mvg)
set(png "${VELKORN_CONVERT}" -define png:exclude-chunks=date,time -depth 8)
add_custom_command(
  OUTPUT ${VELKORN_ICON_DIR}/velkorn-256.png ${VELKORN_ICON_DIR}/velkorn-48.png ${VELKORN_ICON_DIR}/velkorn-32.png
         ${VELKORN_ICON_DIR}/velkorn.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELKORN_ICON_DIR}
  COMMAND ${png} -background none mvg:${source} ${VELKORN_ICON_DIR}/velkorn-256.png
  COMMAND ${png} ${VELKORN_ICON_DIR}/velkorn-256.png -resize 48x48 ${VELKORN_ICON_DIR}/velkorn-48.png
  COMMAND ${png} ${VELKORN_ICON_DIR}/velkorn-256.png -resize 32x32 ${VELKORN_ICON_DIR}/velkorn-32.png
  COMMAND ${VELKORN_CONVERT} ${VELKORN_ICON_DIR}/velkorn-256.png -define icon:auto-resize=256,48,32,16
          ${VELKORN_ICON_DIR}/velkorn.ico
  DEPENDS ${source}
  COMMENT "Rendering the icon")
add_custom_target(velkorn_icon DEPENDS ${VELKORN_ICON_DIR}/velkorn.ico ${VELKORN_ICON_DIR}/velkorn-32.png)
