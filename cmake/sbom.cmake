# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# A CycloneDX 1.6 bill of materials beside an artefact, <artefact>.cdx.json,
# written by cmake/components.py from the same reading of the linker's map
# as the notices, so that the two cannot tell different stories; the program
# is read out of the artefact itself. Included by
# cmake/release-set.cmake.
#
#	sbom(<artefact> <linker map of its program> <architecture>)
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")

function(sbom artefact map arch)
    execute_process(COMMAND /usr/bin/python3 "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/components.py"
            bill "${artefact}" "${map}" "${CONVERTER_VERSION}" "${arch}" "${CONVERTER_VENDOR}"
        COMMAND_ERROR_IS_FATAL ANY)
endfunction()
