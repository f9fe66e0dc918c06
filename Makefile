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

.PHONY: deps configure build run demo test test-sanitize test-tsan fuzz bench format clean install

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

test: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
		ctest --output-on-failure -j $(JOBS) --timeout 300

test-sanitize: deps
	@cmake --preset asan -DMELODROP_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	@cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
		ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) --timeout 600 -LE nosanitize

# The audio engine's threads under the thread sanitizer: only the audio tests are built, and
# ctest picks the suites of tests/audio by name.
test-tsan: deps
	@cmake --preset tsan -DMELODROP_WERROR=$(WERROR) >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target audio_tests
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	@cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
		TSAN_OPTIONS=halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS) --timeout 600 -R '(AudioPlayer|BufferClock|Mp3Decoder|TrackStream)'

# Installs melodrop, skinfetch, the shipped skins, commands.txt, the desktop entries, the icons
# and the AppStream metadata under PREFIX (default /usr/local).
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

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

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
