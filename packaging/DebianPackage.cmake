# The Debian package (included by the top-level CMakeLists.txt after the install rules), built
# by CPack from a build configured for it, as scripts/package.sh does:
#
#   cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
#         -DQORSCHED_ROOT=/opt/tavrin-scheduler -DQORSCHED_BUILD_TESTS=OFF
#   cmake --build build-deb --target package
#
# Everything the suite owns lives under its install root; the system paths (crontabs, the
# accounting file, /tmp, home folders) stay the real ones.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-scheduler)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tavrin Solutions")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "scheduler for the Tavrin suite's scans, updates, snapshots and defragmentations")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavrin Scheduler keeps recurring virus scans, product updates, snapshots and
volume defragmentations of the Tavrin suite as a signed block in each user's
own crontab. cron runs them through the launcher command taskKicker, which
starts the product and delivers the task's event, or leaves the launch for the
user's next graphical login. The TavrinMissedTasks daemon runs, once, the
tasks that were due while the machine was off or asleep.
.
The package contains the graphical application Tavrin Scheduler, the command
qorsched, the launcher programs and the daemon with its systemd unit.")
set(QORSCHED_PACKAGE_CONTACT "Tavrin Scheduler maintainers <maintainers@tavrin-scheduler.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QORSCHED_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# Libraries from the binaries (dpkg-shlibdeps); cron runs the tasks, and the maintainer scripts
# enable the daemon's unit with deb-systemd-helper.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "cron | cron-daemon, init-system-helpers (>= 1.54~)")
# Qt's own translations (standard buttons), and the system bus with logind for the console
# user and sleep and wake.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, dbus, systemd")

# The absolute fixed paths are staged under DESTDIR as they are.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
    ${CMAKE_CURRENT_LIST_DIR}/debian/prerm
    ${CMAKE_CURRENT_LIST_DIR}/debian/postrm
    ${CMAKE_CURRENT_LIST_DIR}/debian/conffiles)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/tavrin-scheduler" COMPONENT manuals)

include(CPack)
