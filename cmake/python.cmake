# quorvel_require_python(WHAT IMPORT PACKAGES): stops configuring with one clear line when
# Debian's own /usr/bin/python3, which the page's build tools run on, cannot import IMPORT.
function(quorvel_require_python what import packages)
    execute_process(COMMAND /usr/bin/python3 -c "import ${import}"
                    RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
    if(missing)
        message(FATAL_ERROR "${what} missing from /usr/bin/python3: install Debian's ${packages} "
                            "(scripts/build-web does)")
    endif()
endfunction()
