# How the Windows images are built so that a maker can ship them: the same sources give the same
# bytes, whichever folder and whenever they are built, and a Release image is small and carries
# no symbols. Included by the top-level CMakeLists.txt for the Windows builds.

# No link time stamp in the PE header, and no folder of the build machine in anything the
# compiler writes (file names of diagnostics, debug information): the source and build folders
# are both ".". The later option is tried first, so a build folder inside the sources is
# matched as itself.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)

# Release: optimised for size, unused functions and data left out. -g changes no generated
# code; the symbols it adds go into a separate file (vs_shipped_image below).
set(CMAKE_C_FLAGS_RELEASE "-Os -g -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -g -DNDEBUG")
add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)
add_link_options($<$<CONFIG:Release>:-Wl,--gc-sections>)

# The product's page, named in the signature beside the product's name.
set(VS_PRODUCT_URL https://www.vostrel.example/freeware/outlook-enclosa/)

# Signing the shipped executable: a PKCS#12 file and a file holding its password. The password
# itself never reaches a command line or this cache.
set(VS_SIGN_PKCS12 "" CACHE FILEPATH "Code-signing certificate and key (PKCS#12); empty: no signature")
set(VS_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 file's password")
set(VS_SIGN_TIMESTAMP_URL "" CACHE STRING "Time-stamp server (RFC 3161) for the signature; empty: none")
if(VS_SIGN_PKCS12)
  find_program(VS_OSSLSIGNCODE osslsigncode REQUIRED)
  foreach(file VS_SIGN_PKCS12 VS_SIGN_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}" OR IS_DIRECTORY "${${file}}")
      message(FATAL_ERROR "${file} names '${${file}}', which is not a file")
    endif()
  endforeach()
endif()

# vs_shipped_image(<target>): a Release image is linked without symbols (app/ links the same
# with symbols kept as VsEnclosaSetupBoot.debug); it is signed when a certificate is named.
function(vs_shipped_image target)
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${target} PRIVATE -s)
  endif()
  if(VS_SIGN_PKCS12)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${VS_OSSLSIGNCODE} -DIMAGE=$<TARGET_FILE:${target}>
              -DPKCS12=${VS_SIGN_PKCS12} -DPASSWORD_FILE=${VS_SIGN_PASSWORD_FILE}
              -DTIMESTAMP_URL=${VS_SIGN_TIMESTAMP_URL}
              "-DNAME=Vostrel Outlook Enclosa" -DURL=${VS_PRODUCT_URL}
              -P ${CMAKE_SOURCE_DIR}/cmake/SignImage.cmake
      COMMENT "Signing ${target}"
      VERBATIM)
  endif()
endfunction()
