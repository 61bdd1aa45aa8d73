# The real-platform test scripts, each a CTest test ("stage") of the preset
# that builds what it needs, run through tests/lib/stage.sh: its log goes to
# build/test-logs/<name>.log and its check counts into scripts/test-all's
# summary. Labels: x11, wayland, wine, web, package, reliability, fuzz.
#   ctest --preset linux -L x11          the X11 stages
#   ctest --preset win64 -R real-wine    one stage by name
# Each script starts its own private servers (Xvfb, sway, weston, Wine's), so no
# stage depends on another's; the Wine prefixes and the installed package are
# shared and locked.
enable_testing()

set(SAVER_TOP ${PROJECT_SOURCE_DIR})
set(SAVER_PACKAGES_DIR ${PROJECT_SOURCE_DIR}/build/packages)

# saver_stage(<name> LABELS <label>... [LOCKS <lock>...] [ENVIRONMENT <VAR=value>...]
#             [FIXTURE_SETUP <fixture>] [FIXTURE_REQUIRED <fixture>] COMMAND <command> <args>...)
function(saver_stage name)
  cmake_parse_arguments(S "" "FIXTURE_SETUP;FIXTURE_REQUIRED" "LABELS;LOCKS;ENVIRONMENT;COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${SAVER_TOP}/tests/lib/stage.sh ${name} ${S_COMMAND}
           WORKING_DIRECTORY ${SAVER_TOP})
  set_tests_properties(${name} PROPERTIES LABELS "${S_LABELS}" TIMEOUT 1500)
  if(S_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${S_LOCKS}")
  endif()
  if(S_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${S_ENVIRONMENT}")
  endif()
  if(S_FIXTURE_SETUP)
    set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${S_FIXTURE_SETUP})
  endif()
  if(S_FIXTURE_REQUIRED)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${S_FIXTURE_REQUIRED})
  endif()
endfunction()

set(bin ${CMAKE_BINARY_DIR}/bin)

if(SAVER_PLATFORM STREQUAL "linux" AND SAVER_SANITIZE)
  # The fault script against the sanitizer build; reports go to files, and any
  # there fails it.
  set(sanitizer_logs ${PROJECT_SOURCE_DIR}/build/test-logs/sanitizer)
  saver_stage(reliability-x11-faults LABELS reliability x11
    ENVIRONMENT "SANITIZER_LOG_DIR=${sanitizer_logs}"
                "ASAN_OPTIONS=log_path=${sanitizer_logs}/asan:detect_leaks=0"
                "UBSAN_OPTIONS=log_path=${sanitizer_logs}/ubsan:print_stacktrace=1"
    COMMAND sh -c "rm -rf '${sanitizer_logs}' && mkdir -p '${sanitizer_logs}' && exec tests/reliability/x11_fault_test.sh '${bin}' quick")
