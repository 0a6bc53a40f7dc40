# cmake -DOBJDUMP=<objdump> -DEXE=<exe> -P CheckImports.cmake
# Fails when the exe imports at load time a DLL that is not one of the system's known DLLs
# (or an API set, which the loader resolves without a search). Any other DLL the loader
# would look for beside the exe first, where a planted copy would run inside the program.
# Fails too when its header does not say that it is aware of terminal sessions.
cmake_policy(SET CMP0057 NEW)
set(known_system_dlls
    advapi32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll
    oleaut32.dll rpcrt4.dll sechost.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "${EXE}: no imports found in the objdump output")
endif()
set(outside)
foreach(line ${lines})
    string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(dll MATCHES "^api-ms-win-" OR dll IN_LIST known_system_dlls)
        continue()
    endif()
    list(APPEND outside ${dll})
endforeach()
if(outside)
    list(JOIN outside ", " outside)
    # Removed, so that the next build does not take it as up to date.
    file(REMOVE ${EXE})
    message(FATAL_ERROR "${EXE} imports DLLs that are not known system DLLs: ${outside}")
endif()

# IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, 0x8000.
string(REGEX MATCH "DllCharacteristics[ \t]+([0-9a-fA-F]+)" characteristics "${dump}")
if(NOT characteristics OR NOT CMAKE_MATCH_1 MATCHES "^0*[89a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]$")
    file(REMOVE ${EXE})
    message(FATAL_ERROR "${EXE} is not marked as aware of terminal sessions")
endif()
