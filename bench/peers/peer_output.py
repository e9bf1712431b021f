"""The one output format of the peer scripts, read by bench/report.py.

A peer script given --json prints, instead of its table, one JSON document
on a single line:

    {"peer": "numpy", "info": {...}, "rows": [
        {"case": "numpy_statistic", "size": "1000000",
         "median_s": 0.021, "min_s": 0.020, "repeats": 7}, ...]}

"case" names what was timed, "size" the input size as the script labels it,
times are wall-clock seconds of single calls.
"""
import json
import statistics


def add_json_flag(parser):
    parser.add_argument("--json", action="store_true",
                        help="print one JSON document for bench/report.py instead of the table")


def row(case, size, seconds, **extra):
    """One timed case from the wall-clock seconds of its repeats."""
    return {"case": case, "size": str(size), "median_s": statistics.median(seconds), "min_s": min(seconds),
            "repeats": len(seconds), **extra}


def emit(peer, rows, **info):
    print(json.dumps({"peer": peer, "info": info, "rows": rows}), flush=True)
