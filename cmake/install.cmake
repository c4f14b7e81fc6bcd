# Install layout: the program in bin/ and, on POSIX, its stand-ins for the
# Windows utilities in lib/kolm_subtotal/system32/, the same relative places
# as in the build tree; the program finds them from its own location.
install(TARGETS kolm_subtotal RUNTIME DESTINATION bin)

if(NOT WIN32)
    foreach(utility_name IN ITEMS cmd sort find)
        install(PROGRAMS $<TARGET_FILE:kolm_posix_utility>
            DESTINATION ${KOLM_SYSTEM_DIR_REL}
            RENAME ${utility_name}.exe)
    endforeach()
    set(KOLM_DOC_DIR share/doc/kolm_subtotal)
else()
    set(KOLM_DOC_DIR .)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${KOLM_DOC_DIR} OPTIONAL)