elseif(SAVER_PLATFORM STREQUAL "linux")
  saver_stage(real-x11 LABELS x11 COMMAND tests/real/x11_saver_test.sh ${bin})
  saver_stage(real-x11-daemon-mode LABELS x11 COMMAND tests/real/x11_daemon_mode_test.sh ${bin})
  saver_stage(real-xscreensaver LABELS x11 COMMAND tests/real/xscreensaver_test.sh ${bin})
  saver_stage(real-wayland LABELS wayland COMMAND tests/real/wayland_saver_test.sh ${bin})
  saver_stage(real-wayland-faults LABELS wayland reliability COMMAND tests/real/wayland_fault_test.sh ${bin})
  # Debian 13's compositors, from the root in build/debian13-root (made by the
  # first of these when missing; a mirror that fails leaves them not run, with
  # the reason in one line). The root is built by one stage at a time.
  saver_stage(real-wayland-sway110 LABELS wayland LOCKS debian13-root
    ENVIRONMENT WAYLAND_TEST_COMPOSITOR=sway-debian13 COMMAND tests/real/wayland_saver_test.sh ${bin})
  # The session lock (--lock) on sway 1.10 from the same root, and its refusal on
  # sway 1.7; then on labwc 0.8.
  saver_stage(real-wayland-lock LABELS wayland reliability LOCKS debian13-root
    COMMAND tests/real/wayland_lock_test.sh ${bin})
  saver_stage(real-wayland-lock-labwc LABELS wayland reliability LOCKS debian13-root
    ENVIRONMENT WAYLAND_TEST_COMPOSITOR=labwc-debian13 COMMAND tests/real/wayland_lock_test.sh ${bin})
  saver_stage(real-wayland-labwc LABELS wayland LOCKS debian13-root
    ENVIRONMENT WAYLAND_TEST_COMPOSITOR=labwc-debian13 COMMAND tests/real/wayland_saver_test.sh ${bin})
  saver_stage(real-wayland-cage LABELS wayland LOCKS debian13-root
    ENVIRONMENT WAYLAND_TEST_COMPOSITOR=cage-debian13 COMMAND tests/real/wayland_saver_test.sh ${bin})
  # KWin 6.3 and mutter 48 (with GNOME's idle watcher) from a second root,
  # build/debian13-desktops, so that the stages above do not pay for them.
  saver_stage(real-wayland-kwin LABELS wayland LOCKS debian13-desktops
    COMMAND tests/real/desktop_saver_test.sh kwin ${bin})
  saver_stage(real-wayland-mutter LABELS wayland LOCKS debian13-desktops
    COMMAND tests/real/desktop_saver_test.sh mutter ${bin})
  # The packages that scripts/package wrote into build/packages.
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(deb ${SAVER_PACKAGES_DIR}/${SAVER_PACKAGE}_${PROJECT_VERSION}_${deb_arch}.deb)
  saver_stage(check-packages-windows LABELS package
    COMMAND tests/real/package_check.py ${SAVER_PACKAGES_DIR} ${PROJECT_VERSION})
  saver_stage(check-packages-release LABELS package
    COMMAND tests/real/release_check.py ${SAVER_PACKAGES_DIR} ${PROJECT_SOURCE_DIR})
  saver_stage(real-package LABELS package x11 LOCKS installed-package
    COMMAND tests/real/package_test.sh ${deb} ${CMAKE_BINARY_DIR})
elseif(SAVER_PLATFORM STREQUAL "win32")
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "64")
    set(arch win64)
  else()
    set(arch win32)
  endif()
  saver_stage(check-${arch} LABELS wine-static COMMAND tests/real/pe_check.py ${arch} ${bin})
  saver_stage(real-wine-${arch} LABELS wine LOCKS wine-${arch}
    COMMAND tests/real/wine_saver_test.sh ${bin})
  # The storm runs in the password test's prefix, which that stage sets up
  # (Windows 98 reported, the password doubles installed).
  set(password_prefix ${PROJECT_SOURCE_DIR}/build/wine/password-${arch})
  saver_stage(real-wine-password-${arch} LABELS wine LOCKS wine-${arch} FIXTURE_SETUP password-prefix-${arch}
    COMMAND tests/password/wine_password_test.sh ${bin})
  saver_stage(reliability-password-storm-${arch} LABELS wine reliability LOCKS wine-${arch}
    FIXTURE_REQUIRED password-prefix-${arch}
    COMMAND tests/reliability/wine_password_storm.sh ${bin} ${arch} ${password_prefix})
  saver_stage(real-wine-package-${arch} LABELS wine package LOCKS wine-${arch}
    COMMAND tests/real/wine_package_test.sh ${bin} ${SAVER_PACKAGES_DIR}/${SAVER_PACKAGE}-${PROJECT_VERSION}-setup.exe)
elseif(SAVER_PLATFORM STREQUAL "web")
  # The pages against the pictures of the headless renderer (the headless preset's).
  set(SAVER_RENDER_PROGRAM ${PROJECT_SOURCE_DIR}/build/headless/bin/render CACHE FILEPATH
      "The headless renderer the browser test compares the pages with")
  saver_stage(real-web LABELS web COMMAND tests/web/gallery_test.py ${SAVER_GALLERY_DIR} ${SAVER_RENDER_PROGRAM})
elseif(SAVER_PLATFORM STREQUAL "headless" AND NOT SAVER_SANITIZE)
  # The fuzzers build the fuzz preset themselves; their time is set when run.
  saver_stage(fuzz-mesh LABELS fuzz ENVIRONMENT SAVER_STAGE_DISPLAYS=none
    COMMAND sh -c "exec tests/fuzz/run_mesh_fuzz.sh \${FUZZ_SECONDS:-60}")
  saver_stage(fuzz-command-line LABELS fuzz ENVIRONMENT SAVER_STAGE_DISPLAYS=none
    COMMAND sh -c "exec tests/fuzz/run_command_line_fuzz.sh \${CLI_FUZZ_SECONDS:-10}")
endif()
