// SPDX-FileCopyrightText: 2026 The converter authors
// SPDX-License-Identifier: MIT

int main()
{
	return 0;
}
