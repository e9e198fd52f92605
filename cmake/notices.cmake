# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The notices that a program linked with other people's code must carry: what
# it embeds, from which Debian package and version, where that source is to be
# had, and each licence in full. Run after the link, by the notices target:
#
#	cmake -DMAP=<linker map> -DOUTPUT=<file> -P cmake/notices.cmake
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/link-components.cmake")
link_components("${MAP}" part)
string(REGEX REPLACE "^.*<(.*)>$" "\\1" address "${CONVERTER_CONTACT}")

# Debian's snapshot service keeps every version that the archive ever had.
function(source_where out name version)
    string(REPLACE "+" "%2B" quoted "${version}")
    set(${out} "https://snapshot.debian.org/package/${name}/${quoted}/\n             apt-get source ${name}=${version}" PARENT_SCOPE)
endfunction()

set(out "THIRD-PARTY NOTICES

converter itself is under the MIT licence (see LICENSE). This program was
linked statically, and so it also contains code from the parts below, which
come from Debian's packages and stay under their own licences. Each part's
Debian copyright file, and the licences it refers to, follow in full.
")
set(texts "")
set(lgpl FALSE)
math(EXPR last "${part_count} - 1")
foreach(i RANGE ${last})
    math(EXPR n "${i} + 1")
    list(JOIN part_${i}_files ", " files)
    source_where(where "${part_${i}_origin}" "${part_${i}_origin_version}")
    string(APPEND out "
${n}. ${part_${i}_origin} ${part_${i}_origin_version}
   Licence:  ${part_${i}_licence}
   Package:  ${part_${i}_package} ${part_${i}_version}, built from the source package ${part_${i}_source} ${part_${i}_source_version}
   Embedded: ${files}
   Source:   ${where}
")
    if(NOT part_${i}_source STREQUAL part_${i}_origin)
        source_where(where "${part_${i}_source}" "${part_${i}_source_version}")
        string(APPEND out "   Built by: ${where}\n")
    endif()
    list(APPEND texts ${part_${i}_texts})
    if(part_${i}_licence MATCHES "LGPL")
        set(lgpl TRUE)
    endif()
endforeach()

if(lgpl)
    string(APPEND out "
The GNU C Library is under the GNU Lesser General Public License, version 2.1
or later, whose text follows. It lets you change the library and relink
converter with your copy. converter's complete source, from which this
program builds byte for byte, is published with it; build the tarball again
with `cmake --workflow --preset package-tarball` against your library. The
library's own source is at the addresses above. For at least three years
from this release ${CONVERTER_VENDOR} will also give anyone who asks the
complete corresponding source of these parts, for no more than the cost of
sending it: write to ${address}.
")
endif()

foreach(i RANGE ${last})
    file(READ "${part_${i}_copyright}" copyright)
    string(APPEND out "

==============================================================================
${part_${i}_package}: ${part_${i}_copyright}
==============================================================================

${copyright}")
endforeach()
list(REMOVE_DUPLICATES texts)
foreach(text IN LISTS texts)
    file(READ "/usr/share/common-licenses/${text}" licence)
    string(APPEND out "

==============================================================================
${text}: /usr/share/common-licenses/${text}
==============================================================================

${licence}")
endforeach()
file(WRITE "${OUTPUT}" "${out}")
