#!/usr/bin/python3
"""The benchmark report: every benchmark of bench/ and its peers side by side.

usage: /usr/bin/python3 bench/report.py [--build DIR] [--out FILE] [--repetitions N] [--repeats N]
                                        [--min-time S] [--only NAME ...]

Runs, one subsystem after the other, its Google Benchmark executable (JSON
output, N repetitions, the median of the wall-clock times) and then its
peers (bench/peers/*.py with --json under /usr/bin/python3, the Octave
script under octave-cli), on inputs generated here (TIFF stacks, thinning
volumes; the other benchmarks make their data in memory). Writes a Markdown
report: the machine, one table (function, size, the toolkit's median, each
peer's median and the ratio peer / toolkit), the speed targets, and what was
missing. A peer that cannot run (package not installed, Octave absent) shows
as "missing" in its row, a subsystem whose benchmark is not in this tree as
"not yet merged". Progress goes to stderr, the raw outputs to
DIR/bench-report/.

scripts/bench.sh installs the peers, builds the release tree and runs this.
"""
import argparse
import datetime
import json
import os
import platform
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PYTHON = "/usr/bin/python3"  # Debian's, where the peers' packages live
DEBIAN_PACKAGE = {"numpy": "python3-numpy", "scipy": "python3-scipy", "skimage": "python3-skimage",
                  "tifffile": "python3-tifffile"}
NOT_MERGED = "not yet merged"


# ----------------------------------------------------------------------------
# Running the benchmarks and the peers. Each run fills one named source:
# a dict from a key to median seconds, or a reason why it has no figures.

class Source:
    def __init__(self, values=None, reason=None, errors=None):
        self.values = values or {}
        self.reason = reason
        self.errors = errors or {}

    def lookup(self, key):
        """(seconds, None) or (None, why there is no figure)."""
        if key in self.values:
            return self.values[key], None
        if self.reason:
            return None, self.reason
        if key in self.errors:
            return None, "failed: " + self.errors[key]
        return None, "no figure"


class Runner:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.bench_dir = os.path.join(self.build, "bench")
        self.inputs = os.path.join(self.build, "bench-inputs")
        self.raw = os.path.join(self.build, "bench-report")
        os.makedirs(self.inputs, exist_ok=True)
        os.makedirs(self.raw, exist_ok=True)
        self.sources = {}
        self.importable = {}
        self.peer_info = {}

    def log(self, text):
        print(text, file=sys.stderr, flush=True)

    def save_raw(self, name, text):
        with open(os.path.join(self.raw, name.replace("/", "_") + ".txt"), "w") as f:
            f.write(text)

    def run(self, name, command, env=None, timeout=1200):
        """Runs a command, logs its duration, keeps its output; (stdout, failure reason)."""
        start = time.monotonic()
        self.log(f"== {name}: {' '.join(command)}")
        try:
            done = subprocess.run(command, cwd=ROOT, capture_output=True, text=True, timeout=timeout,
                                  env={**os.environ, **(env or {})})
        except (OSError, subprocess.TimeoutExpired) as error:
            self.log(f"   failed: {error}")
            return "", f"failed: {error}"
        self.save_raw(name, done.stdout + "\n--- stderr\n" + done.stderr)
        self.log(f"   {time.monotonic() - start:.1f} s")
        if done.returncode != 0:
            lines = [line for line in done.stderr.splitlines() if line.strip()]
            return done.stdout, f"failed (exit {done.returncode}): {lines[-1] if lines else ''}"
        return done.stdout, None

    # Google Benchmark executables -------------------------------------------

    def gbench(self, name, exe, filter_, extra=(), repetitions=None):
        repetitions = repetitions or self.args.repetitions
        path = os.path.join(self.bench_dir, exe)
        if not os.path.exists(path):
            self.sources[name] = Source(reason=f"failed: {exe} not built")
            return
        command = [path, f"--benchmark_filter={filter_}", f"--benchmark_repetitions={repetitions}",
                   "--benchmark_report_aggregates_only=true", "--benchmark_format=json",
                   f"--benchmark_min_time={self.args.min_time}", *extra]
        out, failure = self.run(name, command)
        source = Source()
        try:
            benchmarks = json.loads(out)["benchmarks"]
        except (ValueError, KeyError):
            self.sources[name] = Source(reason=failure or "failed: no JSON output")
            return
        for b in benchmarks:
            key = plain_run_name(b["run_name"])
            if b.get("error_occurred"):
                source.errors[key] = b.get("error_message", "error")
                continue
            wanted = b.get("aggregate_name") == "median" if repetitions > 1 else b.get("run_type") == "iteration"
            if wanted:
                scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
                source.values[key] = b["real_time"] * scale
        if failure and not source.values:
            source.reason = failure
        self.sources[name] = source

    # Peers ------------------------------------------------------------------

    def missing_modules(self, modules):
        missing = []
        for module in modules:
            if module not in self.importable:
                self.importable[module] = os.path.exists(PYTHON) and subprocess.run(
                    [PYTHON, "-c", f"import {module}"], capture_output=True).returncode == 0
            if not self.importable[module]:
                missing.append(DEBIAN_PACKAGE.get(module, module))
        return missing

    def read_peer_json(self, name, out, failure):
        for line in reversed(out.splitlines()):
            if line.startswith("{"):
                try:
                    document = json.loads(line)
                    rows = document["rows"]
                except (ValueError, KeyError):
                    continue
                self.peer_info[name] = document.get("info", {})
                return Source(values={(r["case"], r["size"]): r["median_s"] for r in rows}, reason=None)
        return Source(reason=failure or "failed: no JSON output")

    def python_peer(self, name, script, arguments, modules, env=None):
        if not os.path.exists(PYTHON):
            self.sources[name] = Source(reason=f"missing: {PYTHON} (Debian python3)")
            return
        missing = self.missing_modules(modules)
        if missing:
            self.sources[name] = Source(reason="missing: " + ", ".join(missing) + " not installed")
            self.log(f"== {name}: missing {', '.join(missing)}")
            return
        out, failure = self.run(name, [PYTHON, os.path.join(ROOT, "bench", "peers", script), "--json",
                                       *map(str, arguments)], env=env)
        self.sources[name] = self.read_peer_json(name, out, failure)

    def octave_peer(self, name, function, arguments, env=None):
        octave = shutil.which("octave-cli")
        if not octave:
            self.sources[name] = Source(reason="missing: octave-cli not found (Debian octave)")
            self.log(f"== {name}: missing octave-cli")
            return
        quoted = ", ".join("'%s'" % a if isinstance(a, str) else str(a) for a in arguments)
        out, failure = self.run(name, [octave, "-q", "--no-history", "--no-gui", "--eval",
                                       f"addpath('{ROOT}/bench/peers'); {function}({quoted})"], env=env)
        self.sources[name] = self.read_peer_json(name, out, failure)

    def not_merged(self, *names):
        for name in names:
            self.sources[name] = Source(reason=NOT_MERGED)


