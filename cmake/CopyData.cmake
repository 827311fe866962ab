# Copies SRC (data/) into DST. The user's files config.ini and Macro.dat are only
# created when missing; everything else (skins/, udev rule) is refreshed.
file(MAKE_DIRECTORY ${DST})
file(GLOB_RECURSE entries RELATIVE ${SRC} ${SRC}/*)
foreach(rel IN LISTS entries)
  set(target ${DST}/${rel})
  if(rel STREQUAL "config.ini" OR rel STREQUAL "Macro.dat")
    if(NOT EXISTS ${target})
      configure_file(${SRC}/${rel} ${target} COPYONLY)
    endif()
    # The pristine copy a missing or first-start file is made from.
    configure_file(${SRC}/${rel} ${DST}/defaults/${rel} COPYONLY)
  else()
    configure_file(${SRC}/${rel} ${target} COPYONLY)
  endif()
endforeach()
