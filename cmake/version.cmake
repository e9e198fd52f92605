# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# converter's version, and the one place it is written: project() takes it,
# and every file name, page and package that carries it follows.
set(CONVERTER_VERSION 1.0.0)
