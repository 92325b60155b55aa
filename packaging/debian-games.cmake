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
