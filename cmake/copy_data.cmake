# Copies the shipped data from SOURCE (resources/) into DESTINATION (the program folder of the
# build tree). The program's own string table (ja.tsv) is compiled in; the language modules beside
# it are copied.
file(GLOB entries RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(entry IN LISTS entries)
  if(NOT entry STREQUAL "strings")
    file(COPY "${SOURCE}/${entry}" DESTINATION "${DESTINATION}")
  endif()
endforeach()
file(GLOB modules "${SOURCE}/strings/*.tsv")
list(FILTER modules EXCLUDE REGEX "/ja\\.tsv$")
file(COPY ${modules} DESTINATION "${DESTINATION}/strings")
