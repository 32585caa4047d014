# Writes a book source tree of PAIRS pairs into OUT for the book-file tests
# and the benchmark: the pair files of the edition in EDITION, taken in turn
# and named for their new places, its outline, and a book.txt with ID and
# TITLE. Usage: cmake -DEDITION=dir -DOUT=dir -DPAIRS=n -DID=id -DTITLE=t -P make_book_source.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/book.txt "id: ${ID}\ntitle: ${TITLE}\ntext.title: ${TITLE}\ntext.license: CC0-1.0\n")
configure_file(${EDITION}/index.txt ${OUT}/index.txt COPYONLY)
set(edition_pairs 178)
math(EXPR last "${PAIRS} - 1")
foreach(pair RANGE 0 ${last})
  math(EXPR from "(${pair} % ${edition_pairs}) * 2 + 1")
  math(EXPR to "${pair} * 2 + 1")
  foreach(kind from to)
    string(LENGTH "${${kind}}" digits)
    set(${kind}_name "${${kind}}")
    while(digits LESS 3)
      set(${kind}_name "0${${kind}_name}")
      math(EXPR digits "${digits} + 1")
    endwhile()
  endforeach()
  configure_file(${EDITION}/${from_name}.txt ${OUT}/${to_name}.txt COPYONLY)
endforeach()
