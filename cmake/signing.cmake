# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Signatures for the release set, made at SOURCE_DATE_EPOCH so that one key
# gives one set of bytes, and the SHA256SUMS they cover. Included by
# cmake/release-set.cmake; a release_fail stops a release. The keys come from
# the environment, never from the repository:
#
#   CONVERTER_OPENPGP_KEY          a key's fingerprint in GNUPGHOME: signs
#                                  SHA256SUMS (SHA256SUMS.asc)
#   CONVERTER_AUTHENTICODE_CERT    PEM certificate (chain) and its key:
#   CONVERTER_AUTHENTICODE_KEY     Authenticode, SHA-256, for the Windows
#                                  program and the installer
#   CONVERTER_RELEASE_SIGNATURES   a published release directory: its
#                                  Authenticode signatures are attached to
#                                  this build's own program and installer,
#                                  which then are the published bytes
#
# osslsigncode's releases encode a signature differently (2.5 and 2.9 give
# other bytes for one key), so signing and attaching are pinned to the
# version Debian 12 ships, 2.5.

include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")

# Every key, published release and repository comes in from the environment,
# each into the variable of its name, empty where it is unset.
foreach(name IN ITEMS CONVERTER_OPENPGP_KEY CONVERTER_AUTHENTICODE_CERT CONVERTER_AUTHENTICODE_KEY
        CONVERTER_RELEASE_SIGNATURES CONVERTER_APT_REPOSITORY)
    set(${name} "$ENV{${name}}")
endforeach()

# Runs the command <ARGN>; where it fails, <fail> (release_fail or
# apt_repository_fail) stops with <why> and what the command said.
function(signing_run fail why)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        cmake_language(CALL ${fail} "${why}: ${out}")
    endif()
endfunction()

# The release key's public half, as apt and the README's check read it; where
# gpg cannot give it, <fail> stops.
function(openpgp_export_key file fail)
    execute_process(COMMAND gpg --batch --export "${CONVERTER_OPENPGP_KEY}"
        OUTPUT_FILE "${file}" RESULT_VARIABLE rc)
    file(SIZE "${file}" size)
    if(NOT rc EQUAL 0 OR size EQUAL 0)
        cmake_language(CALL ${fail} "gpg could not export CONVERTER_OPENPGP_KEY ${CONVERTER_OPENPGP_KEY}")
    endif()
endfunction()

