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

foreach(suite test_package test_program)
    add_test(NAME ${suite} COMMAND ${Python3_EXECUTABLE} -m unittest -v ${suite}
             WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
    set_tests_properties(${suite} PROPERTIES TIMEOUT 300 ENVIRONMENT
        "TARN_DEB=${tarn_deb};TARN_PROGRAM=$<TARGET_FILE:tarnftp>;TARN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()
set_tests_properties(test_package PROPERTIES FIXTURES_REQUIRED deb)
