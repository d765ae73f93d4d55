# orvanta_embed_string_tables(<target>): compiles the program's string
# tables into <target> as resources of type "STRINGTABLE", one per language,
# the id being the language (1033, 1031, 1034, 1036).
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../Resources.cmake)
set(ORVANTA_STRING_TABLE_DIR "${CMAKE_CURRENT_LIST_DIR}" CACHE INTERNAL "Folder of the string tables")

function(orvanta_embed_string_tables target)
  foreach(language 1033 1031 1034 1036)
    orvanta_embed_resource(${target} TYPE STRINGTABLE ID ${language}
                           FILE "${ORVANTA_STRING_TABLE_DIR}/strings-${language}.txt")
  endforeach()
endfunction()
