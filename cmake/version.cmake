# Writes the version header: the project's version and, in a git checkout,
# what `git describe` says of it. The header is rewritten only when that
# changes, so a build without new commits compiles nothing again.
#   cmake -DSOURCE_DIR=… -DVERSION=… -DOUT=… -P version.cmake
execute_process(
  COMMAND git -C "${SOURCE_DIR}" describe --tags --always --dirty
  OUTPUT_VARIABLE revision
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  set(revision "")
endif()
file(WRITE "${OUT}.new"
     "#pragma once\n#define TAWELA_VERSION \"${VERSION}\"\n#define TAWELA_REVISION \"${revision}\"\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
