# The tests of the program as it ships: the .deb's contents and dependencies and its binary
# starting, and one end-to-end run of the real program under a private X server. cpack makes
# the package first, so that a test never looks at an old one.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE tarn_deb_architecture
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(tarn_deb ${CPACK_PACKAGE_DIRECTORY}/tarnftp_${CPACK_PACKAGE_VERSION}_${tarn_deb_architecture}.deb)

add_test(NAME deb_package COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(deb_package PROPERTIES FIXTURES_SETUP deb TIMEOUT 300)

# The program's run takes the ports of the storage's HTTP and FTP servers on loopback: as root,
# in a network namespace of its own.
set(tarn_in_own_network unshare --net sh -c "ip link set lo up && exec \"$@\"" sh)
add_test(NAME test_package COMMAND ${Python3_EXECUTABLE} -m unittest -v test_package
         WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
add_test(NAME test_program COMMAND ${tarn_in_own_network} ${Python3_EXECUTABLE} -m unittest -v
                                   test_program
         WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
set_tests_properties(test_package test_program PROPERTIES TIMEOUT 300 ENVIRONMENT
    "TARN_DEB=${tarn_deb};TARN_PROGRAM=$<TARGET_FILE:tarnftp>;TARN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
set_tests_properties(test_package PROPERTIES FIXTURES_REQUIRED deb)
