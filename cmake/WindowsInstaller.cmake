# The Windows Installer package, built from the exe of this build by the script the release
# uses as well (tools/release.sh builds it from the signed exe).
set(TARN_MSI ${CMAKE_BINARY_DIR}/tarnftp-${tarn_version}.msi)
add_custom_command(OUTPUT ${TARN_MSI}
                   COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/release/build_msi.py ${TARN_MSI}
                           $<TARGET_FILE:tarnftp> $<TARGET_FILE:tarnftp_installer_actions>
                           ${tarn_file_version}
                   DEPENDS tarnftp tarnftp_installer_actions ${CMAKE_SOURCE_DIR}/tools/release/build_msi.py
                           ${CMAKE_SOURCE_DIR}/res/windows/tarnftp.wxs
                           ${CMAKE_SOURCE_DIR}/res/windows/tarnftp.ini ${CMAKE_SOURCE_DIR}/res/icons/app.ico
                   VERBATIM)
add_custom_target(tarnftp_msi ALL DEPENDS ${TARN_MSI})
