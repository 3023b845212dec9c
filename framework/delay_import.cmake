# vs_add_delay_import(<target> <library> [<macro>]): an interface target that imports
# <library>.dll by delay-load. <macro> is the one the SDK header declares the entry points with;
# it is defined empty, so that calls go to the delay-load thunks: the i686 delay-load library of
# dlltool leaves the import slots empty until the helper fills them, so a call through a slot
# (what a dllimport declaration makes) would jump to address 0. The DLL is loaded at the first call into it, from the system folder only (the hook
# in delay_load_hook.cpp), so a run that never calls it never loads it.
# The entry points come from the toolchain's own import library; dlltool turns them into a
# delay-load import library at build time.
function(vs_add_delay_import target library)
  find_library(VS_IMPORT_LIB_${library} NAMES ${library} REQUIRED NO_CACHE)
  execute_process(COMMAND ${CMAKE_NM} ${VS_IMPORT_LIB_${library}}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Cannot read the entry points of ${VS_IMPORT_LIB_${library}}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ T [^\n]+" entries "${symbols}")
  list(TRANSFORM entries REPLACE "^[0-9a-f]+ T " "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit stdcall names carry a leading underscore and an @size suffix; -k below imports
    # them by their plain names. Exactly one underscore goes: comctl32's _TrackMouseEvent is
    # __TrackMouseEvent@4, and with both gone the delay-load library would take over user32's
    # TrackMouseEvent (a regular expression anchored at ^ matches again after a replacement).
    list(TRANSFORM entries REPLACE "^_(.*)$" "\\1")
    set(kill_at -k)
  endif()
  list(REMOVE_DUPLICATES entries)
  list(SORT entries)
  list(JOIN entries "\n" exports)

  set(def ${CMAKE_CURRENT_BINARY_DIR}/${library}_delay.def)
  set(delaylib ${CMAKE_CURRENT_BINARY_DIR}/lib${library}_delay.a)
  file(WRITE ${def}.new "LIBRARY ${library}.dll\nEXPORTS\n${exports}\n")
  configure_file(${def}.new ${def} COPYONLY)
  add_custom_command(OUTPUT ${delaylib}
    COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${def} --dllname ${library}.dll --output-delaylib ${delaylib}
    DEPENDS ${def}
    COMMENT "Delay-load import library for ${library}.dll"
    VERBATIM)
  add_custom_target(${target}_delaylib DEPENDS ${delaylib})

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(hook ___pfnDliNotifyHook2)
  else()
    set(hook __pfnDliNotifyHook2)
  endif()
  add_library(${target} INTERFACE)
  if(ARGC GREATER 2)
    target_compile_definitions(${target} INTERFACE ${ARGV2}=)
  endif()
  # The hook lives in a static library; naming it undefined up front makes the linker take it
  # from there before the C runtime's empty default.
  target_link_options(${target} INTERFACE -Wl,-u,${hook})
  target_link_libraries(${target} INTERFACE system_library ${delaylib})
  add_dependencies(${target} ${target}_delaylib)
endfunction()
