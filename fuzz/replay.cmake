# Runs a fuzz target once on every file of a corpus folder and fails if any input crashes, trips
# a sanitizer or breaks an invariant.
#   cmake -DFUZZER=<binary> -DCORPUS=<folder> -P replay.cmake
# Globbing here rather than at configure time picks up corpus files added since.
file(GLOB inputs LIST_DIRECTORIES false "${CORPUS}/*")
list(LENGTH inputs total)
if(total EQUAL 0)
  message(FATAL_ERROR "no inputs in ${CORPUS}")
endif()

# libFuzzer confirms every input it ran to the end with an "Executed" line.
function(run_inputs)
  execute_process(COMMAND "${FUZZER}" -timeout=60 ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX MATCHALL "Executed [^\n]+ in [0-9]+ ms" ran "${out}")
  list(LENGTH ran executed)
  list(LENGTH ARGN expected)
  if(rc EQUAL 0 AND executed EQUAL expected)
    set(clean TRUE PARENT_SCOPE)
  else()
    set(clean FALSE PARENT_SCOPE)
  endif()
  set(output "${out}" PARENT_SCOPE)
  set(code "${rc}" PARENT_SCOPE)
endfunction()

# All in one process is fast; libFuzzer stops at the first failure, so only then is each input
# run on its own, to name every one that fails.
run_inputs(${inputs})
if(clean)
  message(STATUS "all ${total} inputs of ${CORPUS} ran cleanly")
  return()
endif()

set(failed "")
foreach(input IN LISTS inputs)
  run_inputs("${input}")
  if(NOT clean)
    message("---- ${input} (exit code ${code})\n${output}")
    list(APPEND failed "${input}")
  endif()
endforeach()
list(LENGTH failed nfailed)
if(nfailed EQUAL 0)
  message("---- all inputs together (exit code ${code})\n${output}")
  message(FATAL_ERROR "the inputs fail together but not one by one")
endif()
string(REPLACE ";" "\n  " names "${failed}")
message(FATAL_ERROR "${nfailed} of ${total} inputs failed:\n  ${names}")
