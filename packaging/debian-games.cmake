# Run by CPack on its staging tree just before it makes a package. Debian
# keeps the programs of games in /usr/games, so the Debian package moves ours
# there from /usr/bin, where `cmake --install` puts them everywhere else.
# /usr/games is on Debian's default PATH, so the menu entry's `Exec=mogumo`
# still finds the game. The help pages are registered with doc-base, which
# names them by their place in the package.

if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(usr "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB programs "${usr}/bin/*")
file(MAKE_DIRECTORY "${usr}/games")
foreach(program IN LISTS programs)
    get_filename_component(name "${program}" NAME)
    file(RENAME "${program}" "${usr}/games/${name}")
endforeach()
file(REMOVE_RECURSE "${usr}/bin")
file(MAKE_DIRECTORY "${usr}/share/doc-base")
file(COPY_FILE "${CPACK_MOGUMO_SOURCE_DIR}/packaging/mogumo-help.doc-base" "${usr}/share/doc-base/mogumo-help")

# Stripped as Debian strips programs: no .comment and no .note section.
if(CPACK_MOGUMO_STRIP)
    foreach(program IN LISTS programs)
        get_filename_component(name "${program}" NAME)
        execute_process(COMMAND "${CPACK_MOGUMO_STRIP}" --remove-section=.comment --remove-section=.note
                                "${usr}/games/${name}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()

# CPack dates every file and the archives by SOURCE_DATE_EPOCH: the time of
# the last commit unless the caller says another, so that two builds of one
# commit make the same package byte for byte.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_MOGUMO_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    endif()
endif()
