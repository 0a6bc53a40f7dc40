# tarn_delay_load(<name> <dll> <def file>): an imported library <name> that binds the
# functions of <def file> to <dll> on their first call instead of at start-up. Linking it in
# place of the DLL's own import library keeps the DLL out of the program's start-up.
function(tarn_delay_load name dll def)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a)
    add_custom_command(OUTPUT ${lib}
                       COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}
                               --output-delaylib ${lib}
                       DEPENDS ${def} VERBATIM)
    add_custom_target(${name}_build DEPENDS ${lib})
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${lib})
    add_dependencies(${name} ${name}_build)
endfunction()
