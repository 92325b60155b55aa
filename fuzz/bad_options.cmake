# mogumo_fuzz refuses a bad command line with a message and exit status 2:
#   cmake -DFUZZ=path/to/mogumo_fuzz -P bad_options.cmake
# Each case: the arguments (separated by `|`) and what the message must say.
set(cases
    "--seed|abc@--seed takes a whole number from 0 to 18446744073709551615, not 'abc'"
    "--steps|18446744073709551616@--steps takes a whole number"
    "--case@--case needs a value"
    "--seeds|5@unknown option --seeds")
foreach(case IN LISTS cases)
    string(REPLACE "@" ";" parts "${case}")
    list(GET parts 0 args)
    list(GET parts 1 expected)
    string(REPLACE "|" ";" args "${args}")
    execute_process(COMMAND "${FUZZ}" ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(FIND "${err}" "${expected}" at)
    if(NOT status STREQUAL "2" OR at EQUAL -1 OR NOT out STREQUAL "")
        message(SEND_ERROR "mogumo_fuzz ${args}: exit ${status}, said: ${err}${out}")
    endif()
endforeach()