def plain_run_name(run_name):
    """A benchmark's name without the settings Google Benchmark appends."""
    return "/".join(part for part in run_name.split("/")
                    if part != "real_time" and not re.match(r"(iterations|min_time|repeats|threads):", part))


def present(*files):
    return all(os.path.exists(os.path.join(ROOT, f)) for f in files)


# ----------------------------------------------------------------------------
# What runs, subsystem by subsystem. Each step runs a subsystem's benchmark
# and right after it that subsystem's peers, so the two see the same machine.

def run_gaussian(r):
    if not present("bench/gaussian_bench.cpp", "bench/gaussian_fast_bench.cpp", "bench/peers/gaussian_fast.py"):
        return r.not_merged("gaussian", "py_gaussian")
    r.gbench("gaussian", "bench_gaussian", ".")
    r.python_peer("py_gaussian", "gaussian_fast.py", ["--repeats", r.args.repeats], ["numpy"])


def run_normality(r):
    if not present("bench/normality_bench.cpp", "bench/peers/normality.py"):
        return r.not_merged("normality", "py_normality")
    r.gbench("normality", "bench_normality", ".")
    r.python_peer("py_normality", "normality.py", ["--repeats", r.args.repeats], ["numpy", "scipy"])


def run_tiffstack(r):
    if not present("bench/tiffstack_bench.cpp", "bench/tiffstack_fixture.cpp", "bench/peers/tiffstack.py"):
        return r.not_merged("tiffstack", "py_tiffstack")
    stacks = os.path.join(r.inputs, "stacks")
    _, failure = r.run("tiffstack_fixture", [os.path.join(r.bench_dir, "tiffstack_fixture"), stacks])
    if failure:
        r.sources["tiffstack"] = r.sources["py_tiffstack"] = Source(reason=f"failed: no stacks ({failure})")
        return
    # The TIFFSetDirectory searches are left out: seconds per call unmapped.
    r.gbench("tiffstack", "bench_tiffstack", "^BM_(countStackSlices|readStackGeometry|TIFFNumberOfDirectories)/",
             [f"--stacks={stacks}"])
    r.python_peer("py_tiffstack", "tiffstack.py", [stacks, max(r.args.repeats, 5)], ["tifffile"])


