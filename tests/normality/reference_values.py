#!/usr/bin/python3
"""Reference statistics for adtest_test.cpp, computed independently of the core.

Not run by the tests: its output is pasted into the test as literals. Each
sample is given by exactly representable doubles, so this script and the C++
test see the same inputs. The statistic is evaluated with mpmath at 60
significant digits (erf, log and the case factors in exact-ish arithmetic),
and once more with scipy.stats.anderson for a sample whose mean and standard
deviation are estimated, as that function does.

    /usr/bin/python3 tests/normality/reference_values.py
"""
import mpmath
import numpy as np
import scipy.stats

mpmath.mp.dps = 60


def modular_sample(count, step, modulus, offset, scale):
    """Sorted ((step * i) % modulus - offset) / scale, i < count: exact in binary."""
    return sorted(((step * i) % modulus - offset) / scale for i in range(count))


def normal_sample():
    rng = np.random.default_rng(20240611)
    return sorted(float(v) for v in rng.normal(10.0, 2.0, 40))


def statistic(x, mean, sd, case):
    n = len(x)
    sd2 = mpmath.mpf(sd) * mpmath.sqrt(2)
    F = [(mpmath.erf((mpmath.mpf(v) - mpmath.mpf(mean)) / sd2) + 1) / 2 for v in x]
    S = mpmath.fsum((2 * i + 1) * (mpmath.log(F[i]) + mpmath.log(1 - F[n - 1 - i])) for i in range(n))
    A = -n - S / n
    if case == 3:
        A *= mpmath.mpf(9) / 4 / n**2 + 1 + mpmath.mpf(3) / 4 / n
    elif case == 4:
        A *= mpmath.mpf(3) / 5 / n + 1
    return A


def main():
    normal = normal_sample()
    print("normal sample (40 values):")
    print(", ".join(repr(v) for v in normal))
    rows = [
        ("modular(101, 37, 101, 50, 16)", modular_sample(101, 37, 101, 50, 16.0), 0.3, 1.7),
        ("modular(500, 7919, 1013, 506, 128)", modular_sample(500, 7919, 1013, 506, 128.0), -0.25, 2.5),
        ("normal", normal, 10.0, 2.0),
        ("normal", normal, 9.0, 2.5),
        ("single value", [0.5], 0.0, 1.0),
    ]
    for name, x, mean, sd in rows:
        for case in (0, 3, 4):
            print(f"{name}, mean {mean!r}, sd {sd!r}, case {case}: {mpmath.nstr(statistic(x, mean, sd, case), 20)}")
    xbar = float(np.mean(normal))
    s = float(np.std(normal, ddof=1))
    a2 = scipy.stats.anderson(normal, "norm").statistic
    print(f"scipy.stats.anderson(normal): mean {xbar!r}, sd {s!r}, A2 {a2!r}")
    print(f"  mpmath at the same mean and sd: {mpmath.nstr(statistic(normal, xbar, s, 0), 20)}")


if __name__ == "__main__":
    main()
