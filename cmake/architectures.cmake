# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The Debian architectures that converter is built for, each list on one line
# of its own for the scripts that read this file. Debian 12 has no riscv64
# archive to install a .deb from, so riscv64 gets the static tarball alone.
set(converter_architectures amd64 arm64 armel armhf i386 mips64el mipsel ppc64el s390x riscv64)
set(converter_tarball_only riscv64)

# What each architecture's programs say of themselves in their ELF header:
# the class in bits, the byte order and the machine number (e_machine). A
# program built by the wrong compiler may still run here, natively or under
# an emulator, and answer every case; only its header gives it away.
set(converter_elf_amd64 64 little 62)
set(converter_elf_arm64 64 little 183)
set(converter_elf_armel 32 little 40)
set(converter_elf_armhf 32 little 40)
set(converter_elf_i386 32 little 3)
set(converter_elf_mips64el 64 little 8)
set(converter_elf_mipsel 32 little 8)
set(converter_elf_ppc64el 64 little 21)
set(converter_elf_s390x 64 big 22)
set(converter_elf_riscv64 64 little 243)
