# The program's icon, rendered from data/skyhook.svg at build time: PNGs for
# menus that cannot read SVG, and the pixels of the window's icon.
find_program(SKYHOOK_RSVG_CONVERT rsvg-convert)
find_program(SKYHOOK_MAGICK_CONVERT convert)
if(NOT SKYHOOK_RSVG_CONVERT OR NOT SKYHOOK_MAGICK_CONVERT)
  message(FATAL_ERROR "the icons need rsvg-convert (librsvg2-bin) and convert (imagemagick): "
                      "scripts/install-deps.sh run installs them")
endif()

set(SKYHOOK_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(SKYHOOK_ICON_SIZES 48 64 128 256)
set(svg ${PROJECT_SOURCE_DIR}/data/skyhook.svg)
set(icon_files)
foreach(size IN LISTS SKYHOOK_ICON_SIZES)
  set(png ${SKYHOOK_ICON_DIR}/${size}x${size}/skyhook.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SKYHOOK_ICON_DIR}/${size}x${size}
    COMMAND ${SKYHOOK_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
    DEPENDS ${svg} VERBATIM)
  list(APPEND icon_files ${png})
endforeach()

# The window's icon: 64 px, as straight 8-bit RGBA in a header.
set(window_icon ${SKYHOOK_ICON_DIR}/window_icon_pixels.h)
add_custom_command(OUTPUT ${window_icon}
  COMMAND ${SKYHOOK_MAGICK_CONVERT} ${SKYHOOK_ICON_DIR}/64x64/skyhook.png -depth 8
          RGBA:${SKYHOOK_ICON_DIR}/skyhook-64.rgba
  COMMAND ${CMAKE_COMMAND} -DINPUT=${SKYHOOK_ICON_DIR}/skyhook-64.rgba -DOUTPUT=${window_icon}
          -DSIZE=64 -P ${PROJECT_SOURCE_DIR}/cmake/embed_icon.cmake
  DEPENDS ${SKYHOOK_ICON_DIR}/64x64/skyhook.png ${PROJECT_SOURCE_DIR}/cmake/embed_icon.cmake
  VERBATIM)
list(APPEND icon_files ${window_icon})
add_custom_target(skyhook_icons DEPENDS ${icon_files})
