# The two commands of the README: `make run` and `make test`. Both install what the machine
# lacks, configure and build first. `make deb` builds the Debian package.
BUILD ?= build
PREFIX ?= /usr/local
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The fuzz target's own clang build with the sanitizers, apart from the main build's targets.
FUZZ_BUILD ?= $(BUILD)/fuzz
FUZZ_SECONDS ?= 20
FUZZ_STATEMENT_SECONDS ?= 10
DEB_BUILD ?= build-deb

.PHONY: all deps configure build run test fuzz install deb clean

all: build

deps:
	@sh scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	./$(BUILD)/kivelo

# The fuzz run comes first so that ctest's summary closes the output.
test: build
	@$(MAKE) --no-print-directory fuzz
	ctest --test-dir $(BUILD) --output-on-failure

# Runs the ledger file's fuzz target for FUZZ_SECONDS on a freshly generated seed corpus, then the
# statement import's for FUZZ_STATEMENT_SECONDS on the sample statements of fuzz/statement-seeds;
# the inputs they add go to $(FUZZ_BUILD)/corpus and statement-corpus, emptied at each run.
fuzz: deps
	@test -f $(FUZZ_BUILD)/build.ninja || cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DKIVELO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --parallel 2 --target fuzz_ledger fuzz_statement make_ledger_seeds
	rm -rf $(FUZZ_BUILD)/seeds $(FUZZ_BUILD)/corpus && mkdir -p $(FUZZ_BUILD)/seeds $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/fuzz/make_ledger_seeds $(FUZZ_BUILD)/seeds
	cd $(FUZZ_BUILD) && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp ./fuzz/fuzz_ledger -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
		-print_final_stats=1 corpus seeds
	rm -rf $(FUZZ_BUILD)/statement-corpus && mkdir -p $(FUZZ_BUILD)/statement-corpus
	cd $(FUZZ_BUILD) && ./fuzz/fuzz_statement -max_total_time=$(FUZZ_STATEMENT_SECONDS) -timeout=10 -max_len=4096 \
		-print_final_stats=1 statement-corpus $(CURDIR)/fuzz/statement-seeds

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package kivelo_VERSION_ARCH.deb, with the build's .changes and .buildinfo, built by
# dpkg-buildpackage from a copy of the work tree in $(DEB_BUILD)/ (scripts/build-deb.sh).
deb:
	@sh scripts/install-deps.sh --packaging
	sh scripts/build-deb.sh $(DEB_BUILD)

clean:
	rm -rf $(BUILD)
