function tests = test_pairwise_offsets
tests = {@second_minus_first, @matches_implicit_expansion, @empty_lists, @non_finite, @count_errors, ...
         @validation_errors};
end

function second_minus_first
[dx, dy] = pairwise_offsets([0 0], [1 2]);
assert(isequal(dx, 1) && isequal(dy, 2));
[dx, dy] = pairwise_offsets([0 0; 10 20; -1 5], [1 2; 4 -8]);
assert(isequal(dx, [1 4; -9 -6; 2 5]));
assert(isequal(dy, [2 -8; -18 -28; -3 -13]));
end

function matches_implicit_expansion
% Odd and even row counts, and an output large enough to be streamed.
rand('seed', 5);
for shape = [1 1; 7 4; 17 9; 1201 701].'
  p = 2000 * rand(shape(1), 2) - 1000;
  q = 2000 * rand(shape(2), 2) - 1000;
  [dx, dy] = pairwise_offsets(p, q);
  assert(isequal(dx, q(:, 1).' - p(:, 1)) && isequal(dy, q(:, 2).' - p(:, 2)));
end
end

function empty_lists
[dx, dy] = pairwise_offsets(zeros(0, 2), [1 2; 3 4]);
assert(isequal(size(dx), [0 2]) && isequal(size(dy), [0 2]) && isa(dx, 'double'));
[dx, dy] = pairwise_offsets([1 2; 3 4; 5 6], zeros(0, 2));
assert(isequal(size(dx), [3 0]) && isequal(size(dy), [3 0]));
end

function non_finite
[dx, dy] = pairwise_offsets([Inf 0; -Inf NaN], [Inf 1]);
assert(isnan(dx(1)) && dx(2) == Inf && dy(1) == 1 && isnan(dy(2)));
end

function count_errors
expect_error(@() pairwise_offsets([0 0]), '', 'Two input parameters required.', 2);
expect_error(@() pairwise_offsets([0 0], [0 0], [0 0]), '', 'Two input parameters required.', 2);
expect_error(@() pairwise_offsets([0 0], [0 0]), '', 'Two output parameters required.', 1);
expect_error(@() pairwise_offsets([0 0], [0 0]), '', 'Two output parameters required.', 0);
expect_error(@() pairwise_offsets([0 0], [0 0]), '', 'Two output parameters required.', 3);
end

function validation_errors
msg = 'Only 2D point coordinates are supported.';
expect_error(@() pairwise_offsets([0; 0], [0 0]), '', msg, 2);
expect_error(@() pairwise_offsets([0 0], [0 0 0]), '', msg, 2);
expect_error(@() pairwise_offsets([], [0 0]), '', msg, 2);
expect_error(@() pairwise_offsets(single([0 0]), [0 0]), 'pairwise_offsets:notRealDouble', ...
             'Input 1 (P) must be a real double array, not single.', 2);
expect_error(@() pairwise_offsets([0 0], int32([0 0])), 'pairwise_offsets:notRealDouble', ...
             'Input 2 (Q) must be a real double array, not int32.', 2);
expect_error(@() pairwise_offsets([0 0], [1i 0]), 'pairwise_offsets:notRealDouble', ...
             'Input 2 (Q) must be a real double array, not complex double.', 2);
end
