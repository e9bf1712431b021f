// Samples shared by the core and gateway tests. Every value is an exact
// double, so reference_values.py sees the same inputs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// Sorted ((step * i) % modulus - offset) / scale for i < count.
inline std::vector<double> modular_sample(int64_t count, int64_t step, int64_t modulus, int64_t offset, double scale) {
    std::vector<double> x;
    for (int64_t i = 0; i < count; ++i) x.push_back(static_cast<double>((step * i) % modulus - offset) / scale);
    std::sort(x.begin(), x.end());
    return x;
}

// 40 draws from N(10, 2^2), ascending. Against N(10, 2^2) the statistic is
// 1.6431 (case 0), 1.6762 (case 3) and 1.6678 (case 4), which splits the
// critical values of every case but case 3 somewhere along the row.
inline std::vector<double> normal_sample() {
    return {6.075892090561883,  6.09705230318704,   6.420206312644048,  6.97888127778706,   7.059925672022077,
            7.610837946842883,  7.952696779858119,  8.1336640944563,    8.144274618459542,  8.262706522049989,
            8.265105779113087,  8.368620936948659,  8.424621411826422,  8.53743026923911,   8.547899351101396,
            8.964533058030948,  9.18357110505682,   9.35660878703262,   9.577621758885417,  9.594813347519754,
            9.683174228745687,  9.96327376987524,   10.069598505310312, 10.197074550262593, 10.299191673924925,
            10.391540425688635, 10.404940705107958, 10.45032144814915,  10.457599445926217, 10.479257769797362,
            10.568904507138368, 10.638828784032599, 10.819390715787103, 10.884883475532636, 11.511890164893265,
            11.712036206970865, 11.714540732249535, 11.748516590362662, 12.737650579219403, 13.393111640213787};
}