def run_thinning(r):
    if not present("bench/thinning_bench.cpp", "bench/thinning_volumes.py", "bench/peers/thinning.py"):
        return r.not_merged("thinning", "thinning_reference", "py_thinning")
    volumes = os.path.join(r.inputs, "thinning_volumes")
    missing = r.missing_modules(["numpy", "scipy"])
    if missing:
        reason = "failed: no volumes (" + ", ".join(missing) + " not installed)"
        r.sources["thinning"] = r.sources["thinning_reference"] = r.sources["py_thinning"] = Source(reason=reason)
        return
    _, failure = r.run("thinning_volumes", [PYTHON, os.path.join(ROOT, "bench", "thinning_volumes.py"), volumes])
    if failure:
        r.sources["thinning"] = r.sources["thinning_reference"] = r.sources["py_thinning"] = Source(reason=failure)
        return
    r.gbench("thinning", "bench_thinning", "^thin_fast/", [f"--volumes={volumes}"])
    # The straightforward driver takes seconds per volume: three runs.
    r.gbench("thinning_reference", "bench_thinning", "^thin_reference/", [f"--volumes={volumes}"],
             repetitions=min(3, r.args.repetitions))
    r.python_peer("py_thinning", "thinning.py", ["--volumes", volumes, "--repeats", r.args.repeats],
                  ["numpy", "scipy", "skimage"])


def run_pair_blocks3(r):
    if not present("bench/pair_blocks3_bench.cpp", "bench/peers/pair_blocks3.py"):
        return r.not_merged("pair_blocks3", "py_pair_blocks3_1", "py_pair_blocks3_2")
    r.gbench("pair_blocks3", "bench_pair_blocks3",
             "^BM_pair_blocks3_(fill|module)/M:(2000/N:100|2000/N:500|500/N:1500)$")
    for threads in (1, 2):
        r.python_peer(f"py_pair_blocks3_{threads}", "pair_blocks3.py", ["--repeats", r.args.repeats], ["numpy"],
                      env={"OPENBLAS_NUM_THREADS": str(threads), "OMP_NUM_THREADS": str(threads)})


def run_offsets_nanfill(r):
    if not present("bench/offsets_bench.cpp", "bench/nanfill_bench.cpp", "bench/peers/offsets.py",
                   "bench/peers/nanfill.py", "bench/peers/offsets_nanfill.m"):
        return r.not_merged("offsets", "nanfill", "py_offsets", "py_nanfill", "octave", "octave_huge")
    r.gbench("offsets", "bench_offsets", ".")
    r.python_peer("py_offsets", "offsets.py", ["--repeats", r.args.repeats], ["numpy"])
    r.gbench("nanfill", "bench_nanfill", ".")
    r.python_peer("py_nanfill", "nanfill.py", ["--repeats", r.args.repeats], ["numpy"])
    arguments = [os.path.join(r.build, "octave"), r.args.repeats, "json"]
    r.octave_peer("octave", "offsets_nanfill", arguments)
    # As the modules' help advises for large arrays: glibc's malloc on transparent huge pages.
    r.octave_peer("octave_huge", "offsets_nanfill", arguments, env={"GLIBC_TUNABLES": "glibc.malloc.hugetlb=1"})


STEPS = {"gaussian": run_gaussian, "normality": run_normality, "tiffstack": run_tiffstack,
         "thinning": run_thinning, "pair_blocks3": run_pair_blocks3, "offsets_nanfill": run_offsets_nanfill}


# ----------------------------------------------------------------------------
# The table: one group of lines per toolkit figure, one line per peer.

class Line:
    def __init__(self, function, size, what, toolkit, peers):
        self.function, self.size, self.what, self.toolkit, self.peers = function, size, what, toolkit, peers


