# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The Debian architectures that converter is built for, each list on one line
# of its own for the scripts that read this file. Debian 12 has no riscv64
# archive: riscv64's .deb is built in a Debian 13 root, against Debian 13's
# C library, and its tarball links the cross toolchain's own.
set(converter_architectures amd64 arm64 armel armhf i386 mips64el mipsel ppc64el s390x riscv64)
set(converter_debian_13_only riscv64)
# Debian 13's release architectures: it dropped mips64el and mipsel, and
# added riscv64.
set(converter_debian_13 amd64 arm64 armel armhf i386 ppc64el riscv64 s390x)

# What each architecture's programs say of themselves in their ELF header:
# the class in bits, the byte order, the machine number (e_machine), and
# the bits of e_flags that choose the ABI, as a mask and the value under it.
# A program built by the wrong compiler may still run here, natively or
# under an emulator, and answer every case; only its header gives it away.
# armel and armhf are both 32-bit little-endian ARM, told apart by the float
# ABI (EABI version 5 in the top byte; 0x200 soft-float, 0x400 hard-float);
# mipsel is o32 (0x1000), mips64el n64 (neither o32 nor n32's 0x20);
# ppc64el is ELFv2 (2), riscv64 lp64d (double-float, 4).
set(converter_elf_amd64 64 little 62 0 0)
set(converter_elf_arm64 64 little 183 0 0)
set(converter_elf_armel 32 little 40 0xFF000600 0x05000200)
set(converter_elf_armhf 32 little 40 0xFF000600 0x05000400)
set(converter_elf_i386 32 little 3 0 0)
set(converter_elf_mips64el 64 little 8 0x0000F020 0)
set(converter_elf_mipsel 32 little 8 0x0000F020 0x00001000)
set(converter_elf_ppc64el 64 little 21 0x3 0x2)
set(converter_elf_s390x 64 big 22 0 0)
set(converter_elf_riscv64 64 little 243 0x6 0x4)

# The hardening flags that Debian 13's dpkg-buildflags gives each
# architecture beyond Debian 12's, and that Debian 12's compilers take too;
# a build with CONVERTER_HARDENING adds them. ABI flags such as
# -D_TIME_BITS=64 stay out: they change more than hardening.
set(converter_hardening_amd64 -fstack-clash-protection -fcf-protection)
set(converter_hardening_arm64 -fstack-clash-protection -mbranch-protection=standard)
set(converter_hardening_armel -fstack-clash-protection)
set(converter_hardening_armhf -fstack-clash-protection)
