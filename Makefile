# The two commands of the README, and a few friends.
BUILD ?= build
JOBS ?= $(shell nproc)
DATA ?= $(CURDIR)/$(BUILD)/bin
# ccache speeds up rebuilds where it is installed; nothing needs it. Paths below the checkout
# are hashed relative to it, so that another checkout (CI's fresh clone) finds the same objects.
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
export CCACHE_MAXSIZE ?= 20G

PREFIX ?= /usr/local
# What an installation holds: the programs, the Access reader and the compressed manuals.
INSTALLED := veltro-adressbuch veltro-cli veltro-mdb-reader veltro-install-files

.PHONY: run test test-asan test-tsan tidy deps deps-test build install package bench fuzz format format-check clean screenshots

# What building and running need; the tests' tools (LibreOffice, Radicale, clang, lintian …)
# come only with deps-test.
deps:
	./scripts/install-deps

deps-test:
	./scripts/install-deps --test

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Only what the program starts: the window, the command line tool and the Access reader.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target veltro-adressbuch veltro-cli veltro-mdb-reader
	@if [ ! -f "$(DATA)/Kartix.mdb" ]; then $(BUILD)/bin/veltro-cli demo-store "$(DATA)"; fi
	VELTRO_HOME="$(DATA)" $(BUILD)/bin/veltro-adressbuch

# The tests treat warnings as errors; the setting stays in the build directory's cache.
test: deps-test $(BUILD)/CMakeCache.txt
	cmake $(BUILD) -DVELTRO_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# make install PREFIX=$$HOME/.local puts the programs into bin/ below PREFIX; DESTDIR is honoured.
install: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# The Debian package $(BUILD)/veltro-adressbuch_<version>_amd64.deb, installed below /usr.
package: deps-test $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED)
	cd $(BUILD) && cpack -G DEB

# The tests of everything but the window's own test programs once more under AddressSanitizer
# and UndefinedBehaviorSanitizer, in build-asan/: the readers, the store, import, export, sync and
# the command line, where memory faults were found; the window's tests drive Qt far more than us.
test-asan: deps-test
	cmake --preset asan $(LAUNCHER) >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The threaded parts (tasks, backups, the session's indexes, the import reading ahead) under
# ThreadSanitizer, in build-tsan/.
test-tsan: deps-test
	cmake --preset tsan $(LAUNCHER) >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# The checks of .clang-tidy over the program's sources (after a build, for the generated files):
# batch by batch as the build compiles them, then file by file the two that see the main file only.
MAIN_FILE_CHECKS := misc-unused-using-decls,bugprone-suspicious-include
tidy: deps-test build
	scripts/tidy-database $(BUILD)
	run-clang-tidy -p $(BUILD)/tidy/batches -quiet -j $(JOBS) -extra-arg=-Wno-unknown-warning-option \
	    -checks='-misc-unused-using-decls,-bugprone-suspicious-include'
	run-clang-tidy -p $(BUILD)/tidy/files -quiet -j $(JOBS) -extra-arg=-Wno-unknown-warning-option \
	    -checks='-*,$(MAIN_FILE_CHECKS)'

# Pictures of the windows on a demo card file under Xvfb and openbox, in $(BUILD)/screenshots/.
screenshots: deps-test $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target veltro-adressbuch veltro-cli veltro-mdb-reader
	./scripts/screenshots $(BUILD)/bin $(BUILD)/screenshots

bench: build
	$(BUILD)/bin/veltro-bench

fuzz: deps-test
	./scripts/fuzz

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD)
