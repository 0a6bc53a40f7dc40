# What a distribution wants beside the program, installed with it (included by DebPackage.cmake):
#   /usr/share/doc/tarnftp/copyright                     the licence, machine-readable
#   /usr/share/doc/tarnftp/changelog.gz                  one entry: this build's version
#   /usr/share/man/man1/tarnftp.1.gz                     the manual page
#   /usr/share/metainfo/<id>.metainfo.xml                what software centres list
#   /usr/share/icons/hicolor/<n>x<n>/apps/tarnftp.png    64, 128 and 256, drawn for the desktop
# The dates are the commit's, so that two builds of one commit are the same bytes, and gzip
# stores no name and no time (-n).

# The AppStream component id: the vendor's domain reversed, then the program.
set(tarn_appstream_id example.tarngroup.tarnftp)

set(tarn_commit_time 0)
set(tarn_changelog_date "Thu, 01 Jan 1970 00:00:00 +0000")
set(tarn_release_date "1970-01-01")
if(tarn_git_describe)
    tarn_git(tarn_commit_time log -1 --format=%ct)
    tarn_git(tarn_changelog_date log -1 --format=%cD)
    tarn_git(tarn_release_date log -1 --format=%cs)
endif()

# The times of the package's files are the commit's as well (cpack reads SOURCE_DATE_EPOCH),
# unless the caller gives one.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackFileTimes.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} @tarn_commit_time@)
endif()
]] @ONLY)

set(tarn_documents ${CMAKE_BINARY_DIR}/package-documents)
configure_file(${CMAKE_SOURCE_DIR}/res/linux/changelog.in ${tarn_documents}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/linux/tarnftp.1.in ${tarn_documents}/tarnftp.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/linux/metainfo.xml.in
               ${tarn_documents}/${tarn_appstream_id}.metainfo.xml @ONLY)

find_program(TARN_GZIP gzip REQUIRED)
set(tarn_compressed ${tarn_documents}/changelog.gz ${tarn_documents}/tarnftp.1.gz)
add_custom_command(OUTPUT ${tarn_compressed}
                   COMMAND ${TARN_GZIP} -9nkf ${tarn_documents}/changelog ${tarn_documents}/tarnftp.1
                   DEPENDS ${tarn_documents}/changelog ${tarn_documents}/tarnftp.1
                   VERBATIM)
add_custom_target(tarnftp_documents ALL DEPENDS ${tarn_compressed})

set(tarn_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarnftp)
install(FILES ${CMAKE_SOURCE_DIR}/res/linux/copyright ${tarn_documents}/changelog.gz
        DESTINATION ${tarn_doc_dir})
install(FILES ${tarn_documents}/tarnftp.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${tarn_documents}/${tarn_appstream_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/res/linux/icons/app-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tarnftp.png)
endforeach()
