# VARNO build entry points. Every target installs what it needs first.
JOBS     ?= $(shell nproc)
WERROR   ?= OFF
CMAKE    ?= cmake
GEN      := -G Ninja
FUZZ_SECONDS ?= 60
PREFIX   ?= /usr/local
TSAN_FILTER  ?= *Reader*:*Mailbox*:*NmeaLog*:*SerialPort*:*Threads*:*Replay*:*Send*:*VoiceQueue*

.PHONY: all bootstrap configure build run test sanitize tsan bench fuzz fuzz-corpus format clean screenshot screenshots install deb

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	$(CMAKE) -S . -B build $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNO_WERROR=$(WERROR)

build: configure
	$(CMAKE) --build build -j $(JOBS)

# The demo: the bundled drive past the demo cameras, with a data folder and
# settings of its own in build/demo. Without a display it runs offscreen at
# 1 ms a line, prints the voice and specs announcements and the route agent's words, and saves the
# last view to build/demo.png. In the window, F8 shows the route view, where the agent speaks.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  ./build/src/gui/varno --demo; \
	else \
	  echo "No display: the demo drive offscreen, picture in build/demo.png."; \
	  QT_QPA_PLATFORM=offscreen ./build/src/gui/varno --demo --delay 1 --snapshot build/demo.png --quit-at-end \
	    || exit 1; \
	  echo "What the drive announces (varno-cli replay; the voice announcements):"; \
	  VARNO_HOME=$(CURDIR)/build/demo/home ./build/src/cli/varno-cli --settings build/demo/settings.reg \
	    replay build/demo/home/Log/demo-drive.txt | awk -F '\t' '$$3 == "voice"'; \
	  echo "What the agent says along the demo route in the route view (varno-cli route):"; \
	  VARNO_HOME=$(CURDIR)/build/demo/home ./build/src/cli/varno-cli --settings build/demo/settings.reg \
	    route build/demo/home/Log/demo-drive.txt | awk -F '\t' '$$3 == "speak"'; \
	fi

test: build
	cd build && ctest --output-on-failure -j $(JOBS)

# The programs, voices, demo data, icons, desktop entry and man pages under PREFIX.
install: build
	@p="$(PREFIX)"; while [ ! -e "$$p" ]; do p=$$(dirname "$$p"); done; \
	if [ ! -w "$$p" ]; then \
	  echo "make install: cannot write to $(PREFIX) ($$p is not writable by you)."; \
	  echo "Run it as root (sudo make install) or choose a folder of your own: make install PREFIX=$$HOME/.local"; \
	  exit 1; fi
	$(CMAKE) --install build --prefix "$(PREFIX)"

# A Debian package of the same (build/varno_<version>_<arch>.deb), then a check
# that it unpacks and runs.
deb: build
	cd build && cpack -G DEB
	scripts/check-deb build/varno_*.deb

# Core, platform and command-line tests with AddressSanitizer and UBSan.
sanitize: bootstrap
	$(CMAKE) -S . -B build-asan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DVARNO_WERROR=$(WERROR) \
	  -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_BENCH=OFF -DVARNO_SANITIZE=address,undefined
	$(CMAKE) --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

# The threading tests (reader, mailbox, log, voice queue) under ThreadSanitizer.
tsan: bootstrap
	$(CMAKE) -S . -B build-tsan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DVARNO_WERROR=$(WERROR) \
	  -DVARNO_BUILD_BENCH=OFF -DVARNO_SANITIZE=thread
	$(CMAKE) --build build-tsan -j $(JOBS) --target varno_core_tests varno_platform_tests gui_test_log_replay \
	  gui_test_receiver_status varno
	TSAN_OPTIONS=halt_on_error=1 ./build-tsan/tests/varno_core_tests --gtest_filter='$(TSAN_FILTER)'
	TSAN_OPTIONS=halt_on_error=1 ./build-tsan/tests/varno_platform_tests --gtest_filter='$(TSAN_FILTER)'
	@# The window's replay, send-log and port-open workers with the UI thread. Qt is not built
	@# with ThreadSanitizer, so only accesses made from our own code are checked.
	for t in gui_test_log_replay gui_test_receiver_status; do \
	  QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 ignore_noninstrumented_modules=1 die_after_fork=0" \
	    ./build-tsan/tests/gui/$$t || exit 1; done

bench: bootstrap
	$(CMAKE) -S . -B build-bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DVARNO_BUILD_TESTS=OFF
	$(CMAKE) --build build-bench -j $(JOBS)
	@# The window benchmarks draw offscreen, with or without a display.
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; \
	  QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# Each fuzz target for FUZZ_SECONDS, seeded from its kept corpus (fuzz/corpus),
