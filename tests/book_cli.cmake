# lorvan-book as a user runs it: errors name file and line and write nothing,
# a good tree writes 358 resources (sections, index, book information) and
# book.rc, and damaged resources are refused by the decompiler with the
# section store's code.
function(run expected_result)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE stderr OUTPUT_QUIET)
  if(NOT result EQUAL expected_result)
    message(FATAL_ERROR "lorvan-book ${ARGN}: exit ${result}, expected ${expected_result}\n${stderr}")
  endif()
  set(stderr "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_text haystack needle)
  string(FIND "${haystack}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected \"${needle}\" in:\n${haystack}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(COPY ${EDITION}/ DESTINATION ${WORK}/source)

run(2)
file(APPEND ${WORK}/source/011.txt "[hang=7] א\n")
run(1 compile ${WORK}/source ${WORK}/out)
expect_text("${stderr}" "011.txt:")
expect_text("${stderr}" ": error: hang is 1, 2 or 3")
expect_text("${stderr}" "nothing written")
if(EXISTS ${WORK}/out)
  message(FATAL_ERROR "a failed compile wrote ${WORK}/out")
endif()

file(COPY ${EDITION}/011.txt DESTINATION ${WORK}/source)
run(0 compile ${WORK}/source ${WORK}/out)
file(GLOB written ${WORK}/out/*.bin)
list(LENGTH written count)
file(STRINGS ${WORK}/out/book.rc rc_lines REGEX "RCDATA")
list(LENGTH rc_lines rc_count)
if(NOT count EQUAL 358 OR NOT rc_count EQUAL 358)
  message(FATAL_ERROR "expected 358 resources and rc lines, found ${count} and ${rc_count}")
endif()

run(0 decompile ${WORK}/out ${WORK}/decompiled)
run(0 compile ${WORK}/decompiled ${WORK}/again)
foreach(file ${written})
  get_filename_component(name ${file} NAME)
  file(SHA256 ${file} first)
  file(SHA256 ${WORK}/again/${name} second)
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "${name} changed in the round trip")
  endif()
endforeach()

file(WRITE ${WORK}/out/1003.bin "abc")
run(1 decompile ${WORK}/out ${WORK}/broken)
expect_text("${stderr}" "resource 1003: error 3")
if(EXISTS ${WORK}/broken)
  message(FATAL_ERROR "a failed decompile wrote ${WORK}/broken")
endif()

# The import as a user runs it: a tree that compiles, warnings on standard
# error, the report on standard output; an error writes nothing, and a
# directory that holds a tree already is refused.
file(WRITE ${WORK}/text.json [=[{"title": "Cli", "heTitle": "שורה", "versionTitle": "merged",
  "sectionNames": ["Chapter", "Mishnah"], "text": [["אחת", ""], ["שתים ☃"]]}]=])
file(WRITE ${WORK}/stray.json [=[{"title": "Rav on Cli", "sectionNames": ["Chapter", "Mishnah", "Comment"],
  "text": [[["על אחת"]], [[], ["אין"]]]}]=])
execute_process(COMMAND ${TOOL} import --text ${WORK}/text.json ${WORK}/imported
                RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE stderr)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "import: exit ${result}\n${stderr}")
endif()
expect_text("${stderr}" "warning: ${WORK}/text.json: the library's merged file")
expect_text("${report}" "Imported 3 pair(s).")
expect_text("${report}" "U+2603 without a form in the book, written \"?\": ${WORK}/text.json 2:1 offset 5")
expect_text("${report}" "1  empty segments: ${WORK}/text.json 1:2")
run(0 compile ${WORK}/imported ${WORK}/imported_out)
run(1 import --text ${WORK}/text.json ${WORK}/imported)
expect_text("${stderr}" "already holds .txt files")
run(1 import --text ${WORK}/text.json --commentary ${WORK}/stray.json ${WORK}/refused)
expect_text("${stderr}" "comments on addresses the text does not have: 2:2")
expect_text("${stderr}" "nothing written")
if(EXISTS ${WORK}/refused)
  message(FATAL_ERROR "a failed import wrote ${WORK}/refused")
endif()
run(2 import --text ${WORK}/text.json --per page ${WORK}/refused)