def table_lines():
    L = []
    gb, np_g = "gaussian", "py_gaussian"
    numpy64 = ("NumPy np.exp, float64", (np_g, ("numpy_gauss3_eval", "10000000")))
    numpy32 = ("NumPy np.exp, float32", (np_g, ("numpy_gauss3_eval_float32", "10000000")))
    for n, label in ((1024, "1,024"), (1048576, "1,048,576"), (10000000, "10^7")):
        L.append(Line("gauss3_eval", label, "core, warm output", (gb, f"BM_gauss3_eval_rows/{n}"),
                      [("plain libm exp loop (C++)", (gb, f"BM_plain_exp_loop/{n}"))]))
    L.append(Line("gauss3_eval", "10^7", "core, warm output (fit range)", (gb, "BM_Exact_kernel"), [numpy64]))
    L.append(Line("gauss3_eval", "10^7", "end to end (embedded host)", (gb, "BM_Exact_module"), [numpy64]))
    L.append(Line("gauss3_eval_approx", "10^7", "core, warm output", (gb, "BM_Approx_kernel"),
                  [("gauss3_eval core", (gb, "BM_Exact_kernel")), numpy64, numpy32]))
    for path, isa in enumerate(("SSE2", "AVX2", "AVX-512")):
        L.append(Line("gauss3_eval_approx", "10^7", f"core, {isa} path forced", (gb, f"BM_Approx_kernel_path/{path}"),
                      [("gauss3_eval core", (gb, "BM_Exact_kernel"))]))
    L.append(Line("gauss3_eval_approx", "10^7", "end to end (embedded host)", (gb, "BM_Approx_module"),
                  [("gauss3_eval end to end", (gb, "BM_Exact_module")), numpy64, numpy32]))
    numpy_d = ("NumPy (stack, matmul)", (np_g, ("numpy_accum_derivs3", "1000000")))
    L.append(Line("accum_derivs3", "10^6", "core", (gb, "BM_Derivs_kernel"), [numpy_d]))
    L.append(Line("accum_derivs3", "10^6", "end to end (embedded host)", (gb, "BM_Derivs_module"), [numpy_d]))

    nb, np_n = "normality", "py_normality"
    for n, label in ((1000000, "10^6"), (10000000, "10^7")):
        stat = ("NumPy statistic (same formula)", (np_n, ("numpy_statistic", str(n))))
        anderson = ("SciPy stats.anderson (sorts, estimates)", (np_n, ("scipy.stats.anderson", str(n))))
        L.append(Line("normality_check", label, "statistic, presorted", (nb, f"BM_adtest_statistic/{n}"), [stat]))
        L.append(Line("normality_check", label, "whole test, presorted", (nb, f"BM_adtest_sorted_data/{n}"),
                      [stat, anderson]))
        if n == 1000000:
            L.append(Line("normality_check", label, "adtest, sorts a copy", (nb, f"BM_adtest_unsorted/{n}"),
                          [anderson]))

    tb, np_t = "tiffstack", "py_tiffstack"
    for pages in (100, 10000, 70000):
        label = f"{pages:,} pages"
        tifffile = ("tifffile len(pages)", (np_t, ("tifffile_len_pages", str(pages))))
        count_mapped = ("libtiff TIFFNumberOfDirectories, mapped",
                        (tb, f"BM_TIFFNumberOfDirectories/pages:{pages}/mapped:1"))
        count_read = ("libtiff TIFFNumberOfDirectories, unmapped",
                      (tb, f"BM_TIFFNumberOfDirectories/pages:{pages}/mapped:0"))
        L.append(Line("tiff_stack_dims", label, "count, mapped (as the module)",
                      (tb, f"BM_countStackSlices/pages:{pages}/mapped:1"), [count_mapped, tifffile]))
        L.append(Line("tiff_stack_dims", label, "count, unmapped (block reads)",
                      (tb, f"BM_countStackSlices/pages:{pages}/mapped:0"), [count_read]))
        L.append(Line("tiff_stack_dims", label, "whole probe: open, tags, count",
                      (tb, f"BM_readStackGeometry/pages:{pages}/mapped:1"), [tifffile, count_mapped]))

    for volume, label in (("ball", "ball 100^3"), ("tubes", "tubes 256x256x128"), ("blobs", "blobs 192^3")):
        L.append(Line("thin_volume", label, "fast driver", ("thinning", f"thin_fast/{volume}"),
                      [("straightforward driver (C++)", ("thinning_reference", f"thin_reference/{volume}")),
                       ("scikit-image skeletonize_3d", ("py_thinning", ("skeletonize_3d", volume)))]))

    for m, n in ((2000, 100), (2000, 500), (500, 1500)):
        size = f"{m}x{n}"
        blas = [(f"NumPy/BLAS {what}, {t} thread{'s' if t > 1 else ''}", (f"py_pair_blocks3_{t}", (case, size)))
                for what, case in (("X'X alone", "numpy_XtX_only"), ("whole formulation", "numpy_blas"))
                for t in (1, 2)]
        L.append(Line("pair_blocks3", f"M={m}, N={n}", "core, warm output",
                      ("pair_blocks3", f"BM_pair_blocks3_fill/M:{m}/N:{n}"), blas))
        L.append(Line("pair_blocks3", f"M={m}, N={n}", "end to end (embedded host)",
                      ("pair_blocks3", f"BM_pair_blocks3_module/M:{m}/N:{n}"), blas[2:]))

    octaves = (("octave", ""), ("octave_huge", ", huge pages"))
    for ctype, dtype, octave_class in (("double", "float64", "double"), ("float", "float32", "single")):
        label = f"10^8 {octave_class}s"
        size = f"100000000 {octave_class}"
        numpy = ("NumPy np.where(np.isnan(x), v, x)", ("py_nanfill", ("numpy_where_isnan", f"100000000 {dtype}")))
        octave = [(f"Octave Y(isnan(Y)) = v{pages}", (source, ("octave_isnan_assign", size)))
                  for source, pages in octaves]
        L.append(Line("fill_nan", label, "core, warm output, 2 threads", ("nanfill", f"BM_fillNaN<{ctype}>"),
                      [("memcpy, 2 threads", ("nanfill", f"BM_memcpy_two_threads<{ctype}>")), numpy, *octave]))
        L.append(Line("fill_nan", label, "end to end (embedded host)", ("nanfill", f"BM_fill_nan_embedded<{ctype}>"),
                      [numpy, *octave]))
        for (source, pages), peer in zip(octaves, octave):
            L.append(Line("fill_nan", label, f"end to end (from Octave{pages})", (source, ("octave_fill_nan", size)),
                          [peer]))

    for m, n in ((5000, 5000), (20000, 2000)):
        size = f"{m}x{n}"
        numpy = ("NumPy broadcasting", ("py_offsets", ("numpy_broadcasting", size)))
        octave = [(f"Octave implicit expansion{pages}", (source, ("octave_implicit_expansion", size)))
                  for source, pages in octaves]
        L.append(Line("pairwise_offsets", f"m={m}, n={n}", "core, warm output",
                      ("offsets", f"BM_calcDiffMatrix/{m}/{n}"),
                      [("memset of the outputs, 1 thread", ("offsets", f"BM_write_memset/{m}/{n}")),
                       ("streaming stores, 1 thread", ("offsets", f"BM_write_streaming/{m}/{n}")), numpy, *octave]))
        L.append(Line("pairwise_offsets", f"m={m}, n={n}", "end to end (embedded host)",
                      ("offsets", f"BM_pairwise_offsets_embedded/{m}/{n}"), [numpy, *octave]))
        for (source, pages), peer in zip(octaves, octave):
            L.append(Line("pairwise_offsets", f"m={m}, n={n}", f"end to end (from Octave{pages})",
                          (source, ("octave_pairwise_offsets", size)), [peer]))
    return L


