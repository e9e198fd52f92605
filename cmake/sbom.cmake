# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# A CycloneDX 1.6 bill of materials beside an artefact, <artefact>.cdx.json:
# the artefact with its SHA-256, version and licence, and the program in it
# with its own; every part of other people's code that the link took into
# its program, with Debian source package, version, licence and purl; and
# for a .deb, what it depends on at run time. No clock goes in, and the serial number comes from the content,
# so that one artefact gives one document. Included by cmake/release.cmake.
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/link-components.cmake")

function(_sbom_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    string(REPLACE "\t" "\\t" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# A property, as "name": "value" pairs, to go into a list.
function(_sbom_property out name value)
    _sbom_string(value "${value}")
    set(${out} "        { \"name\": \"converter:${name}\", \"value\": ${value} }" PARENT_SCOPE)
endfunction()

function(_sbom_purl out name version qualifier)
    set(purl "pkg:deb/debian/${name}")
    if(version)
        string(REPLACE "+" "%2B" version "${version}")
        string(REPLACE "~" "%7E" version "${version}")
        string(APPEND purl "@${version}")
    endif()
    set(${out} "${purl}?${qualifier}" PARENT_SCOPE)
endfunction()

function(_sbom_component out ref name version description licence purl properties)
    foreach(field IN ITEMS ref name version description purl)
        _sbom_string(${field} "${${field}}")
    endforeach()
    list(JOIN properties ",\n" properties)
    string(CONCAT component
        "    {\n"
        "      \"type\": \"library\",\n"
        "      \"bom-ref\": ${ref},\n"
        "      \"name\": ${name},\n")
    if(NOT version STREQUAL "\"\"")
        string(APPEND component "      \"version\": ${version},\n")
    endif()
    string(APPEND component
        "      \"description\": ${description},\n"
        "      \"scope\": \"required\",\n")
    if(licence)
        _sbom_string(licence "${licence}")
        string(APPEND component
            "      \"licenses\": [ { \"expression\": ${licence} } ],\n")
    endif()
    string(APPEND component
        "      \"purl\": ${purl},\n"
        "      \"properties\": [\n${properties}\n      ]\n"
        "    }")
    set(${out} "${component}" PARENT_SCOPE)
endfunction()

# The program as <artefact> holds it, taken out of it: its path there into
# <name>, its SHA-256 into <sha256>. An installer is no archive that cmake
# reads; for it, <program> names the very file that it took in.
function(_sbom_program artefact program name_var sha256_var)
    cmake_path(GET artefact FILENAME file)
    set(work "${top}/build/sbom-program")
    file(REMOVE_RECURSE "${work}")
    if(file MATCHES "\\.msi$")
        set(name "converter.exe")
        set(found "${program}")
    elseif(file MATCHES "\\.deb$")
        set(name "usr/bin/converter")
        file(ARCHIVE_EXTRACT INPUT "${artefact}" DESTINATION "${work}/deb")
        file(GLOB data "${work}/deb/data.tar.*")
        file(ARCHIVE_EXTRACT INPUT "${data}" DESTINATION "${work}/data")
        set(found "${work}/data/${name}")
    else()
        file(ARCHIVE_EXTRACT INPUT "${artefact}" DESTINATION "${work}")
        file(GLOB found "${work}/*/bin/converter" "${work}/*/converter.exe")
        if(found MATCHES "converter\\.exe$")
            set(name "converter.exe")
        else()
            set(name "bin/converter")
        endif()
    endif()
    if(NOT EXISTS "${found}")
        message(FATAL_ERROR "${file} holds no program where it should: ${name}")
    endif()
    file(SHA256 "${found}" sum)
    file(REMOVE_RECURSE "${work}")
    set(${name_var} "${name}" PARENT_SCOPE)
    set(${sha256_var} "${sum}" PARENT_SCOPE)
endfunction()

# sbom(<artefact> <linker map of its program> <version> <architecture>
#      [<the program that an installer took in>])
function(sbom artefact map version arch)
    cmake_path(GET artefact FILENAME file)
    file(SHA256 "${artefact}" sha256)
    link_components("${map}" part)
    _sbom_program("${artefact}" "${ARGN}" program program_sha256)

    set(components "")
    set(refs "")
    math(EXPR last "${part_count} - 1")
    foreach(i RANGE ${last})
        list(JOIN part_${i}_files ", " files)
        set(description "Linked into the program: ${files}.")
        if(part_${i}_cross AND part_${i}_origin STREQUAL "glibc")
            string(APPEND description " This is the cross toolchain's own copy "
                "of the C library, not the archive's current libc6-dev for "
                "${arch}, which multiarch could not install on the build machine.")
        endif()
        _sbom_purl(purl "${part_${i}_origin}" "${part_${i}_origin_version}" "arch=source")
        _sbom_property(embedded relationship "embedded")
        _sbom_property(binary debian-binary-package "${part_${i}_package} ${part_${i}_version}")
        _sbom_property(source debian-source-package "${part_${i}_source} ${part_${i}_source_version}")
        _sbom_component(component "${part_${i}_package}" "${part_${i}_origin}"
            "${part_${i}_origin_version}" "${description}" "${part_${i}_licence}"
            "${purl}" "${embedded};${binary};${source}")
        list(APPEND components "${component}")
        list(APPEND refs "${part_${i}_package}")
    endforeach()

    # A .deb's program finds the rest at run time, in the packages that its
    # Depends names: depended on, not embedded.
    if(file MATCHES "\\.deb$")
        execute_process(COMMAND dpkg-deb -f "${artefact}" Depends
            OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
        string(REPLACE ", " ";" depends "${depends}")
        foreach(dependency IN LISTS depends)
            if(NOT dependency MATCHES "^([a-z0-9.+-]+)( \\(([^)]+)\\))?$")
                message(FATAL_ERROR "${file}: cannot read the dependency '${dependency}'")
            endif()
            set(name "${CMAKE_MATCH_1}")
            set(constraint "${CMAKE_MATCH_3}")
            _sbom_purl(purl "${name}" "" "arch=${arch}")
            _sbom_property(relationship relationship "runtime dependency (Depends)")
            set(properties "${relationship}")
            if(constraint)
                _sbom_property(constraint version-constraint "${constraint}")
                list(APPEND properties "${constraint}")
            endif()
            _sbom_component(component "depends:${name}" "${name}" ""
                "Installed beside the program: the .deb depends on it." ""
                "${purl}" "${properties}")
            list(APPEND components "${component}")
            list(APPEND refs "depends:${name}")
        endforeach()
    endif()

    list(JOIN components ",\n" components)
    set(depends_on "")
    foreach(ref IN LISTS refs)
        _sbom_string(ref "${ref}")
        list(APPEND depends_on "${ref}")
    endforeach()
    list(JOIN depends_on ", " depends_on)
    _sbom_string(file_json "${file}")
    _sbom_string(arch_json "${arch}")
    _sbom_string(summary "Converts one temperature between Celsius and Fahrenheit (${file})")
    string(CONCAT body
        "  \"version\": 1,\n"
        "  \"metadata\": {\n"
        "    \"component\": {\n"
        "      \"type\": \"application\",\n"
        "      \"bom-ref\": \"converter\",\n"
        "      \"supplier\": { \"name\": \"${CONVERTER_VENDOR}\" },\n"
        "      \"name\": \"converter\",\n"
        "      \"version\": \"${version}\",\n"
        "      \"description\": ${summary},\n"
        "      \"licenses\": [ { \"license\": { \"id\": \"MIT\" } } ],\n"
        "      \"hashes\": [ { \"alg\": \"SHA-256\", \"content\": \"${sha256}\" } ],\n"
        "      \"components\": [\n"
        "        {\n"
        "          \"type\": \"file\",\n"
        "          \"bom-ref\": \"program\",\n"
        "          \"name\": \"${program}\",\n"
        "          \"description\": \"The program, as the artefact holds it.\",\n"
        "          \"hashes\": [ { \"alg\": \"SHA-256\", \"content\": \"${program_sha256}\" } ]\n"
        "        }\n"
        "      ],\n"
        "      \"properties\": [\n"
        "        { \"name\": \"converter:file\", \"value\": ${file_json} },\n"
        "        { \"name\": \"converter:architecture\", \"value\": ${arch_json} }\n"
        "      ]\n"
        "    }\n"
        "  },\n"
        "  \"components\": [\n${components}\n  ],\n"
        "  \"dependencies\": [\n"
        "    { \"ref\": \"converter\", \"dependsOn\": [ ${depends_on} ] }\n"
        "  ]\n")
    string(SHA1 digest "${body}")
    string(UUID serial NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8
        NAME "sbom:${digest}" TYPE SHA1)
    string(CONCAT document
        "{\n"
        "  \"bomFormat\": \"CycloneDX\",\n"
        "  \"specVersion\": \"1.6\",\n"
        "  \"serialNumber\": \"urn:uuid:${serial}\",\n"
        "${body}"
        "}\n")
    # Malformed JSON stops here, not in a scanner.
    string(JSON type ERROR_VARIABLE error TYPE "${document}")
    if(error)
        message(FATAL_ERROR "The bill of materials for ${file} is not JSON: ${error}")
    endif()
    file(WRITE "${artefact}.cdx.json" "${document}")
endfunction()
