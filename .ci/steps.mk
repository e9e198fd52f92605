# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT
#
# Which step of CI waits for which. .ci/run runs this with make -j4, and
# each step is its function of the same name. Three chains run beside each
# other: the packages, the release, and the checks, in the order they have
# always run in. The fourth job is the apt repository's check, which waits
# on the network and dpkg more than on the two CPUs, from the moment the
# release is signed and the last install is done.

steps := readme release-packages cross-setup other-packages signed-release rebuilt-release \
	sanitize prefix-install cross-suite distribution-build mirror-faults windows-static \
	shipped release-checks apt-repository bench
# None of them is a file: bench/ is a directory, and every step runs anew.
.PHONY: ci $(steps)
ci: bench
# The line that a step begins shows as it begins; its output, when it ends.
$(steps):
	@echo "== $@ begins"
	@.ci/run $@

# The README's commands first and alone: the machine is then as fresh as
# the README says.
release-packages sanitize: readme
# The release begins as soon as its own packages are in, and is rebuilt
# from its record once it is signed.
cross-setup signed-release: release-packages
other-packages: cross-setup
rebuilt-release: signed-release
# Each check waits for what the packages and the release bring it.
prefix-install: sanitize release-packages
cross-suite: prefix-install cross-setup
distribution-build: cross-suite other-packages
mirror-faults: distribution-build
windows-static: mirror-faults
shipped: windows-static signed-release
release-checks: shipped
apt-repository: signed-release other-packages
bench: release-checks rebuilt-release apt-repository
