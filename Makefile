# Front door. `make run` starts melodrop; `make test` builds and runs every test.
# Both install the Debian packages that are missing first.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
TSAN_DIR ?= build-tsan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
PRESET ?= default
JOBS ?= $(shell nproc)
WERROR := $(if $(CI),ON,OFF)
PREFIX ?= /usr/local

export XDG_RUNTIME_DIR ?= /tmp/melodrop-runtime-$(shell id -u)

.PHONY: deps configure build run demo test test-sanitize test-tsan fuzz bench format format-check clean install uninstall

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) -DMELODROP_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	@bash scripts/run.sh $(BUILD_DIR)

demo: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	@bash scripts/run.sh $(BUILD_DIR) --headless

# The tests' environment (headless platform, dummy audio, a runtime folder of their own, the
# sanitizers' options) is in the test presets of CMakePresets.json.
test: build
	@ctest --preset $(PRESET) -j $(JOBS)

test-sanitize: deps
	@cmake --preset asan -DMELODROP_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# The audio engine's threads under the thread sanitizer: only the audio tests are built, and
# the test preset picks them by their label.
test-tsan: deps
	@cmake --preset tsan -DMELODROP_WERROR=$(WERROR) >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target audio_tests
	@ctest --preset tsan -j $(JOBS)

# Installs melodrop, skinfetch, melodrop-bridge.exe (in lib/melodrop), the shipped skins,
# commands.txt, the desktop entries, the icons and the AppStream metadata under PREFIX (default
# /usr/local).
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Removes what `make install` laid out under the same PREFIX, and the folders it made once they
# are empty (cmake/Uninstall.cmake).
uninstall:
	@cmake -DPREFIX=$(PREFIX) -DBUILD_DIR=$(BUILD_DIR) -P cmake/Uninstall.cmake

# Builds the fuzz targets with clang's libFuzzer and runs each for FUZZ_SECONDS (default 60).
# Warnings are not errors here: the compiler that guards them is the one of `make test`.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target melodrop_fuzz
	@bash scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	@SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen bash bench/run.sh $(BUILD_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails when a source file is not formatted as .clang-format says (CI runs it).
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
