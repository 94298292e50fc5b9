# Authenticode signing of the libraries that the viewer only loads after checking their signature.
include_guard(GLOBAL)
# The build makes its own code-signing certificate in the build folder; it is never committed.

# Cached, so that every folder that signs sees them after the one include.
set(LUMENFOLD_SIGNING_DIR "${CMAKE_BINARY_DIR}/signing" CACHE INTERNAL "")
set(LUMENFOLD_SIGNING_KEY "${LUMENFOLD_SIGNING_DIR}/codesign.key" CACHE INTERNAL "")
set(LUMENFOLD_SIGNING_CERT "${LUMENFOLD_SIGNING_DIR}/codesign.crt" CACHE INTERNAL "")

find_program(LUMENFOLD_OPENSSL openssl REQUIRED)
find_program(LUMENFOLD_OSSLSIGNCODE osslsigncode REQUIRED)

add_custom_command(
  OUTPUT "${LUMENFOLD_SIGNING_KEY}" "${LUMENFOLD_SIGNING_CERT}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${LUMENFOLD_SIGNING_DIR}"
  COMMAND "${LUMENFOLD_OPENSSL}" req -x509 -newkey rsa:2048 -nodes -days 3650 -sha256
          -subj "/CN=Lumenfold build signing" -addext "extendedKeyUsage=codeSigning"
          -keyout "${LUMENFOLD_SIGNING_KEY}" -out "${LUMENFOLD_SIGNING_CERT}"
  COMMENT "Making the build's code-signing certificate"
  VERBATIM)
add_custom_target(lumenfold_signing_certificate DEPENDS "${LUMENFOLD_SIGNING_KEY}" "${LUMENFOLD_SIGNING_CERT}")

# Signs the target's file in place after every link.
function(lumenfold_sign target)
  add_dependencies(${target} lumenfold_signing_certificate)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${LUMENFOLD_OSSLSIGNCODE}" sign -certs "${LUMENFOLD_SIGNING_CERT}" -key "${LUMENFOLD_SIGNING_KEY}"
            -n Lumenfold -h sha256 -in "$<TARGET_FILE:${target}>" -out "$<TARGET_FILE:${target}>.signed"
    COMMAND "${CMAKE_COMMAND}" -E rename "$<TARGET_FILE:${target}>.signed" "$<TARGET_FILE:${target}>"
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()
