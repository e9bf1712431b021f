function tests = test_gauss3_eval_approx
tests = {@worked_values, @far_samples_give_zero, @nan_stays_in_its_sample, @no_samples, @errors};
end

function worked_values
v = gauss3_eval_approx([1; 0], [0; 0], [2; 0], [0 0 0], 1, 2);
assert(isa(v, 'double') && isequal(size(v), [2 1]));
assert(v(1) == 0.36823898553848267);  % single 0x3EBC89D2
assert(v(2) == 1.001724720001220703125);
assert(double(single(v(1))) == v(1));
end

function far_samples_give_zero
% More than about 13 widths out the argument leaves the valid range.
v = gauss3_eval_approx([13; 14; 100; Inf], zeros(4, 1), zeros(4, 1), [0 0 0], 1, 1);
assert(v(1) > 0 && v(1) < 1e-36 && all(v(2:4) == 0));
end

function nan_stays_in_its_sample
x = 0.5 * ones(20, 1);
x(7) = NaN;
v = gauss3_eval_approx(x, zeros(20, 1), zeros(20, 1), [0 0 0], 1, 1);
assert(isnan(v(7)) && all(v([1:6 8:20]) == v(1)));
assert(abs(v(1) / exp(-0.125) - 1) < 0.0018);
end

function no_samples
v = gauss3_eval_approx(zeros(0, 2), {}, '', [], [], int8([]));
assert(isequal(size(v), [0 1]));
end

function errors
expect_error(@() gauss3_eval_approx(1, 2, 3, 4, 5), '', 'Six input required.');
expect_error(@() gauss3_eval_approx(1, 0, 2, [0 0 0], 1, 2), '', 'One output required.', 0);
expect_error(@() gauss3_eval_approx(single(1), 0, 2, [0 0 0], 1, 2), 'gauss3_eval_approx:notRealDouble', ...
             'Input 1 (x) must be a real double array, not single.');
expect_error(@() gauss3_eval_approx(1, 0, 2, [0 0], 1, 2), 'gauss3_eval_approx:tooFewElements', ...
             'Input 4 (c) must hold at least 3 elements, but holds 2.');
end
