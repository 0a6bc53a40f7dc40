# The program's version, taken from git when the sources are a git checkout:
#   TARN_VERSION       the name of the build, `git describe --tags --always --dirty`
#   TARN_FILE_VERSION  four numbers for the version resource: X.Y.Z.N after a tag vX.Y.Z, N being
#                      the commits since the tag (0 on the tag itself); without such a tag
#                      0.0.0.N, N being the commits since the first one.
# Outside git both can be given on the command line (-DTARN_VERSION=... -DTARN_FILE_VERSION=...);
# otherwise they fall back to "unknown" and 0.0.0.0. The result is also written to
# tarnftp-version.txt in the build folder,
# tarnftp-file-version.txt (X.Y.Z.N, for the installer package) and the header tarnftp_version.h that the version resource is compiled from, for the release script.

set(TARN_VERSION "" CACHE STRING "Name of the build; empty: from git describe")
set(TARN_FILE_VERSION "" CACHE STRING "Four numbers X.Y.Z.N; empty: from git")

find_package(Git QUIET)

function(tarn_git out)
    set(${out} "" PARENT_SCOPE)
    if(NOT GIT_FOUND)
        return()
    endif()
    execute_process(COMMAND ${GIT_EXECUTABLE} ${ARGN} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE output ERROR_QUIET RESULT_VARIABLE result
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(result EQUAL 0)
        set(${out} "${output}" PARENT_SCOPE)
    endif()
endfunction()

# Only this project's own repository counts, not one that happens to hold its folder.
tarn_git(tarn_git_top rev-parse --show-toplevel)
if(tarn_git_top)
    file(REAL_PATH "${tarn_git_top}" tarn_git_top)
    file(REAL_PATH "${CMAKE_SOURCE_DIR}" tarn_source_dir)
endif()
if(tarn_git_top AND tarn_git_top STREQUAL tarn_source_dir)
    tarn_git(tarn_git_describe describe --tags --always --dirty --abbrev=12)
endif()
set(tarn_version "${TARN_VERSION}")
if(tarn_version STREQUAL "")
    set(tarn_version "${tarn_git_describe}")
endif()
if(tarn_version STREQUAL "")
    set(tarn_version "unknown")
endif()
# The name goes into a file name and a resource string: keep it to a safe set of characters.
string(REGEX REPLACE "[^A-Za-z0-9._+-]" "_" tarn_version "${tarn_version}")

set(tarn_file_version "${TARN_FILE_VERSION}")
if(tarn_file_version STREQUAL "" AND tarn_git_describe)
    tarn_git(tarn_tag describe --tags --abbrev=0 --match "v[0-9]*.[0-9]*.[0-9]*")
    if(tarn_tag MATCHES "^v([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        set(tarn_base "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
        tarn_git(tarn_count rev-list --count "${tarn_tag}..HEAD")
    else()
        set(tarn_base "0.0.0")
        tarn_git(tarn_commits rev-list --count HEAD)
        if(tarn_commits)
            math(EXPR tarn_count "${tarn_commits} - 1")
        endif()
    endif()
    if(NOT tarn_count STREQUAL "")
        set(tarn_file_version "${tarn_base}.${tarn_count}")
    endif()
endif()
if(tarn_file_version STREQUAL "")
    set(tarn_file_version "0.0.0.0")
endif()

# Each part is a 16-bit number in the version resource; a larger one would wrap silently.
if(NOT tarn_file_version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "TARN_FILE_VERSION '${tarn_file_version}' is not four numbers X.Y.Z.N")
endif()
foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
    if(part GREATER 65535)
        message(FATAL_ERROR "TARN_FILE_VERSION '${tarn_file_version}': ${part} exceeds 65535")
    endif()
endforeach()
string(REPLACE "." "," tarn_file_version_commas "${tarn_file_version}")
# What the version resource is compiled from, and what the test of the resource checks: a
# header, as windres loses the quotation marks of a string given with -D. configure_file leaves
# it untouched while the version stays the same, so nothing is rebuilt.
set(TARN_VERSION_INCLUDE_DIR ${CMAKE_BINARY_DIR}/version)
set(TARN_VERSION_HEADER ${TARN_VERSION_INCLUDE_DIR}/tarnftp_version.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tarnftp_version.h.in ${TARN_VERSION_HEADER} @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/tarnftp-version.txt "${tarn_version}\n")
file(WRITE ${CMAKE_BINARY_DIR}/tarnftp-file-version.txt "${tarn_file_version}\n")

# A new commit or checkout changes the version: configure again when HEAD moves.
if(tarn_git_describe)
    tarn_git(tarn_git_head rev-parse --path-format=absolute --git-path HEAD)
    tarn_git(tarn_git_log rev-parse --path-format=absolute --git-path logs/HEAD)
endif()
foreach(watched ${tarn_git_head} ${tarn_git_log})
    if(EXISTS ${watched})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${watched})
    endif()
endforeach()
message(STATUS "tarnftp version ${tarn_version} (file version ${tarn_file_version})")
