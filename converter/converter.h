// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

#ifndef CONVERTER_CONVERTER_H
#define CONVERTER_CONVERTER_H

#include <optional>

// The process exit status: 0 until an outcome says otherwise, returned by main.
extern int exit_status;

// Prints the one line that answers a conversion request. An empty temperature
// means the command line held no number where one was due.
void convert_and_report(char letter, std::optional<double> temperature);

#endif
