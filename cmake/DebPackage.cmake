# Installs the Linux program as a desktop application and packs it into a .deb:
#   /usr/bin/tarnftp                                    stripped
#   /usr/share/applications/tarnftp.desktop
#   /usr/share/icons/hicolor/<n>x<n>/apps/tarnftp.png   one per image of res/icons/app.ico
#   /etc/tarnftp/tarnftp.ini                            commented, names no host; a conffile
#   and the documents and metadata of cmake/PackageDocuments.cmake
# `cpack --preset linux-release` writes build/linux-release/tarnftp_<version>_amd64.deb.
include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The theme's PNGs are made from app.ico at build time, so that the window icon and the
# desktop's icon cannot drift apart and no second copy of the pictures is kept in git.
set(tarn_icon_theme ${CMAKE_BINARY_DIR}/icon-theme)
add_custom_command(OUTPUT ${tarn_icon_theme}/made
                   COMMAND ${CMAKE_COMMAND} -E rm -rf ${tarn_icon_theme}
                   COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/png.py icon-theme
                           ${CMAKE_SOURCE_DIR}/res/icons/app.ico tarnftp ${tarn_icon_theme}/hicolor
                   COMMAND ${CMAKE_COMMAND} -E touch ${tarn_icon_theme}/made
                   DEPENDS ${CMAKE_SOURCE_DIR}/res/icons/app.ico ${CMAKE_SOURCE_DIR}/tools/png.py
                   VERBATIM)
add_custom_target(tarnftp_icon_theme ALL DEPENDS ${tarn_icon_theme}/made)

install(TARGETS tarnftp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The compiler's version notes are of no use to the program; distributions strip them.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                                      \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarnftp
                              COMMAND_ERROR_IS_FATAL ANY)")
install(FILES ${CMAKE_SOURCE_DIR}/res/linux/tarnftp.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${tarn_icon_theme}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
include(${CMAKE_CURRENT_LIST_DIR}/PackageDocuments.cmake)

# The system's tarnftp.ini explains the keys and names no host. dpkg keeps an administrator's
# edits of it over upgrades only when the package lists it as a conffile, which CPack does not
# do by itself.
install(FILES ${CMAKE_SOURCE_DIR}/res/linux/tarnftp.ini DESTINATION /etc/tarnftp)
file(WRITE ${CMAKE_BINARY_DIR}/deb-control/conffiles "/etc/tarnftp/tarnftp.ini\n")
list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/deb-control/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnftp)
# dpkg orders versions by number and wants them to start with a digit, which the name of the
# build (`git describe`, a commit hash without a tag) does not: the package carries the
# four-number version instead, which grows with every commit.
set(CPACK_PACKAGE_VERSION ${tarn_file_version})
set(CPACK_PACKAGE_VENDOR TarnGroup)
set(CPACK_PACKAGE_CONTACT "tarnftp developers <tarnftp@tarngroup.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "log on to TarnGroup web file storage")
# Lines of at most 80 characters, as Debian's checks want them.
set(CPACK_PACKAGE_DESCRIPTION
    "tarnftp logs on to the TarnGroup web file-storage service with a user name\n"
    "and a password, which it can remember, and opens the storage in the desktop's\n"
    "file manager as an ftp:// location, or a page of the service's web application\n"
    "in the browser. The service's redirect hosts are read from tarnftp.ini.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from dpkg-shlibdeps. Beyond them: the service is also reached
# over https (certificates), and the storage and web pages are opened through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ca-certificates, xdg-utils")
# With GVfs's FTP backend the storage is mounted and handed over without the password; with
# the toolkit's translations its own words (the boxes' buttons) are in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gvfs-backends, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
