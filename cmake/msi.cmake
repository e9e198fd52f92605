# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The Windows installer MSI, built from the files installed into STAGE by
# Debian's wixl and msitools: the same bytes from every build of one source.
# Run by the msi target, which passes VERSION, VENDOR, SUMMARY and
# UPGRADE_CODE, and SOURCE_DATE_EPOCH in the environment.
foreach(tool IN ITEMS wixl msibuild faketime)
    find_program(${tool}_path ${tool})
    if(NOT ${tool}_path)
        message(FATAL_ERROR "${tool} is missing: install the Debian packages "
            "wixl, msitools and faketime")
    endif()
endforeach()

cmake_path(GET STAGE PARENT_PATH work)

# Each version has its own product code, derived from the version rather
# than drawn, so that a rebuild gives the same code.
string(UUID product_code NAMESPACE "${UPGRADE_CODE}"
    NAME "ProductCode ${VERSION}" TYPE SHA1 UPPER)
configure_file("${CMAKE_CURRENT_LIST_DIR}/windows/converter.wxs.in"
    "${work}/converter.wxs" @ONLY)

# wixl stamps the database with the time it runs and the cabinet with each
# file's time in local time: all of them SOURCE_DATE_EPOCH, in UTC. faketime
# -f holds the clock still; without it the clock starts there and runs, and a
# slow build stamps other seconds.
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)
file(GLOB staged "${STAGE}/*")
execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" ${staged}
    COMMAND_ERROR_IS_FATAL ANY)
set(frozen env TZ=UTC0 "${faketime_path}" -f "${clock}")
# Built beside the stage, so that only a whole installer reaches MSI.
set(built "${work}/converter.msi")
file(REMOVE "${built}")
execute_process(
    COMMAND ${frozen} "${wixl_path}" --arch x86 -o "${built}" "${work}/converter.wxs"
    WORKING_DIRECTORY "${STAGE}"
    COMMAND_ERROR_IS_FATAL ANY)

# wixl knows no Environment element. The row that WiX would write for
# <Environment Name="PATH" Value="[INSTALLDIR]" Part="last" System="yes"
# Permanent="no">: "=-*" sets a system variable on install and takes its own
# part out again on removal, "[~];" appends to what is there.
file(WRITE "${work}/Environment.idt"
    "Environment\tName\tValue\tComponent_\n"
    "s72\tl255\tL255\ts72\n"
    "Environment\tEnvironment\n"
    "PATH\t=-*PATH\t[~];[INSTALLDIR]\tProgram\n")
execute_process(
    COMMAND ${frozen} "${msibuild_path}" "${built}"
        -i "${work}/Environment.idt"
        -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('RemoveEnvironmentStrings', 3300)"
        -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('WriteEnvironmentStrings', 5200)"
        -s "converter ${VERSION}" "${VENDOR}" "Intel;1033"
            "{00000000-0000-0000-0000-000000000000}"
    COMMAND_ERROR_IS_FATAL ANY)

# Windows Installer takes two .msi files with one package code for the very
# same package, so any change of content needs a code of its own: derived
# from every byte of the installer as built with a blank one, a rebuild
# gives the same code.
file(SHA256 "${built}" content)
string(UUID package_code NAMESPACE "${UPGRADE_CODE}"
    NAME "PackageCode ${content}" TYPE SHA1 UPPER)
execute_process(
    COMMAND ${frozen} "${msibuild_path}" "${built}"
        -s "converter ${VERSION}" "${VENDOR}" "Intel;1033" "{${package_code}}"
    COMMAND_ERROR_IS_FATAL ANY)
cmake_path(GET MSI PARENT_PATH packages)
file(MAKE_DIRECTORY "${packages}")
file(COPY_FILE "${built}" "${MSI}")
