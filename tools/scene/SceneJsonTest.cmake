# Runs `orvanta-scene inspect` on the sample documents: well-formed ones give
# the expected JSON, refused ones "error: ..." on stderr and exit code 1.
# Arguments: TOOL, SAMPLES (the sample-document writer), WORK_DIR.

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${SAMPLES}" "${WORK_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "writing the sample documents failed: ${rc}")
endif()

function(inspect file out_rc out_stdout out_stderr)
  execute_process(COMMAND "${TOOL}" inspect "${file}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  set(${out_rc} "${rc}" PARENT_SCOPE)
  set(${out_stdout} "${stdout}" PARENT_SCOPE)
  set(${out_stderr} "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_json json expected)
  string(JSON value GET "${json}" ${ARGN})
  if(NOT value STREQUAL expected)
    message(FATAL_ERROR "JSON ${ARGN}: expected '${expected}', got '${value}'\n${json}")
  endif()
endfunction()

function(expect_length json expected)
  string(JSON value LENGTH "${json}" ${ARGN})
  if(NOT value EQUAL expected)
    message(FATAL_ERROR "JSON ${ARGN}: expected ${expected} elements, got ${value}\n${json}")
  endif()
endfunction()

function(expect_document name)
  inspect("${WORK_DIR}/${name}" rc out err)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "${name}: exit ${rc}, stderr: ${err}")
  endif()
  set(json "${out}" PARENT_SCOPE)
endfunction()

function(expect_refused file message_part)
  inspect("${file}" rc out err)
  if(NOT rc EQUAL 1 OR NOT out STREQUAL "")
    message(FATAL_ERROR "${file}: expected a refusal, got exit ${rc}\n${out}${err}")
  endif()
  string(FIND "${err}" "error: " at)
  string(FIND "${err}" "${message_part}" part)
  if(NOT at EQUAL 0 OR part EQUAL -1)
    message(FATAL_ERROR "${file}: expected 'error: ...${message_part}...', got: ${err}")
  endif()
endfunction()

expect_document(minimal.vsd)
expect_json("${json}" "VIZ v 4.0.0" header)
expect_length("${json}" 0 slides)
expect_length("${json}" 0 audio)
expect_json("${json}" 4 resources version)
expect_json("${json}" 0 resources textureSets)

expect_document(audio-and-resources.vsd)
expect_length("${json}" 2 audio)
expect_json("${json}" "Rain" audio 0 name)
expect_json("${json}" "C:\\Music\\rain.mp3" audio 0 source)
expect_json("${json}" 6 audio 0 bytes)
expect_json("${json}" "Silence \"quoted\"" audio 1 name)
expect_json("${json}" 0 audio 1 bytes)
foreach(map textureSets textureSetValues storedResources guidTextures animatedPictures)
  expect_json("${json}" 1 resources ${map})
endforeach()
expect_json("${json}" 2 resources resourceRecords) # the render layer's manager read it

expect_document(manager-version-1.vsd)
expect_json("${json}" 1 resources version)
expect_json("${json}" 1 resources textureSets)
expect_json("${json}" 0 resources storedResources)

expect_refused("${WORK_DIR}/truncated.vsd" "the document is damaged")
expect_refused("${WORK_DIR}/outdated-header.vsd" "Outdated file format.")
expect_refused("${WORK_DIR}/huge-string.vsd" "the document is damaged")
# The tool links the player, so "DS_SlideContainer" is a known class: the
# sample's slide, a class header without its body, is refused as damaged.
expect_refused("${WORK_DIR}/unknown-slide-class.vsd" "the document is damaged")
expect_refused("${WORK_DIR}/does-not-exist.vsd" "0x8200000B")
file(WRITE "${WORK_DIR}/text.vsx" "not a document")
expect_refused("${WORK_DIR}/text.vsx" "Format is not supported.")
file(WRITE "${WORK_DIR}/text.vsd" "not a document")
expect_refused("${WORK_DIR}/text.vsd" "Outdated file format.")

execute_process(COMMAND "${TOOL}" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
  message(FATAL_ERROR "no arguments: expected exit 2, got ${rc}")
endif()
