# Writes the version header: the project's version and, in a git checkout,
# what `git describe` says of it. The header is rewritten only when that
# changes, so a build without new commits compiles nothing again.
#   cmake -DSOURCE_DIR=… -DVERSION=… -DOUT=… -P version.cmake
#
# `describe --dirty` refreshes the index it looks at, which would rewrite
# the checkout's .git/index at every build: it is given a private copy.
execute_process(
  COMMAND git -C "${SOURCE_DIR}" rev-parse --path-format=absolute --git-path index
  OUTPUT_VARIABLE index
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET
  RESULT_VARIABLE status)
set(revision "")
if(status EQUAL 0)
  set(private_index "${OUT}.index")
  if(EXISTS "${index}")
    file(COPY_FILE "${index}" "${private_index}")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "GIT_INDEX_FILE=${private_index}"
            git --no-optional-locks -C "${SOURCE_DIR}" describe --tags --always --dirty
    OUTPUT_VARIABLE revision
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE status)
  file(REMOVE "${private_index}" "${private_index}.lock")
  if(NOT status EQUAL 0)
    set(revision "")
  endif()
endif()
file(WRITE "${OUT}.new"
     "#pragma once\n#define TAWELA_VERSION \"${VERSION}\"\n#define TAWELA_REVISION \"${revision}\"\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
