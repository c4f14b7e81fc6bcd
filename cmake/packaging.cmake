# Packages of what `cmake --install` puts in place: a .tar.gz and a .deb of
# the Linux build, a .zip of the Windows build (the .exe and the README).
set(CPACK_PACKAGE_NAME kolm_subtotal)
set(CPACK_PACKAGE_VENDOR "Quorvex")
set(CPACK_PACKAGE_CONTACT "Quorvex <kolm_subtotal@quorvex.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorvex.example/kolm_subtotal")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win64)
else()
    set(CPACK_GENERATOR TGZ DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    # The library versions the program needs, from the binary itself.
    find_program(KOLM_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(KOLM_DPKG_SHLIBDEPS)
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    else()
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
    endif()
endif()

include(CPack)
