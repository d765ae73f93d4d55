# Helpers that put resources where the program finds them.
include_guard(GLOBAL)
# The generator script, found from the function itself: the variable scope of
# the including folder does not reach callers in other folders.

# orvanta_embed_resource(<target> TYPE <type> ID <id> FILE <file> [DEPENDS <target>...])
#
# Compiles FILE into <target> as the program's own resource (type, id), found
# at run time through win::FindProgramResource. TYPE is a name ("DDS") or a
# standard type ("RCDATA", "RT_RCDATA", "10"); ID is 1..65535. FILE may be
# generated at build time: name the targets that make it in DEPENDS. Add
# resources to an executable (or an OBJECT library it links): a static
# library would drop the registration unless something else pulls it in.
function(orvanta_embed_resource target)
  cmake_parse_arguments(ARG "" "TYPE;ID;FILE" "DEPENDS" ${ARGN})
  if(NOT ARG_TYPE OR NOT ARG_ID OR NOT ARG_FILE)
    message(FATAL_ERROR "orvanta_embed_resource(${target}): TYPE, ID and FILE are required")
  endif()
  if(NOT ARG_ID MATCHES "^[0-9]+$" OR ARG_ID EQUAL 0 OR ARG_ID GREATER 65535)
    message(FATAL_ERROR "orvanta_embed_resource(${target}): ID ${ARG_ID} is not 1..65535")
  endif()
  if(NOT ARG_TYPE MATCHES "^[A-Za-z0-9_]+$")
    message(FATAL_ERROR "orvanta_embed_resource(${target}): TYPE ${ARG_TYPE} is not a usable name")
  endif()
  string(TOUPPER "${ARG_TYPE}" type)
  string(REGEX REPLACE "^RT_" "" type_key "${type}")

  # One (type, id) per program: the lookup could answer only one of them.
  get_property(embedded TARGET ${target} PROPERTY ORVANTA_EMBEDDED_RESOURCES)
  if("${type_key}:${ARG_ID}" IN_LIST embedded)
    message(FATAL_ERROR "orvanta_embed_resource(${target}): ${ARG_TYPE} ${ARG_ID} is embedded twice")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY ORVANTA_EMBEDDED_RESOURCES "${type_key}:${ARG_ID}")

  get_filename_component(file "${ARG_FILE}" ABSOLUTE)
  # The path sits in an assembler string inside a C++ string: escape twice.
  set(asm_path "${file}")
  foreach(round 1 2)
    string(REPLACE "\\" "\\\\" asm_path "${asm_path}")
    string(REPLACE "\"" "\\\"" asm_path "${asm_path}")
  endforeach()
  string(MD5 digest "${target}:${type_key}:${ARG_ID}:${file}")
  string(SUBSTRING "${digest}" 0 12 digest)
  set(symbol "orvanta_resource_${digest}")
  if(type_key MATCHES "^[0-9]+$" AND (type_key EQUAL 0 OR type_key GREATER 65535))
    message(FATAL_ERROR "orvanta_embed_resource(${target}): TYPE ${ARG_TYPE} is not 1..65535")
  endif()

  # The source is written at build time and carries the file's digest, so a
  # changed file changes the source: compiler caches never hand back an object
  # with the old bytes (they do not see what .incbin reads).
  set(source "${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}-${type_key}-${ARG_ID}.cpp")
  add_custom_command(OUTPUT "${source}"
    COMMAND ${CMAKE_COMMAND} "-DINPUT=${file}" "-DOUTPUT=${source}" "-DTYPE_KEY=${type_key}" "-DID=${ARG_ID}"
            "-DSYMBOL=${symbol}" "-DASM_PATH=${asm_path}" -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResourceSource.cmake"
    DEPENDS "${file}" "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResourceSource.cmake" ${ARG_DEPENDS}
    COMMENT "Embedding ${ARG_TYPE} ${ARG_ID} in ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${source}")
  target_link_libraries(${target} PRIVATE platform_win)
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
endfunction()

# orvanta_use_common_res(<target>): puts common_res.dll next to the target's
# executable, where win::LoadResourceModule looks first.
function(orvanta_use_common_res target)
  add_dependencies(${target} common_res)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${ORVANTA_COMMON_RES}" "$<TARGET_FILE_DIR:${target}>"
    VERBATIM)
endfunction()