# Speed targets of the function issues: toolkit / reference <= bound; a list
# of references means the fastest of them.
TARGETS = [
    *[(f"thin_volume fast driver no slower than skeletonize_3d ({v})", ("thinning", f"thin_fast/{v}"),
       [("py_thinning", ("skeletonize_3d", v))], 1.0) for v in ("ball", "tubes", "blobs")],
    *[(f"normality_check statistic no slower than the NumPy statistic (n = {n})", ("normality",
       f"BM_adtest_statistic/{n}"), [("py_normality", ("numpy_statistic", str(n)))], 1.0)
      for n in (1000000, 10000000)],
    *[(f"tiff_stack_dims count no slower than TIFFNumberOfDirectories ({p:,} pages, {m})",
       ("tiffstack", f"BM_countStackSlices/pages:{p}/mapped:{k}"),
       [("tiffstack", f"BM_TIFFNumberOfDirectories/pages:{p}/mapped:{k}")], 1.0)
      for k, m in ((1, "mapped"), (0, "unmapped")) for p in (100, 10000, 70000)],
    ("gauss3_eval_approx at least 4x faster than gauss3_eval (10^7, core)", ("gaussian", "BM_Approx_kernel"),
     [("gaussian", "BM_Exact_kernel")], 0.25),
    ("gauss3_eval_approx at least 4x faster than gauss3_eval (10^7, end to end)", ("gaussian", "BM_Approx_module"),
     [("gaussian", "BM_Exact_module")], 0.25),
    ("pair_blocks3 within 3x of single-threaded BLAS (M = 2000, N = 500, core vs whole formulation)",
     ("pair_blocks3", "BM_pair_blocks3_fill/M:2000/N:500"), [("py_pair_blocks3_1", ("numpy_blas", "2000x500"))], 3.0),
    *[(f"fill_nan at least 85 % of the two-thread memcpy throughput ({c})", ("nanfill", f"BM_fillNaN<{c}>"),
       [("nanfill", f"BM_memcpy_two_threads<{c}>")], 1 / 0.85) for c in ("double", "float")],
    # Ahead of NumPy: end to end in the embedded host; ahead of Octave: both called from Octave.
    *[(f"fill_nan ahead of NumPy ({c}, end to end)", ("nanfill", f"BM_fill_nan_embedded<{c}>"),
       [("py_nanfill", ("numpy_where_isnan", f"100000000 {d}"))], 1.0)
      for c, d in (("double", "float64"), ("float", "float32"))],
    *[(f"fill_nan ahead of Octave's Y(isnan(Y)) = v ({o}, from Octave{pages})",
       (source, ("octave_fill_nan", f"100000000 {o}")), [(source, ("octave_isnan_assign", f"100000000 {o}"))], 1.0)
      for o in ("double", "single") for source, pages in (("octave", ""), ("octave_huge", ", huge pages"))],
    *[(f"pairwise_offsets ahead of NumPy ({m}x{n}, end to end)", ("offsets", f"BM_pairwise_offsets_embedded/{m}/{n}"),
       [("py_offsets", ("numpy_broadcasting", f"{m}x{n}"))], 1.0) for m, n in ((5000, 5000), (20000, 2000))],
    *[(f"pairwise_offsets ahead of Octave's implicit expansion ({m}x{n}, from Octave{pages})",
       (source, ("octave_pairwise_offsets", f"{m}x{n}")), [(source, ("octave_implicit_expansion", f"{m}x{n}"))], 1.0)
      for m, n in ((5000, 5000), (20000, 2000)) for source, pages in (("octave", ""), ("octave_huge", ", huge pages"))],
    *[(f"pairwise_offsets at least 85 % of the write bandwidth ({m}x{n}, core vs the faster of memset and "
       "streaming stores)", ("offsets", f"BM_calcDiffMatrix/{m}/{n}"),
       [("offsets", f"BM_write_memset/{m}/{n}"), ("offsets", f"BM_write_streaming/{m}/{n}")], 1 / 0.85)
      for m, n in ((5000, 5000), (20000, 2000))],
]


