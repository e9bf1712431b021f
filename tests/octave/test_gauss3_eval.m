function tests = test_gauss3_eval
tests = {@worked_value, @first_column_only, @no_samples, @non_finite, @count_errors, @validation_errors};
end

function worked_value
v = gauss3_eval(1, 0, 2, [0 0 0], 1, 2);
assert(isa(v, 'double') && isequal(size(v), [1 1]));
assert(v == 0.36787944117144233);
assert(gauss3_eval(5, -3, 7, [5 -3 7], 0.5, 3) == 1);
end

function first_column_only
v = gauss3_eval([1 9 9; 0 9 9], [0; 0], [2; 0], [0 0 0], 1, 2);
assert(isequal(v, [0.36787944117144233; 1]));
end

function no_samples
v = gauss3_eval(zeros(0, 3), {}, '', [], [], int8([]));
assert(isequal(size(v), [0 1]));
end

function non_finite
v = gauss3_eval([0; 1; NaN], [0; 0; 0], [1; 0; 0], [0 0 0], 0, 1);
assert(isnan(v(1)) && v(2) == 0 && isnan(v(3)));
end

function count_errors
expect_error(@() gauss3_eval(1, 2, 3, 4, 5), '', 'Six input required.');
expect_error(@() gauss3_eval(1, 2, 3, 4, 5, 6, 7), '', 'Six input required.');
expect_error(@() gauss3_eval(1, 2, 3, 4, 5, 6), '', 'One output required.', 0);
expect_error(@() gauss3_eval(1, 2, 3, 4, 5, 6), '', 'One output required.', 2);
end

function validation_errors
expect_error(@() gauss3_eval(single(1), 0, 2, [0 0 0], 1, 2), 'gauss3_eval:notRealDouble', ...
             'Input 1 (x) must be a real double array, not single.');
expect_error(@() gauss3_eval([1; 2], 0, [2; 2], [0 0 0], 1, 2), 'gauss3_eval:tooFewElements', ...
             'Input 2 (y) must hold at least 2 elements, but holds 1.');
expect_error(@() gauss3_eval(1, 0, 2, [0 0], 1, 2), 'gauss3_eval:tooFewElements', ...
             'Input 4 (c) must hold at least 3 elements, but holds 2.');
expect_error(@() gauss3_eval(1, 0, 2, [0 0 0], 1i, 2), 'gauss3_eval:notRealDouble', ...
             'Input 5 (sxy) must be a real double array, not complex double.');
expect_error(@() gauss3_eval(1, 0, 2, [0 0 0], 1, int32(2)), 'gauss3_eval:notRealDouble', ...
             'Input 6 (sz) must be a real double array, not int32.');
end