# Everything the signatures need, checked before anything is built: a release
# either signs completely or stops with one line.
function(signing_check)
    if(CONVERTER_OPENPGP_KEY)
        execute_process(COMMAND gpg --batch --list-secret-keys --with-colons
                "${CONVERTER_OPENPGP_KEY}"
            RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
        if(NOT rc EQUAL 0)
            release_fail("CONVERTER_OPENPGP_KEY ${CONVERTER_OPENPGP_KEY} has no "
                "secret key in GNUPGHOME ($ENV{GNUPGHOME})")
        endif()
    endif()
    if(CONVERTER_AUTHENTICODE_CERT OR CONVERTER_AUTHENTICODE_KEY)
        if(NOT CONVERTER_AUTHENTICODE_CERT OR NOT CONVERTER_AUTHENTICODE_KEY)
            release_fail("Authenticode needs both CONVERTER_AUTHENTICODE_CERT "
                "and CONVERTER_AUTHENTICODE_KEY")
        endif()
        if(CONVERTER_RELEASE_SIGNATURES)
            release_fail("CONVERTER_RELEASE_SIGNATURES attaches published "
                "signatures; it does not go with an Authenticode key")
        endif()
        # The certificate's public key, and the one the private key gives.
        execute_process(COMMAND openssl x509 -noout -pubkey
                -in "${CONVERTER_AUTHENTICODE_CERT}"
            OUTPUT_VARIABLE certified RESULT_VARIABLE rc_cert ERROR_QUIET)
        execute_process(COMMAND openssl pkey -pubout
                -in "${CONVERTER_AUTHENTICODE_KEY}" -passin pass:
            OUTPUT_VARIABLE held RESULT_VARIABLE rc_key ERROR_QUIET)
        if(NOT rc_cert EQUAL 0)
            release_fail("CONVERTER_AUTHENTICODE_CERT ${CONVERTER_AUTHENTICODE_CERT} "
                "is not a PEM certificate")
        elseif(NOT rc_key EQUAL 0)
            release_fail("CONVERTER_AUTHENTICODE_KEY ${CONVERTER_AUTHENTICODE_KEY} "
                "is not an unencrypted PEM private key")
        elseif(NOT certified STREQUAL held)
            release_fail("CONVERTER_AUTHENTICODE_KEY does not belong to the "
                "certificate in ${CONVERTER_AUTHENTICODE_CERT}")
        endif()
    endif()
    if(CONVERTER_RELEASE_SIGNATURES AND NOT IS_DIRECTORY "${CONVERTER_RELEASE_SIGNATURES}")
        release_fail("CONVERTER_RELEASE_SIGNATURES ${CONVERTER_RELEASE_SIGNATURES} "
            "is not a directory")
    endif()
endfunction()

# The machine that signs or attaches has the osslsigncode that gives the
# published bytes.
function(signing_tools_check)
    if(CONVERTER_AUTHENTICODE_CERT OR CONVERTER_RELEASE_SIGNATURES)
        execute_process(COMMAND osslsigncode --version
            OUTPUT_VARIABLE version ERROR_VARIABLE version RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0 OR NOT version MATCHES "^osslsigncode 2\\.5[ ,\n]")
            string(REGEX MATCH "^[^\n]*" version "${version}")
            release_fail("Authenticode needs osslsigncode 2.5, Debian 12's; "
                "found: ${version}")
        endif()
    endif()
endfunction()

# Signs <file> in place, or attaches the published signature to it, and puts
# the detached signature <name> into <packages>. Without keys or published
# signatures it does nothing.
function(authenticode file name packages epoch)
    set(signed "${file}.signed")
    file(REMOVE "${signed}")
    if(CONVERTER_AUTHENTICODE_CERT)
        signing_run(release_fail "osslsigncode could not sign ${file}" osslsigncode sign
            -certs "${CONVERTER_AUTHENTICODE_CERT}" -key "${CONVERTER_AUTHENTICODE_KEY}"
            -h sha256 -n converter -time "${epoch}" -in "${file}" -out "${signed}")
        signing_run(release_fail "osslsigncode could not extract the signature of ${file}"
            osslsigncode extract-signature -pem -in "${signed}" -out "${packages}/${name}")
    elseif(CONVERTER_RELEASE_SIGNATURES)
        set(published "${CONVERTER_RELEASE_SIGNATURES}/${name}")
        if(NOT EXISTS "${published}")
            release_fail("${published} is missing: the published release has no "
                "signature for ${file}")
        endif()
        # osslsigncode checks the signature's digest against the file, and
        # the chain against the CAs it is given, which fails for a key of
        # one's own; it writes the file either way. Only the digest counts.
        # The CAs are the signature's own certificates: without any, as on a
        # machine without ca-certificates, it stops before the digest.
        set(certificates "${file}.certificates")
        execute_process(COMMAND openssl pkcs7 -print_certs -in "${published}"
                -out "${certificates}"
            OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            release_fail("${published} is not an Authenticode signature (PKCS #7, PEM)")
        endif()
        execute_process(COMMAND osslsigncode attach-signature -sigin "${published}"
                -CAfile "${certificates}" -in "${file}" -out "${signed}"
            OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
        file(REMOVE "${certificates}")
        set(digest "Calculated (message digest|DigitalSignature) *:")
        if(NOT EXISTS "${signed}" OR NOT out MATCHES "${digest}"
                OR out MATCHES "${digest}[^\n]*MISMATCH")
            file(REMOVE "${signed}")
            release_fail("${published} is not a signature of this build's "
                "${file}: was the release built from another commit?")
        endif()
        file(COPY_FILE "${published}" "${packages}/${name}")
    else()
        return()
    endif()
    file(RENAME "${signed}" "${file}")
endfunction()

# SHA256SUMS.asc: an armored, detached OpenPGP signature, made at <epoch>.
function(openpgp_sign sums epoch)
    if(CONVERTER_OPENPGP_KEY)
        # gpg refuses to sign at a time before its key existed.
        set(why "gpg could not sign ${sums} with ${CONVERTER_OPENPGP_KEY} at ${epoch}")
        signing_run(release_fail "${why} (a release key must predate the version's date)"
            gpg --batch --yes --no-tty --faked-system-time "${epoch}!" --local-user "${CONVERTER_OPENPGP_KEY}"
            --armor --detach-sign --output "${sums}.asc" "${sums}")
        # Beside it, the key's public half that checks it, which the sums
        # do not list: whoever holds the key could make both.
        cmake_path(GET sums PARENT_PATH dir)
        converter_artefact(release-key "" key)
        openpgp_export_key("${dir}/${key}" release_fail)
    endif()
endfunction()

# SHA256SUMS, the list that the OpenPGP signature covers, written and read
# here alone. Written: of every file in <packages>.
function(sha256sums_write packages)
    file(GLOB files RELATIVE "${packages}" "${packages}/*")
    list(SORT files)
    execute_process(COMMAND sha256sum -- ${files} WORKING_DIRECTORY "${packages}"
        OUTPUT_FILE "${packages}/SHA256SUMS" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Read: the files that <sums> names into <prefix>, each one's sum into
# <prefix>_<name>.
function(sha256sums_read sums prefix)
    file(STRINGS "${sums}" lines)
    set(names "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^([0-9a-f]+)  (.+)$")
            list(APPEND names "${CMAKE_MATCH_2}")
            set(${prefix}_${CMAKE_MATCH_2} "${CMAKE_MATCH_1}" PARENT_SCOPE)
        endif()
    endforeach()
    set(${prefix} "${names}" PARENT_SCOPE)
endfunction()

# A rebuild is the published release only if its sums are the very same;
# then the published signature of them holds for it too.
function(published_sums_check sums)
    if(NOT CONVERTER_RELEASE_SIGNATURES)
        return()
    endif()
    sha256sums_read("${CONVERTER_RELEASE_SIGNATURES}/SHA256SUMS" published)
    sha256sums_read("${sums}" rebuilt)
    set(differ "")
    foreach(name IN LISTS published rebuilt)
        if(NOT "${published_${name}}" STREQUAL "${rebuilt_${name}}")
            list(APPEND differ "${name}")
        endif()
    endforeach()
    if(differ)
        list(REMOVE_DUPLICATES differ)
        list(SORT differ)
        list(JOIN differ " " differ)
        release_fail("The rebuild differs from the release in "
            "${CONVERTER_RELEASE_SIGNATURES}: ${differ}")
    endif()
    cmake_path(GET sums PARENT_PATH dir)
    converter_artefact(release-key "" key)
    foreach(name IN ITEMS SHA256SUMS.asc "${key}")
        if(EXISTS "${CONVERTER_RELEASE_SIGNATURES}/${name}")
            file(COPY_FILE "${CONVERTER_RELEASE_SIGNATURES}/${name}" "${dir}/${name}")
        endif()
    endforeach()
endfunction()