NOTES = [
    "gauss3_eval: the plain `exp` loop gets its exponent arguments precomputed, so it times `exp` alone; "
    "the *fit range* rows (samples within about 6 widths) come from `gaussian_fast_bench.cpp`, the others "
    "(uniform in −4..4) from `gaussian_bench.cpp`.",
    "accum_derivs3 and pair_blocks3: NumPy and BLAS sum pairwise or blocked, with fused multiply-adds, so their "
    "results differ in the last bits; only their times compare. pair_blocks3 runs on one thread (threads are "
    "used only by fill_nan); the two-thread BLAS figures are for reference.",
    "normality_check: `scipy.stats.anderson` sorts the sample and estimates mean and deviation itself; its fair "
    "toolkit counterpart is *adtest, sorts a copy*.",
    "tiff_stack_dims: directory indices are 16-bit, so the probe stops counting at 65,536 directories; "
    "on the 70,000-page file libtiff and tifffile walk all 70,000.",
    "fill_nan: the core uses the OpenMP runtime's default thread count (2 here); NumPy and Octave use one thread.",
    "fill_nan and pairwise_offsets *from Octave*: Octave copies a MEX function's result into an array of its "
    "own, and its arrays live in 4 KiB pages whose first touch costs more than the work; *huge pages* rows run "
    "Octave with `GLIBC_TUNABLES=glibc.malloc.hugetlb=1`, as the modules' help advises.",
]


def seconds_text(s):
    if s < 1e-3:
        return f"{s * 1e6:.3g} µs"
    if s < 1:
        return f"{s * 1e3:.3g} ms"
    return f"{s:.3g} s"


SOURCE_LABELS = {
    "gaussian": "bench_gaussian", "py_gaussian": "NumPy (bench/peers/gaussian_fast.py)",
    "normality": "bench_normality", "py_normality": "NumPy and SciPy (bench/peers/normality.py)",
    "tiffstack": "bench_tiffstack", "py_tiffstack": "tifffile (bench/peers/tiffstack.py)",
    "thinning": "bench_thinning, fast driver", "thinning_reference": "bench_thinning, straightforward driver",
    "py_thinning": "scikit-image (bench/peers/thinning.py)",
    "pair_blocks3": "bench_pair_blocks3", "py_pair_blocks3_1": "NumPy/BLAS, 1 thread (bench/peers/pair_blocks3.py)",
    "py_pair_blocks3_2": "NumPy/BLAS, 2 threads (bench/peers/pair_blocks3.py)",
    "offsets": "bench_offsets", "py_offsets": "NumPy (bench/peers/offsets.py)",
    "nanfill": "bench_nanfill", "py_nanfill": "NumPy (bench/peers/nanfill.py)",
    "octave": "Octave built-ins and the modules from Octave (bench/peers/offsets_nanfill.m)",
    "octave_huge": "the same with GLIBC_TUNABLES=glibc.malloc.hugetlb=1",
}