# fuzz/seeds and the shared corpus; new finds go to build-fuzz/corpus. Ends with
# each target's final coverage.
fuzz: bootstrap
	CC=clang CXX=clang++ $(CMAKE) -S . -B build-fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVARNO_FUZZ=ON -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_TESTS=OFF
	$(CMAKE) --build build-fuzz -j $(JOBS)
	@rm -f build-fuzz/fuzz-summary.txt; failed=0; \
	for f in build-fuzz/fuzz/fuzz_*; do [ -x "$$f" ] || continue; n=$$(basename $$f); \
	  mkdir -p build-fuzz/corpus/$$n fuzz/corpus/$$n; dirs="fuzz/corpus/$$n fuzz/seeds/$$n"; \
	  if [ -f fuzz/seeds/$$n.dirs ]; then \
	    dirs="$$dirs $$(sed -e 's|@CORPUS@|../shared/corpus|' -e 's|@SOURCE@|.|' fuzz/seeds/$$n.dirs)"; fi; \
	  echo "== $$n for $(FUZZ_SECONDS)s"; \
	  { $$f -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -artifact_prefix=build-fuzz/$$n- \
	      build-fuzz/corpus/$$n $$dirs; echo $$? > build-fuzz/$$n.rc; } 2>&1 | tee build-fuzz/$$n.log; \
	  rc=$$(cat build-fuzz/$$n.rc); [ "$$rc" = 0 ] && st=ok || { st="FAILED ($$rc)"; failed=1; }; \
	  cov=$$(grep -o 'cov: [0-9]* ft: [0-9]*' build-fuzz/$$n.log | tail -1); \
	  printf '%-18s %-28s %s\n' $$n "$$cov" "$$st" >> build-fuzz/fuzz-summary.txt; done; \
	echo "== coverage after $(FUZZ_SECONDS)s each"; cat build-fuzz/fuzz-summary.txt; exit $$failed

# Minimise each target's kept corpus with what the last `make fuzz` found:
# libFuzzer's -merge=1 into a fresh folder, which then replaces fuzz/corpus/<target>.
# Inputs that carry a line of the shared real-world files are left out: those
# files are read from ../shared/corpus at run time, never copied into the repo.
fuzz-corpus:
	@mkdir -p build-fuzz; find ../shared/corpus -type f -exec cat {} + 2>/dev/null | tr -d '\r' \
	  | awk 'length >= 20' | sort -u > build-fuzz/shared-lines.txt; \
	for f in build-fuzz/fuzz/fuzz_*; do [ -x "$$f" ] || continue; n=$$(basename $$f); \
	  rm -rf build-fuzz/merged/$$n; mkdir -p build-fuzz/merged/$$n fuzz/corpus/$$n build-fuzz/corpus/$$n; \
	  $$f -merge=1 -max_len=4096 build-fuzz/merged/$$n fuzz/corpus/$$n build-fuzz/corpus/$$n \
	    > build-fuzz/$$n.merge.log 2>&1 || { tail -5 build-fuzz/$$n.merge.log; exit 1; }; \
	  if [ -s build-fuzz/shared-lines.txt ] && ls build-fuzz/merged/$$n | grep -q .; then \
	    awk 'NR == FNR { seen[$$0]; next } { sub(/\r$$/, "") } ($$0 in seen) { print FILENAME; nextfile }' \
	      build-fuzz/shared-lines.txt build-fuzz/merged/$$n/* | xargs -r rm -f; fi; \
	  rm -rf fuzz/corpus/$$n && mv build-fuzz/merged/$$n fuzz/corpus/$$n; \
	  echo "$$n: $$(ls fuzz/corpus/$$n | wc -l) files, $$(cat fuzz/corpus/$$n/* | wc -c) bytes"; done

# A picture of the window under a real X server, with settings of its own.
screenshot: build
	rm -f build/screenshot-settings.reg
	VARNO_SETTINGS=$(CURDIR)/build/screenshot-settings.reg VARNO_HOME=$(CURDIR)/build/screenshot-home \
	  xvfb-run -a -s "-screen 0 1024x768x24" ./build/src/gui/varno --screenshot build/screenshot.png
	@echo "wrote build/screenshot.png"

# The README's pictures of the driver's display: docs/day.png, night.png,
# speeding.png, no-fix.png (off screen) and first-run.png (under Xvfb).
screenshots: build
	scripts/screenshots docs

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz
