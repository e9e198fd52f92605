# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT
#
# Which step of CI waits for which. .ci/run runs this with make -j6, enough
# for every step that can run to run, and each step is its function of the
# same name. Three chains run beside each other: the packages, the release,
# and the checks. Debian 13's root is made and readied beside them, then
# waits for the release. From the moment the release is signed, the checks
# of the set, its rebuild, and the apt repository's check share the two
# CPUs; the last waits for the last install.

steps := readme release-packages cross-setup other-packages signed-release rebuilt-release \
	sanitize prefix-install cross-suite distribution-build mirror-faults windows-static bench \
	shipped release-checks apt-repository debian-13
# None of them is a file: bench/ is a directory, and every step runs anew.
.PHONY: ci $(steps)
ci: shipped release-checks rebuilt-release apt-repository debian-13
# Once the release is signed, its rebuild is the run's longest chain, and
# mostly one process at a time: the checks that begin with it take what CPU
# it leaves. Before, every step needs its CPU share to be done in time.
yielding := shipped release-checks apt-repository
# The line that a step begins shows as it begins; its output, when it ends.
$(steps):
	@echo "== $@ begins"
	@$(if $(filter $@,$(yielding)),nice -n 10) .ci/run $@

# The README's commands first and alone: the machine is then as fresh as
# the README says.
release-packages sanitize: readme
# The release begins as soon as its own packages are in, and is rebuilt
# from its record once it is signed. Debian 13's root begins with it, and
# waits within for the release to end.
cross-setup signed-release debian-13: release-packages
other-packages: cross-setup
rebuilt-release: signed-release
# Each check waits for what the packages and the release bring it; bench
# counts instructions, which the other steps beside it do not change.
prefix-install: sanitize release-packages
cross-suite: prefix-install cross-setup
distribution-build: cross-suite other-packages
mirror-faults: distribution-build
windows-static: mirror-faults
bench: windows-static
shipped release-checks: bench signed-release
apt-repository: signed-release other-packages
