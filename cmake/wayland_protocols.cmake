# Wayland protocol code generated at build time with wayland-scanner from the
# protocol files the system ships; none is kept in this repository. Each folder
# is a cache variable, so a packager can point it elsewhere:
#   SAVER_WAYLAND_CORE_XML       wayland.xml (libwayland-dev)
#   SAVER_WAYLAND_PROTOCOLS_DIR  wayland-protocols' data folder (stable/xdg-shell/xdg-shell.xml,
#                                stable/viewporter, staging/fractional-scale,
#                                staging/ext-session-lock: 1.31 or later)
#   SAVER_WLR_PROTOCOLS_DIR      the wlr protocols (wlr-layer-shell, wlr-virtual-pointer); Debian's
#                                librust-wayland-protocols-dev has them under
#                                /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable
include_guard(DIRECTORY)
find_package(PkgConfig REQUIRED)
find_program(WAYLAND_SCANNER wayland-scanner)
if(NOT WAYLAND_SCANNER)
  message(FATAL_ERROR "wayland-scanner not found (libwayland-dev)")
endif()

pkg_get_variable(_saver_scanner_data wayland-scanner pkgdatadir)
pkg_get_variable(_saver_protocols_data wayland-protocols pkgdatadir)
file(GLOB _saver_wlr_dirs LIST_DIRECTORIES true
     /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable)
list(SORT _saver_wlr_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET _saver_wlr_dirs 0 _saver_wlr_dir)  # the newest; empty when there is none

set(SAVER_WAYLAND_CORE_XML "${_saver_scanner_data}/wayland.xml" CACHE FILEPATH "wayland.xml, the core protocol")
set(SAVER_WAYLAND_PROTOCOLS_DIR "${_saver_protocols_data}" CACHE PATH "wayland-protocols' data folder")
set(SAVER_WLR_PROTOCOLS_DIR "${_saver_wlr_dir}" CACHE PATH "folder of wlr-layer-shell and wlr-virtual-pointer XML")

set(SAVER_XDG_SHELL_XML "${SAVER_WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml")
set(SAVER_VIEWPORTER_XML "${SAVER_WAYLAND_PROTOCOLS_DIR}/stable/viewporter/viewporter.xml")
set(SAVER_FRACTIONAL_SCALE_XML "${SAVER_WAYLAND_PROTOCOLS_DIR}/staging/fractional-scale/fractional-scale-v1.xml")
set(SAVER_SESSION_LOCK_XML "${SAVER_WAYLAND_PROTOCOLS_DIR}/staging/ext-session-lock/ext-session-lock-v1.xml")
set(SAVER_LAYER_SHELL_XML "${SAVER_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml")
set(SAVER_VIRTUAL_POINTER_XML "${SAVER_WLR_PROTOCOLS_DIR}/wlr-virtual-pointer-unstable-v1.xml")
foreach(xml SAVER_WAYLAND_CORE_XML SAVER_XDG_SHELL_XML SAVER_VIEWPORTER_XML SAVER_FRACTIONAL_SCALE_XML SAVER_SESSION_LOCK_XML
            SAVER_LAYER_SHELL_XML SAVER_VIRTUAL_POINTER_XML)
  if(NOT EXISTS "${${xml}}")
    message(FATAL_ERROR "${xml}: ${${xml}} does not exist (install libwayland-dev, wayland-protocols and "
                        "librust-wayland-protocols-dev, or set SAVER_WAYLAND_CORE_XML, "
                        "SAVER_WAYLAND_PROTOCOLS_DIR and SAVER_WLR_PROTOCOLS_DIR)")
  endif()
endforeach()

# saver_wayland_protocol(<out list> <dir> <name> <xml> [CORE]): <dir>/<name>-client-protocol.h
# and <dir>/<name>-protocol.c; CORE makes the header include wayland-client-core.h
# only (for code that loads libwayland-client at run time).
function(saver_wayland_protocol out dir name xml)
  set(header_flags)
  if(ARGN STREQUAL "CORE")
    set(header_flags -c)
  endif()
  add_custom_command(
    OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${WAYLAND_SCANNER} ${header_flags} client-header ${xml} ${dir}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}-protocol.c
    DEPENDS ${xml}
    VERBATIM)
  set(${out} ${${out}} ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c PARENT_SCOPE)
endfunction()
