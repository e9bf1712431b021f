function tests = test_accum_derivs3
tests = {@worked_examples, @first_column_only, @no_samples, @nan_patterns, @count_errors, @validation_errors};
end

function worked_examples
[g, H] = accum_derivs3(1, 2, 3, 1, 0.5, 1, 2);
assert(isequal(g, [-1; -2; -3]) && isequal(H, [2 2 3; 2 5 6; 3 6 9.25]));
[g, H] = accum_derivs3([1; 1], [2; 2], [3; 3], [1; 1], [0.5; 0.5], 1, 2);
assert(isequal(g, [-2; -4; -6]) && isequal(H, [4 4 6; 4 10 12; 6 12 18.5]));
[g, H] = accum_derivs3(1, 2, 3, 1, 1, 1, 2);
assert(isequal(g, [-2; -4; -6]) && isequal(H, diag([2 2 0.5])));
end

function first_column_only
[g, H] = accum_derivs3([1 7; 1 7], [2; 2], [3; 3], [1; 1], [0.5; 0.5], 1, 2);
assert(isequal(g, [-2; -4; -6]) && isequal(H, [4 4 6; 4 10 12; 6 12 18.5]));
end

function no_samples
[g, H] = accum_derivs3(zeros(0, 1), {}, '', [], struct(), [], int8([]));
assert(isequal(g, zeros(3, 1)) && isequal(H, zeros(3)));
end

function nan_patterns
u = [0.5; -1; 2]; v = [1; 0.25; -3]; w = [-2; 1; 0.5]; a = [0.9; 0.3; 0.6]; b = [0.1; -0.2; 0.05];
[g, H] = accum_derivs3(u, v, w, [0.9; NaN; 0.6], b, 1.5, 2.5);
assert(all(isnan(g)) && all(isnan(H(:))));
[g0, H0] = accum_derivs3(u, v, w, a, b, 1.5, 2.5);
[g, H] = accum_derivs3([0.5; NaN; 2], v, w, a, b, 1.5, 2.5);
hit = false(3); hit(1, :) = true; hit(:, 1) = true;
assert(isequal(isnan(g), [true; false; false]) && isequal(g(2:3), g0(2:3)));
assert(isequal(isnan(H), hit) && isequal(H(~hit), H0(~hit)));
end

function count_errors
expect_error(@() accum_derivs3(1, 2, 3, 4, 5, 6), '', 'Seven input required.', 2);
expect_error(@() accum_derivs3(1, 2, 3, 4, 5, 6, 7, 8), '', 'Seven input required.', 2);
expect_error(@() accum_derivs3(1, 2, 3, 4, 5, 6, 7), '', 'Two output required.', 1);
expect_error(@() accum_derivs3(1, 2, 3, 4, 5, 6, 7), '', 'Two output required.', 0);
end

function validation_errors
expect_error(@() accum_derivs3(int8(1), 2, 3, 4, 5, 6, 7), 'accum_derivs3:notRealDouble', ...
             'Input 1 (u) must be a real double array, not int8.', 2);
expect_error(@() accum_derivs3([1; 2], [2; 2], [3; 3], [1; 1], 0.5, 1, 2), 'accum_derivs3:tooFewElements', ...
             'Input 5 (b) must hold at least 2 elements, but holds 1.', 2);
expect_error(@() accum_derivs3(1, 2, 3, 1, 0.5, 1, []), 'accum_derivs3:tooFewElements', ...
             'Input 7 (sz) must hold at least 1 element, but holds 0.', 2);
end
