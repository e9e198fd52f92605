# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The Debian architectures that converter is built for, each on one line of
# its own for the scripts that read this list. Debian 12 has no riscv64
# archive to install a .deb from, so riscv64 gets the static tarball alone.
set(converter_architectures amd64 arm64 armel armhf i386 mips64el mipsel ppc64el s390x riscv64)
set(converter_tarball_only riscv64)