class Report:
    def __init__(self, sources):
        self.sources = sources
        self.absent = {}  # source -> reasons its figures are missing

    def lookup(self, ref, label):
        source, key = ref
        if source not in self.sources:
            return None, "not run (--only)"
        seconds, reason = self.sources[source].lookup(key)
        if seconds is None:
            self.absent.setdefault(source, set()).add(reason if self.sources[source].reason else f"{key}: {reason}")
        return seconds, reason

    def table(self, lines):
        out = ["| function | size | toolkit: what is timed | toolkit median | peer | peer median | peer / toolkit |",
               "|---|---|---|---:|---|---:|---:|"]
        for line in lines:
            if line.toolkit[0] not in self.sources:
                continue  # not asked for (--only)
            mine, why = self.lookup(line.toolkit, f"{line.function}: {line.what}")
            mine_text = seconds_text(mine) if mine is not None else why
            if why == NOT_MERGED:
                peers = "; ".join(label for label, _ in line.peers)
                out.append(f"| {line.function} | {line.size} | {line.what} | {why} | {peers} | – | – |")
                continue
            for i, (label, ref) in enumerate(line.peers):
                theirs, reason = self.lookup(ref, label)
                theirs_text = seconds_text(theirs) if theirs is not None else reason
                ratio = f"{theirs / mine:.2f}" if mine and theirs is not None else "–"
                first = i == 0
                out.append(f"| {line.function if first else ''} | {line.size if first else ''} | "
                           f"{line.what if first else ''} | {mine_text if first else ''} | {label} | {theirs_text} | "
                           f"{ratio} |")
        return out

    def targets(self):
        out = ["| target | toolkit / reference | bound | met |", "|---|---:|---:|---|"]
        for text, mine_ref, refs, bound in TARGETS:
            if mine_ref[0] not in self.sources:
                continue
            mine, why = self.lookup(mine_ref, text)
            found = [self.lookup(ref, text) for ref in refs]
            values = [s for s, _ in found if s is not None]
            if mine is None or not values:
                reason = why if mine is None else found[0][1]
                out.append(f"| {text} | {reason} | {bound:.2f} | – |")
                continue
            ratio = mine / min(values)
            out.append(f"| {text} | {ratio:.2f} | {bound:.2f} | {'yes' if ratio <= bound else '**no**'} |")
        return out


# ----------------------------------------------------------------------------
# The machine.

def command_output(command):
    try:
        return subprocess.run(command, capture_output=True, text=True, timeout=60).stdout.strip()
    except (OSError, subprocess.TimeoutExpired):
        return ""


def machine(build):
    cpu = "unknown"
    for line in command_output(["lscpu"]).splitlines():
        if line.startswith("Model name:"):
            cpu = line.split(":", 1)[1].strip()
    flags = open("/proc/cpuinfo").read() if os.path.exists("/proc/cpuinfo") else ""
    isa = ", ".join(f for f in ("avx2", "fma", "avx512f") if re.search(rf"\b{f}\b", flags))
    memory = "unknown"
    for line in open("/proc/meminfo"):
        if line.startswith("MemTotal:"):
            memory = f"{int(line.split()[1]) / 1024 / 1024:.1f} GiB"
    compiler = "unknown"
    cache = os.path.join(build, "CMakeCache.txt")
    if os.path.exists(cache):
        for line in open(cache):
            if line.startswith("CMAKE_CXX_COMPILER:"):
                path = line.split("=", 1)[1].strip()
                compiler = command_output([path, "--version"]).splitlines()[0] if path else compiler
    distribution = platform.platform()
    if os.path.exists("/etc/os-release"):
        for line in open("/etc/os-release"):
            if line.startswith("PRETTY_NAME="):
                distribution = line.split("=", 1)[1].strip().strip('"')
    benchmark = command_output(["dpkg-query", "-W", "-f=${Version}", "libbenchmark-dev"]) or "unknown"
    octave = command_output(["octave-cli", "--version"]).splitlines()[:1] if shutil.which("octave-cli") else []
    return [
        ("CPU", f"{cpu} ({isa})"),
        ("cores", f"{os.cpu_count()}, shared with other developers' work (see the load average)"),
        ("memory", memory),
        ("system", f"{distribution}, kernel {platform.release()}"),
        ("compiler", f"{compiler}; release preset (-O3 -ffp-contract=off, no -march)"),
        ("Google Benchmark", benchmark),
        ("Python", f"{PYTHON} {command_output([PYTHON, '-c', 'import sys; print(sys.version.split()[0])'])}"),
        ("Octave", octave[0] if octave else "missing: octave-cli not found"),
    ]


