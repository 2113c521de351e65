# Copies the shipped data from SOURCE (resources/) into DESTINATION (the program folder of the
# build tree). The string table is compiled in and is left out.
file(GLOB entries RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(entry IN LISTS entries)
  if(NOT entry STREQUAL "strings")
    file(COPY "${SOURCE}/${entry}" DESTINATION "${DESTINATION}")
  endif()
endforeach()