def python_versions():
    script = ("import importlib\n"
              "for m in ('numpy', 'scipy', 'skimage', 'tifffile'):\n"
              "    try: print(m, importlib.import_module(m).__version__)\n"
              "    except ImportError: print(m, 'missing')\n")
    versions = command_output([PYTHON, "-c", script]) if os.path.exists(PYTHON) else ""
    names = {"numpy": "NumPy", "scipy": "SciPy", "skimage": "scikit-image", "tifffile": "tifffile"}
    parts = []
    for line in versions.splitlines():
        module, version = line.split()
        parts.append(f"{names[module]} {version}" if version != "missing"
                     else f"{names[module]} missing ({DEBIAN_PACKAGE[module]} not installed)")
    return ", ".join(parts) or f"missing: {PYTHON}"


def blas_config():
    script = ("import ctypes\n"
              "for name in ('libopenblas.so.0', 'libblas.so.3'):\n"
              "    try:\n"
              "        lib = ctypes.CDLL(name); lib.openblas_get_config.restype = ctypes.c_char_p\n"
              "        lib.openblas_get_corename.restype = ctypes.c_char_p\n"
              "        print(lib.openblas_get_config().decode(), 'core', lib.openblas_get_corename().decode())\n"
              "        break\n"
              "    except (OSError, AttributeError): pass\n")
    return command_output([PYTHON, "-c", "import numpy\n" + script]) if os.path.exists(PYTHON) else ""


def load_average():
    return " ".join(open("/proc/loadavg").read().split()[:3])


# ----------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "release"),
                        help="the release build tree (default build/release)")
    parser.add_argument("--out", default=os.path.join(ROOT, "bench", "RESULTS.md"), help="the report to write")
    parser.add_argument("--repetitions", type=int, default=5, help="Google Benchmark repetitions (default 5)")
    parser.add_argument("--repeats", type=int, default=5, help="timed calls per peer case (default 5)")
    parser.add_argument("--min-time", type=float, default=0.5,
                        help="Google Benchmark's minimum seconds per repetition (default 0.5)")
    parser.add_argument("--only", nargs="+", choices=sorted(STEPS), help="run only these subsystems")
    args = parser.parse_args()

    started = datetime.datetime.now(datetime.timezone.utc)
    load_at_start = load_average()
    clock = time.monotonic()
    runner = Runner(args)
    for name, step in STEPS.items():
        if not args.only or name in args.only:
            step(runner)
    minutes = (time.monotonic() - clock) / 60

    report = Report(runner.sources)
    table = report.table(table_lines())
    targets = report.targets()
    out = [
        "# Benchmark report",
        "",
        "Written by `bash scripts/bench.sh` (`bench/report.py`); every figure below comes from one run of it.",
        "",
        "## Machine",
        "",
        "| | |",
        "|---|---|",
        *[f"| {k} | {v} |" for k, v in machine(args.build)],
        f"| Python peers | {python_versions()} |",
        f"| BLAS | {blas_config() or 'unknown'} |",
        f"| date | {started:%Y-%m-%d %H:%M} UTC; the run took {minutes:.1f} minutes |",
        f"| load average | {load_at_start} at the start, {load_average()} at the end (1, 5, 15 minutes) |",
        "",
        "## How to read it",
        "",
        f"- Toolkit figures: the median of {args.repetitions} Google Benchmark repetitions (each at least "
        f"{args.min_time} s of calls) of wall-clock time per call. Peer figures: the median of {args.repeats} "
        "timed calls after one warm-up call (Python under `/usr/bin/python3`, Octave under `octave-cli`).",
        "- *peer / toolkit* above 1 means the toolkit is faster by that factor.",
        "- *core, warm output*: the C++ core writing into memory touched before; *end to end*: the module "
        "called through the embedded host (validation, a fresh output and its first touch), or from Octave.",
        "- The machine is shared: other developers built and tested on the same two cores during the run, so "
        "single figures can be off by tens of percent; the load average above tells how busy it was.",
        "- Left out to keep the run short: the `TIFFSetDirectory` search rows of `bench_tiffstack` "
        "(seconds per call on an unmapped 70,000-page file), the forced instruction-set rows and the "
        "(2000, 250) and (2000, 1000) sizes of `bench_pair_blocks3`. Run the executables in "
        "`build/release/bench/` by hand for those.",
        "",
        "## Table",
        "",
        *table,
        "",
        "Where a row does not compare like with like:",
        "",
        *[f"- {note}" for note in NOTES],
        "",
        "## Speed targets",
        "",
        *targets,
        "",
        "## Missing figures",
        "",
    ]
    if report.absent:
        for source, reasons in report.absent.items():
            out.append(f"- {SOURCE_LABELS.get(source, source)}: {'; '.join(sorted(reasons))}")
    else:
        out.append("None: every benchmark and every peer ran.")
    with open(args.out, "w") as f:
        f.write("\n".join(out) + "\n")
    print(f"report: wrote {args.out} in {minutes:.1f} minutes", file=sys.stderr)


if __name__ == "__main__":
    main()
